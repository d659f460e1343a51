// Reads a text file line by line with the line-end rule of the system's files: CR LF or a lone
// CR ends a line, while a lone LF is an ordinary character that stays inside the line. A file
// whose first line end is a lone LF (written on Unix) has LF line ends: there a lone LF ends a
// line as well, so that such a file is not read as one long record. A last
// line without a line end is still a line; a line end at the very end of the file does not make
// an extra empty line.
//
// Example: the bytes "a\r\nb\nc\rd" are the three lines "a", "b\nc" and "d"; "a\nb\r\nc" are
// "a", "b" and "c".
//
// Lines come back decoded to UTF-16 from the file's encoding (CP932, or UTF-8 with or without a
// byte-order mark, told from the file's first bytes unless the caller names it); a line that does
// not decode is reported with its line number rather than passed on damaged. Written by hand
// because no library reads lines with exactly this rule (std::getline splits at LF).
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/file_error.h"
#include "text/encoding.h"

namespace mok::batch {

class LineReader {
 public:
  enum class Status {
    Ok,
    End,          // no line left (reading past the end of the file)
    ReadError,    // the operating system failed to read
    Undecodable,  // the line is not valid text of the file's encoding
    // A record (record_reader.h) whose quoted field is still open at the end of the file.
    UnclosedQuote,
  };

  // A line as read: how the read went, the line's 1-based number, its text ("" unless read),
  // and whether a line end followed it (a file cut inside its last line has none there).
  struct Line {
    Status status = Status::Ok;
    int64_t number = 0;
    std::u16string text;
    bool ended = true;
  };

  LineReader() = default;
  ~LineReader() { Close(); }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;
  // A reader handed on keeps its file open and its place in it.
  LineReader(LineReader&& other) noexcept;
  LineReader& operator=(LineReader&& other) noexcept;

  // Opens `path` for reading in `encoding`, or in the encoding its bytes show when none is given;
  // a UTF-8 byte-order mark is skipped. On failure returns false and fills `error`.
  bool Open(const std::u16string& path, FileError* error = nullptr,
            std::optional<text::Encoding> encoding = std::nullopt);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  const std::u16string& Path() const { return path_; }
  text::Encoding Encoding() const { return encoding_; }

  // True when no byte is left to read (or the file is not open).
  bool AtEnd();

  // The next line without its line end, as raw bytes or decoded. On failure `line` keeps
  // its previous value.
  Status ReadBytes(std::string& bytes);
  Status ReadLine(std::u16string& line);
  // The next line, decoded, as a value.
  Line Next();

  // 1-based number of the line last read (0 before the first).
  int64_t LineNumber() const { return lineNumber_; }
  // Whether a line end followed the line last read, and which ("\r\n", "\r", "\n"; "" for none).
  bool LastLineEnded() const { return !lineEnd_.empty(); }
  std::string_view LastLineEnd() const { return lineEnd_; }

 private:
  bool Fill();
  // The first line end in [begin, end) under the file's rule (CR, or also LF), else `end`.
  const char* FindLineEnd(const char* begin, const char* end) const;

  std::FILE* file_ = nullptr;
  std::u16string path_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t len_ = 0;
  bool error_ = false;
  int64_t lineNumber_ = 0;
  std::string_view lineEnd_ = "\r\n";
  // Whether a lone LF ends a line: decided by the file's first line end, unknown before it.
  std::optional<bool> lfEnds_;
  text::Encoding encoding_ = text::Encoding::Cp932;
};

// The path as the operating system wants it (UTF-8 on Linux).
std::string NativePath(const std::u16string& path);
bool FileExists(const std::u16string& path);

}  // namespace mok::batch
