// Reads a text file line by line with the line-end rule of the system's files: CR LF or a lone
// CR ends a line, while a lone LF is an ordinary character that stays inside the line. A last
// line without a line end is still a line; a line end at the very end of the file does not make
// an extra empty line.
//
// Example: the bytes "a\r\nb\nc\rd" are the three lines "a", "b\nc" and "d".
//
// Lines come back as CP932 text decoded to UTF-16; a line that does not decode is reported with
// its line number rather than passed on damaged. Written by hand because no library reads lines
// with exactly this rule (std::getline splits at LF).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "batch/file_error.h"

namespace mok::batch {

class LineReader {
 public:
  enum class Status {
    Ok,
    End,          // no line left (reading past the end of the file)
    ReadError,    // the operating system failed to read
    Undecodable,  // the line is not valid CP932 text
  };

  LineReader() = default;
  ~LineReader() { Close(); }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Opens `path` for reading; on failure returns false and fills `error`.
  bool Open(const std::u16string& path, FileError* error = nullptr);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  const std::u16string& Path() const { return path_; }

  // True when no byte is left to read (or the file is not open).
  bool AtEnd();

  // The next line without its line end, as raw CP932 bytes or decoded. On failure `line` keeps
  // its previous value.
  Status ReadBytes(std::string& bytes);
  Status ReadLine(std::u16string& line);

  // 1-based number of the line last read (0 before the first).
  int64_t LineNumber() const { return lineNumber_; }

 private:
  bool Fill();

  std::FILE* file_ = nullptr;
  std::u16string path_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t len_ = 0;
  bool error_ = false;
  int64_t lineNumber_ = 0;
};

// The path as the operating system wants it (UTF-8 on Linux).
std::string NativePath(const std::u16string& path);
bool FileExists(const std::u16string& path);

}  // namespace mok::batch
