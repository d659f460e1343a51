#include "batch/line_writer.h"

#include <cerrno>

#include "batch/line_reader.h"
#include "text/text.h"

namespace mok::batch {

bool LineWriter::Open(const std::u16string& path, FileError* error, text::Encoding encoding) {
  Close();
  failure_.clear();
  failed_ = false;
  lines_ = 0;
  errno = 0;
  std::FILE* file = std::fopen(NativePath(path).c_str(), "wb");
  if (file == nullptr) {
    // Creating a file fails with "not found" only when its folder is missing.
    const int errnum = errno == 0 ? EACCES : errno == ENOENT ? ENOTDIR : errno;
    if (error)
      *error = FileErrorFromErrno(errnum);
    return false;
  }
  std::setvbuf(file, nullptr, _IOFBF, 1 << 16);
  file_ = file;
  path_ = path;
  encoding_ = encoding;
  if (encoding == text::Encoding::Utf8Bom &&
      std::fwrite(text::kUtf8Bom.data(), 1, text::kUtf8Bom.size(), file) != text::kUtf8Bom.size()) {
    Fail(errno == 0 ? EIO : errno);
  }
  return true;
}

void LineWriter::Fail(int errnum) {
  failed_ = true;
  failure_ = FileErrorFromErrno(errnum).Text() + u"\r\n" + path_;
}

bool LineWriter::WriteLine(const std::u16string& line) {
  if (file_ == nullptr) {
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
  bytes->append("\r\n");
  errno = 0;
  if (std::fwrite(bytes->data(), 1, bytes->size(), file_) != bytes->size()) {
    Fail(errno == 0 ? EIO : errno);
    return false;
  }
  ++lines_;
  return true;
}

bool LineWriter::Close() {
  if (file_ == nullptr)
    return !failed_;
  errno = 0;
  const bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
  const int flush_errno = errno;
  errno = 0;
  const bool closed = std::fclose(file_) == 0;
  const int close_errno = errno;
  file_ = nullptr;
  if (!flushed) {
    Fail(flush_errno == 0 ? EIO : flush_errno);
  } else if (!closed) {
    Fail(close_errno == 0 ? EIO : close_errno);
  }
  return !failed_;
}

}  // namespace mok::batch
