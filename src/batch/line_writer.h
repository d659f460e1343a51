// Writes a text file line by line as the system's files are written: CP932 text (or UTF-8, with
// or without a byte-order mark, when asked), every line ended by CR LF. A text that has no form in
// the encoding is refused with a message naming it (never written as "?"), and a failed write or
// close (a full disk) is reported, so a run never takes a damaged file for a complete one.
#pragma once

#include <cstdio>
#include <string>

#include "batch/file_error.h"
#include "text/encoding.h"

namespace mok::batch {

class LineWriter {
 public:
  LineWriter() = default;
  ~LineWriter() { Close(); }
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  // Opens `path` for writing, created or emptied; a UTF-8 file with a mark starts with it.
  bool Open(const std::u16string& path, FileError* error = nullptr,
            text::Encoding encoding = text::Encoding::Cp932);
  bool IsOpen() const { return file_ != nullptr; }
  const std::u16string& Path() const { return path_; }

  // Writes `line` and CR LF. False when the line cannot be encoded or written; `Failure()` then
  // tells why.
  bool WriteLine(const std::u16string& line);

  // Flushes and closes; false when data written earlier could not reach the disk.
  bool Close();

  // The text of the last failure, for a message ("" when none).
  const std::u16string& Failure() const { return failure_; }
  int64_t LinesWritten() const { return lines_; }

 private:
  void Fail(int errnum);

  std::FILE* file_ = nullptr;
  std::u16string path_;
  std::u16string failure_;
  bool failed_ = false;
  int64_t lines_ = 0;
  text::Encoding encoding_ = text::Encoding::Cp932;
};

}  // namespace mok::batch
