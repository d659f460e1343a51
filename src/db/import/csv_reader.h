// Reads comma-separated text files record by record: fields may be quoted with double quotes
// (RFC 4180: "" inside quotes is one quote, a quoted field may hold commas and line breaks).
// The data sources come as UTF-8 (the town list) or CP932 (Japan Post, MLIT); each physical line
// is decoded on its own, so a line that does not decode is reported with its number. A file that
// begins with the .xz magic bytes is decompressed while it is read (xz_stream_buffer.h), and so is
// the one CSV of a .zip archive (zip_stream_buffer.h), as the Address Base Registry serves them.
//
//   "13101","千代田区","丸の内一丁目",,35.68156   ->  13101 | 千代田区 | 丸の内一丁目 | ""
//   | 35.68156
//
// Written here rather than taken from a library because the decoding per line (and the line
// numbers in the messages) matter more than general CSV dialects, and the format is small.
#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace mok::db {

// Detect: UTF-8 when the file begins with a byte order mark or when its first line with a
// non-ASCII byte is valid UTF-8, CP932 otherwise; every later line must then decode in that one.
enum class TextEncoding { Utf8, Cp932, Detect };

// Splits one record's text into fields. `complete` is set to false when the text ends inside a
// quoted field (the record goes on on the next line).
std::vector<std::u16string> SplitCsvRecord(std::u16string_view record, bool* complete = nullptr);

class XzStreamBuffer;
class ZipStreamBuffer;

class CsvReader {
 public:
  // Opens `path`; throws ImportError when it cannot be read.
  CsvReader(const std::filesystem::path& path, TextEncoding encoding);

  // The next record's fields; false at the end of the file. Empty lines are skipped. Throws
  // ImportError naming the file and line on a line that does not decode.
  bool Next(std::vector<std::u16string>& fields);

  // The line number (1-based) where the last record returned by Next begins.
  int64_t LineNumber() const { return recordLine_; }
  // How far the reading has come in the file (compressed bytes of an .xz file, decompressed
  // bytes of a zipped one, against its decompressed size), for progress displays.
  std::uint64_t BytesRead() const;
  std::uint64_t FileSize() const { return fileSize_; }
  // The encoding of the lines read so far (Detect until a line has decided it).
  TextEncoding encoding() const { return encoding_; }
  const std::filesystem::path& path() const { return path_; }

  // "<file> line <n>: " + what, for messages about the last record.
  std::u16string Where() const;

 private:
  bool ReadLine(std::u16string& line);
  bool Decode(std::string_view bytes, std::u16string& line, std::string& detail);

  std::filesystem::path path_;
  TextEncoding encoding_;
  std::unique_ptr<std::streambuf> buffer_;
  XzStreamBuffer* xz_ = nullptr;    // buffer_ when the file is xz-compressed
  ZipStreamBuffer* zip_ = nullptr;  // buffer_ when the file is a zip archive
  std::istream in_{nullptr};
  std::string raw_;
  int64_t physicalLine_ = 0;
  int64_t recordLine_ = 0;
  std::uint64_t bytesRead_ = 0;
  std::uint64_t fileSize_ = 0;
};

// Maps header names to column indexes; throws ImportError when a required name is missing.
class CsvHeader {
 public:
  CsvHeader() = default;
  CsvHeader(const std::vector<std::u16string>& names, const CsvReader& reader);
  // Index of `name`; throws ImportError naming the file when the header lacks it.
  std::size_t Require(std::u16string_view name) const { return Require({name}); }
  // Index of the first of `names` that the header has (variants of one column's name).
  std::size_t Require(std::initializer_list<std::u16string_view> names) const;
  // Index of `name`, nullopt when the header lacks it (a column that may be left out).
  std::optional<std::size_t> Find(std::u16string_view name) const;
  // The number of columns the header names.
  std::size_t size() const { return names_.size(); }

 private:
  std::vector<std::u16string> names_;
  std::u16string file_;
};

// The field at `index`, "" when the record is shorter.
inline const std::u16string& FieldAt(const std::vector<std::u16string>& fields, std::size_t index) {
  static const std::u16string empty;
  return index < fields.size() ? fields[index] : empty;
}

}  // namespace mok::db
