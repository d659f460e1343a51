// Writes a text file line by line as the system's files are written: CP932 text (or UTF-8, with
// or without a byte-order mark, when asked), every line ended by CR LF. A text that has no form in
// the encoding is refused with a message naming it (never written as "?"), and a failed write or
// close (a full disk) is reported, so a run never takes a damaged file for a complete one.
//
// The lines are gathered in a buffer of its own and handed to the operating system in large
// writes; the writer counts the lines the system took whole, so that after a failure the caller
// can say how much of the file is there. A side file of a run (the error list, the new output of
// an unprocessed-only run) is opened as a fresh file: whatever stands at its name is removed and
// the file created exclusively, so that a link planted at the name is never followed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "batch/file_error.h"
#include "text/encoding.h"

namespace mok::batch {

class LineWriter {
 public:
  enum class Mode {
    Replace,  // the file named is created or emptied (a link stands for the file it names)
    Fresh,    // a new file in place of whatever stands at the name, never written through a link
  };

  LineWriter() = default;
  ~LineWriter() { Close(); }
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  // Opens `path` for writing; a UTF-8 file with a mark starts with it.
  bool Open(const std::u16string& path, FileError* error = nullptr,
            text::Encoding encoding = text::Encoding::Cp932, Mode mode = Mode::Replace);
  bool IsOpen() const { return fd_ >= 0; }
  const std::u16string& Path() const { return path_; }

  // Writes `line` and CR LF. False when the line cannot be encoded or written; `Failure()` then
  // tells why.
  bool WriteLine(const std::u16string& line);

  // Writes what is left and closes; false when data written earlier could not reach the disk.
  bool Close();

  // The text of the last failure, for a message ("" when none).
  const std::u16string& Failure() const { return failure_; }
  // The lines the operating system took whole (all of them once Close succeeded).
  int64_t LinesOnDisk() const { return linesOnDisk_; }

 private:
  bool Flush();
  void Fail(int errnum);

  int fd_ = -1;
  std::u16string path_;
  std::u16string failure_;
  bool failed_ = false;
  int64_t lines_ = 0;
  int64_t linesOnDisk_ = 0;
  std::string buffer_;
  std::vector<std::size_t> lineEnds_;  // where each line of the buffer ends
  text::Encoding encoding_ = text::Encoding::Cp932;
};

}  // namespace mok::batch
