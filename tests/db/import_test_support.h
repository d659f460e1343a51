// Helpers of the importer tests: fixture files (UTF-8, CP932 or xz-compressed), what an import
// stored read back as text, and the message of a failed import.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <lzma.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/import/import_error.h"
#include "db/import/main_database_import.h"
#include "support/test_database_builder.h"
#include "text/text.h"

namespace mok::import_test {

namespace fs = std::filesystem;
using mok::test::TempFolder;
using Strings = std::vector<std::string>;
using testing::HasSubstr;

inline void WriteBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

// The lines, each ended by CR LF, in CP932 or UTF-8.
inline std::string Encode(const std::vector<std::u16string>& lines, bool cp932) {
  std::string bytes;
  for (const auto& line : lines)
    bytes += (cp932 ? text::EncodeCp932(line).value() : text::ToUtf8(line)) + "\r\n";
  return bytes;
}

// A KEN_ALL file, CP932 with the text columns quoted, from lines given as
// "code|postal code|prefecture|city|place|city kana|place kana" (parts left out are empty).
inline std::string KenAll(const Strings& lines) {
  std::vector<std::u16string> out;
  for (const auto& line : lines) {
    std::vector<std::u16string> p;
    std::istringstream in(line);
    for (std::string part; std::getline(in, part, '|');)
      p.push_back(text::FromUtf8(part));
    p.resize(7);
    out.push_back(p[0] + u",\"100  \",\"" + p[1] + u"\",\"ｶﾅ\",\"" + p[5] + u"\",\"" + p[6] +
                  u"\",\"" + p[2] + u"\",\"" + p[3] + u"\",\"" + p[4] + u"\",0,0,0,0,0,0");
  }
  return Encode(out, true);
}

// The bytes in the .xz format (liblzma, default preset).
inline std::string XzCompress(const std::string& bytes) {
  std::string out(lzma_stream_buffer_bound(bytes.size()), '\0');
  std::size_t size = 0;
  EXPECT_EQ(lzma_easy_buffer_encode(LZMA_PRESET_DEFAULT, LZMA_CHECK_CRC64, nullptr,
                                    reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                    reinterpret_cast<uint8_t*>(out.data()), &size, out.size()),
            LZMA_OK);
  out.resize(size);
  return out;
}

// Every row of `sql` in the database file, its values joined by "|" (Null as "NULL").
inline Strings Rows(const fs::path& file, const std::string& sql) {
  auto db = db::Connection::Open(text::FromUtf8(file.string()), true);
  auto st = db ? db->Compile(sql) : db.error();
  EXPECT_TRUE(st) << file << ": " << sql << ": " << (st ? "" : text::ToUtf8(st.error().Text()));
  Strings rows;
  while (st && *st->Step()) {
    rows.emplace_back();
    for (int i = 0; i < st->ColumnCount(); ++i)
      rows.back() += (i ? "|" : "") + (st->IsNull(i) ? "NULL" : text::ToUtf8(st->Text(i)));
  }
  return rows;
}

// The first row of `sql` ("" when there is none).
inline std::string Value(const fs::path& file, const std::string& sql) {
  const Strings rows = Rows(file, sql);
  return rows.empty() ? "" : rows[0];
}

// The message of the ImportError that `action` throws ("" when it throws none).
template <class F>
std::string ImportFailure(F&& action) {
  try {
    action();
  } catch (const db::ImportError& e) {
    return text::ToUtf8(e.message());
  }
  return "";
}

inline fs::path BundledData(const std::string& name) {
  return fs::path(MOK_DATA_DIR) / name;
}

// A data folder with its main database, for the importers that add a region to it.
struct DataFolderTest : ::testing::Test {
  DataFolderTest() { db::CreateMainDatabase(dir, BundledData("prefectures.csv")); }
  TempFolder folder;
  const fs::path dir = folder.path(), main = dir / "mok2.sqlite", region = dir / "東京都.sqlite";
};

// The header of a town list with the columns the importer reads (other columns may come too).
inline const std::u16string kTownHeader =
    u"都道府県名,市区町村コード,市区町村名,大字町丁目名,小字・通称名,緯度,経度";

}  // namespace mok::import_test
