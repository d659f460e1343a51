#include "db/import/csv_reader.h"

#include <unicode/ustring.h>

#include <fstream>

#include "db/import/import_error.h"
#include "db/import/xz_stream_buffer.h"
#include "db/import/zip_stream_buffer.h"
#include "text/text.h"

namespace mok::db {
namespace {

// Strict UTF-8: an invalid sequence is an error, not a replacement character.
bool DecodeUtf8Strict(std::string_view bytes, std::u16string& out) {
  out.assign(bytes.size(), u'\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &length,
                bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  if (U_FAILURE(status))
    return false;
  out.resize(static_cast<std::size_t>(length));
  return true;
}

}  // namespace

std::vector<std::u16string> SplitCsvRecord(std::u16string_view record, bool* complete) {
  std::vector<std::u16string> fields(1);
  bool quoted = false;
  bool atStart = true;  // nothing of the current field read yet
  for (std::size_t i = 0; i < record.size(); ++i) {
    const char16_t c = record[i];
    if (quoted) {
      if (c == u'"') {
        if (i + 1 < record.size() && record[i + 1] == u'"') {
          fields.back() += u'"';
          ++i;
        } else {
          quoted = false;
        }
      } else {
        fields.back() += c;
      }
    } else if (c == u',') {
      fields.emplace_back();
      atStart = true;
      continue;
    } else if (c == u'"' && atStart) {
      // Only a quote that opens a field quotes it; one inside an unquoted field is text
      // (12"3 stays 12"3 and its comma still ends the field).
      quoted = true;
    } else {
      fields.back() += c;
    }
    atStart = false;
  }
  if (complete)
    *complete = !quoted;
  return fields;
}

CsvReader::CsvReader(const std::filesystem::path& path, TextEncoding encoding)
    : path_(path), encoding_(encoding) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    throw ImportError(u"cannot read " + PathText(path) + u": no such file");
  }
  if (XzStreamBuffer::IsXzFile(path)) {
    auto xz = std::make_unique<XzStreamBuffer>(path);
    xz_ = xz.get();
    buffer_ = std::move(xz);
  } else if (ZipStreamBuffer::IsZipFile(path)) {
    auto zip = std::make_unique<ZipStreamBuffer>(path);
    zip_ = zip.get();
    buffer_ = std::move(zip);
  } else {
    auto file = std::make_unique<std::filebuf>();
    if (!file->open(path, std::ios::in | std::ios::binary))
      throw ImportError(u"cannot read " + PathText(path));
    buffer_ = std::move(file);
  }
  in_.rdbuf(buffer_.get());
  // A damaged compressed file throws from inside the stream buffer; let that through.
  in_.exceptions(std::ios::badbit);
  fileSize_ = zip_ ? zip_->Size() : std::filesystem::file_size(path, ec);
}

std::uint64_t CsvReader::BytesRead() const {
  if (xz_)
    return xz_->CompressedBytesRead();
  return zip_ ? zip_->BytesRead() : bytesRead_;
}

std::u16string CsvReader::Where() const {
  return PathText(path_) + u" line " + text::FromUtf8(std::to_string(recordLine_)) + u": ";
}

bool CsvReader::ReadLine(std::u16string& line) {
  if (!std::getline(in_, raw_))
    return false;
  ++physicalLine_;
  bytesRead_ += raw_.size() + 1;
  if (!raw_.empty() && raw_.back() == '\r')
    raw_.pop_back();
  std::string_view bytes = raw_;
  if (physicalLine_ == 1 && bytes.starts_with("\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);
    if (encoding_ == TextEncoding::Detect)
      encoding_ = TextEncoding::Utf8;
  }
  std::string detail;
  if (!Decode(bytes, line, detail)) {
    throw ImportError(PathText(path_) + u" line " + text::FromUtf8(std::to_string(physicalLine_)) +
                      u": cannot decode (" + text::FromUtf8(detail) + u")");
  }
  return true;
}

bool CsvReader::Decode(std::string_view bytes, std::u16string& line, std::string& detail) {
  if (encoding_ == TextEncoding::Detect) {
    // ASCII decodes the same either way: the first line with another byte decides.
    bool ascii = true;
    for (char c : bytes)
      ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (!ascii) {
      encoding_ = DecodeUtf8Strict(bytes, line) ? TextEncoding::Utf8 : TextEncoding::Cp932;
      if (encoding_ == TextEncoding::Utf8)
        return true;
    }
  }
  if (encoding_ != TextEncoding::Cp932) {
    detail = "not valid UTF-8";
    return DecodeUtf8Strict(bytes, line);
  }
  auto decoded = text::DecodeCp932(bytes, &detail);
  if (!decoded) {
    if (detail.empty())
      detail = "not valid CP932";
    return false;
  }
  line = std::move(*decoded);
  return true;
}

bool CsvReader::Next(std::vector<std::u16string>& fields) {
  std::u16string record;
  do {
    if (!ReadLine(record))
      return false;
  } while (record.empty());
  recordLine_ = physicalLine_;
  bool complete = false;
  fields = SplitCsvRecord(record, &complete);
  while (!complete) {
    std::u16string more;
    if (!ReadLine(more)) {
      throw ImportError(Where() + u"a quoted field is not closed before the end of the file");
    }
    record += u'\n';
    record += more;
    fields = SplitCsvRecord(record, &complete);
  }
  return true;
}

CsvHeader::CsvHeader(const std::vector<std::u16string>& names, const CsvReader& reader)
    : file_(PathText(reader.path())) {
  for (const auto& name : names)
    names_.push_back(text::Trim(name));
}

std::optional<std::size_t> CsvHeader::Find(std::u16string_view name) const {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (names_[i] == name)
      return i;
  }
  return std::nullopt;
}

std::size_t CsvHeader::Require(std::initializer_list<std::u16string_view> names) const {
  std::u16string wanted;
  for (std::u16string_view name : names) {
    if (auto index = Find(name))
      return *index;
    wanted += (wanted.empty() ? u"\"" : u" or \"") + std::u16string(name) + u"\"";
  }
  throw ImportError(file_ + u": the header has no column " + wanted);
}

}  // namespace mok::db
