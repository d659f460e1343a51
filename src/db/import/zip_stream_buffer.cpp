#include "db/import/zip_stream_buffer.h"

#include <zip.h>

#include <fstream>
#include <string>
#include <string_view>

#include "db/import/import_error.h"

namespace mok::db {
namespace {

constexpr std::size_t kChunk = 1 << 16;

std::u16string ZipReason(zip_error_t* error) {
  return text::FromUtf8(zip_error_strerror(error));
}

bool IsCsvName(std::string_view name) {
  if (name.size() < 4)
    return false;
  std::string tail(name.substr(name.size() - 4));
  for (char& c : tail)
    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return tail == ".csv";
}

// The index of the member to read: the only file, else the only *.csv file.
zip_uint64_t ChooseMember(zip_t* archive, const std::filesystem::path& path) {
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  std::vector<zip_uint64_t> files, csv;
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
    const std::string_view view = name ? name : "";
    if (view.empty() || view.back() == '/')
      continue;  // a folder
    files.push_back(static_cast<zip_uint64_t>(i));
    if (IsCsvName(view))
      csv.push_back(static_cast<zip_uint64_t>(i));
  }
  if (files.size() == 1)
    return files[0];
  if (csv.size() == 1)
    return csv[0];
  throw ImportError(PathText(path) + u": the archive holds " +
                    text::FromUtf8(std::to_string(csv.size())) +
                    u" CSV files; expected one, as the registry serves them");
}

}  // namespace

ZipStreamBuffer::ZipStreamBuffer(const std::filesystem::path& path) : path_(path), out_(kChunk) {
  int code = 0;
  archive_ = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (!archive_) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const std::u16string reason = ZipReason(&error);
    zip_error_fini(&error);
    throw ImportError(u"cannot read " + PathText(path) + u" as a zip archive: " + reason);
  }
  try {
    const zip_uint64_t index = ChooseMember(archive_, path);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive_, index, 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE))
      size_ = stat.size;
    member_ = zip_fopen_index(archive_, index, 0);
    if (!member_)
      throw ImportError(PathText(path) + u": " + ZipReason(zip_get_error(archive_)));
  } catch (...) {
    zip_discard(archive_);
    throw;
  }
  setg(out_.data(), out_.data(), out_.data());
}

ZipStreamBuffer::~ZipStreamBuffer() {
  if (member_)
    zip_fclose(member_);
  zip_discard(archive_);
}

bool ZipStreamBuffer::IsZipFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  char head[4] = {};
  if (!file.read(head, sizeof head))
    return false;
  const std::string_view magic(head, sizeof head);
  // A local file header, or the end record of an empty archive.
  return magic == std::string_view("PK\x03\x04", 4) || magic == std::string_view("PK\x05\x06", 4);
}

ZipStreamBuffer::int_type ZipStreamBuffer::underflow() {
  const zip_int64_t got = zip_fread(member_, out_.data(), out_.size());
  if (got < 0) {
    throw ImportError(PathText(path_) + u": " + ZipReason(zip_file_get_error(member_)));
  }
  if (got == 0)
    return traits_type::eof();
  read_ += static_cast<std::uint64_t>(got);
  setg(out_.data(), out_.data(), out_.data() + got);
  return traits_type::to_int_type(out_[0]);
}

}  // namespace mok::db
