#include "db/import/csv_reader.h"

#include <unicode/ustring.h>

#include "db/import/import_error.h"
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
    } else if (c == u'"') {
      quoted = true;
    } else if (c == u',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
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
  in_.open(path, std::ios::binary);
  if (!in_)
    throw ImportError(u"cannot read " + PathText(path));
  fileSize_ = std::filesystem::file_size(path, ec);
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
  if (physicalLine_ == 1 && bytes.starts_with("\xEF\xBB\xBF"))
    bytes.remove_prefix(3);
  bool ok = false;
  std::string detail;
  if (encoding_ == TextEncoding::Utf8) {
    ok = DecodeUtf8Strict(bytes, line);
    detail = "not valid UTF-8";
  } else {
    auto decoded = text::DecodeCp932(bytes, &detail);
    if (decoded) {
      line = std::move(*decoded);
      ok = true;
    }
    if (detail.empty())
      detail = "not valid CP932";
  }
  if (!ok) {
    throw ImportError(PathText(path_) + u" line " + text::FromUtf8(std::to_string(physicalLine_)) +
                      u": cannot decode (" + text::FromUtf8(detail) + u")");
  }
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

std::size_t CsvHeader::Require(std::u16string_view name) const {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (names_[i] == name)
      return i;
  }
  throw ImportError(file_ + u": the header has no column \"" + std::u16string(name) + u"\"");
}

}  // namespace mok::db
