// Helpers of the importer tests: a temporary data folder, writing fixture files (UTF-8 or CP932),
// and reading back what an import stored.
#pragma once

#include <gtest/gtest.h>
#include <lzma.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/import/import_error.h"
#include "text/text.h"

namespace mok::import_test {

namespace fs = std::filesystem;

class DataFolder {
 public:
  DataFolder() {
    std::random_device rd;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      auto candidate = fs::temp_directory_path() / ("mok-import-test-" + std::to_string(rd()));
      std::error_code ec;
      if (fs::create_directory(candidate, ec))
        path_ = candidate;
    }
    if (path_.empty())
      ADD_FAILURE() << "cannot create a temporary folder";
  }
  ~DataFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  DataFolder(const DataFolder&) = delete;
  DataFolder& operator=(const DataFolder&) = delete;

  const fs::path& path() const { return path_; }
  fs::path File(const std::string& utf8Name) const { return path_ / utf8Name; }

 private:
  fs::path path_;
};

inline void WriteBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary);
  out << bytes;
}

// Lines joined with CR LF, each encoded as UTF-8.
inline void WriteUtf8Lines(const fs::path& file, const std::vector<std::u16string>& lines) {
  std::string bytes;
  for (const auto& line : lines)
    bytes += text::ToUtf8(line) + "\r\n";
  WriteBytes(file, bytes);
}

// Lines joined with CR LF, each encoded as CP932.
inline void WriteCp932Lines(const fs::path& file, const std::vector<std::u16string>& lines) {
  std::string bytes;
  for (const auto& line : lines) {
    auto encoded = text::EncodeCp932(line);
    EXPECT_TRUE(encoded.has_value()) << text::ToUtf8(line);
    bytes += encoded.value_or("") + "\r\n";
  }
  WriteBytes(file, bytes);
}

// The bytes compressed in the .xz format (liblzma, default preset).
inline std::string XzCompress(const std::string& bytes) {
  std::string out(lzma_stream_buffer_bound(bytes.size()), '\0');
  std::size_t size = 0;
  const lzma_ret ret =
      lzma_easy_buffer_encode(LZMA_PRESET_DEFAULT, LZMA_CHECK_CRC64, nullptr,
                              reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                              reinterpret_cast<uint8_t*>(out.data()), &size, out.size());
  EXPECT_EQ(ret, LZMA_OK);
  out.resize(size);
  return out;
}

using Rows = std::vector<std::vector<std::optional<std::u16string>>>;

// Every row of `sql` (values as text, Null as nullopt) from the database file.
inline Rows Query(const fs::path& file, const std::string& sql) {
  Rows rows;
  auto db = db::Connection::Open(text::FromUtf8(file.string()), true);
  if (!db) {
    ADD_FAILURE() << "cannot open " << file << ": " << text::ToUtf8(db.error().Text());
    return rows;
  }
  auto st = db->Compile(sql);
  if (!st) {
    ADD_FAILURE() << sql << ": " << text::ToUtf8(st.error().Text());
    return rows;
  }
  while (true) {
    auto row = st->Step();
    if (!row) {
      ADD_FAILURE() << sql << ": " << text::ToUtf8(row.error().Text());
      break;
    }
    if (!*row)
      break;
    std::vector<std::optional<std::u16string>> values;
    for (int i = 0; i < st->ColumnCount(); ++i) {
      if (st->IsNull(i)) {
        values.push_back(std::nullopt);
      } else {
        values.push_back(st->Text(i));
      }
    }
    rows.push_back(std::move(values));
  }
  return rows;
}

// The single value of a one-row, one-column query ("" for Null or no row).
inline std::u16string Scalar(const fs::path& file, const std::string& sql) {
  const Rows rows = Query(file, sql);
  if (rows.empty() || rows[0].empty() || !rows[0][0])
    return u"";
  return *rows[0][0];
}

inline long long Number(const fs::path& file, const std::string& sql) {
  const std::string value = text::ToUtf8(Scalar(file, sql));
  return value.empty() ? 0 : std::stoll(value);
}

// The message of the ImportError that `action` throws ("" when it throws none).
template <class F>
std::u16string ImportFailure(F&& action) {
  try {
    action();
  } catch (const db::ImportError& e) {
    return e.message();
  }
  return u"";
}

inline std::string U8(const std::u16string& s) {
  return text::ToUtf8(s);
}

inline fs::path BundledData(const std::string& name) {
  return fs::path(MOK_DATA_DIR) / name;
}

}  // namespace mok::import_test
