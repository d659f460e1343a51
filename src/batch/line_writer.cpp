#include "batch/line_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "batch/line_reader.h"
#include "text/text.h"

namespace mok::batch {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;

// A fresh file at `path`: the name is cleared, then the file is created in a step that fails when
// anything stands at the name again, so a link planted in between is never followed. -1 with
// errno set when it cannot be made.
int OpenFresh(const std::string& path) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
      return -1;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST)
      return fd;
  }
  return -1;
}

}  // namespace

bool LineWriter::Open(const std::u16string& path, FileError* error, text::Encoding encoding,
                      Mode mode) {
  Close();
  failure_.clear();
  failed_ = false;
  lines_ = linesOnDisk_ = 0;
  buffer_.clear();
  lineEnds_.clear();
  errno = 0;
  const std::string native = NativePath(path);
  const int fd = mode == Mode::Fresh
                     ? OpenFresh(native)
                     : ::open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    // Creating a file fails with "not found" only when its folder is missing.
    const int errnum = errno == 0 ? EACCES : errno == ENOENT ? ENOTDIR : errno;
    if (error)
      *error = FileErrorFromErrno(errnum);
    return false;
  }
  fd_ = fd;
  path_ = path;
  encoding_ = encoding;
  buffer_.reserve(kBufferSize + 1024);
  if (encoding == text::Encoding::Utf8Bom)
    buffer_ += text::kUtf8Bom;
  return true;
}

void LineWriter::Fail(int errnum) {
  failed_ = true;
  failure_ = FileErrorFromErrno(errnum).Text() + u"\r\n" + path_;
}

bool LineWriter::WriteLine(const std::u16string& line) {
  if (fd_ < 0 || failed_) {
    if (!failed_)
      Fail(EBADF);
    return false;
  }
  std::string why;
  auto bytes = text::Encode(line, encoding_, &why);
  if (!bytes) {
    failure_ = text::EncodingName(encoding_) + u"で書けない文字があるため、" +
               text::FromUtf8(std::to_string(lines_ + 1)) + u"行目を書き込めません。\r\n" + line +
               u"\r\n" + path_;
    return false;
  }
  buffer_ += *bytes;
  buffer_ += "\r\n";
  lineEnds_.push_back(buffer_.size());
  ++lines_;
  return buffer_.size() < kBufferSize || Flush();
}

bool LineWriter::Flush() {
  std::size_t done = 0;
  int errnum = 0;
  while (done < buffer_.size()) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n == 0 || errno != EINTR) {
      errnum = n == 0 ? EIO : errno;
      break;
    }
  }
  linesOnDisk_ += std::upper_bound(lineEnds_.begin(), lineEnds_.end(), done) - lineEnds_.begin();
  buffer_.clear();
  lineEnds_.clear();
  if (errnum != 0)
    Fail(errnum);
  return errnum == 0;
}

bool LineWriter::Close() {
  if (fd_ < 0)
    return !failed_;
  if (!failed_)
    Flush();
  errno = 0;
  // A share may report at the close that data written before did not reach it.
  if (::close(fd_) != 0 && !failed_)
    Fail(errno == 0 ? EIO : errno);
  fd_ = -1;
  buffer_.clear();
  lineEnds_.clear();
  return !failed_;
}

}  // namespace mok::batch
