#include "batch/line_reader.h"

#include <sys/stat.h>

#include <cerrno>

#include <cstring>
#include <utility>

#include "text/encoding_judge.h"
#include "text/text.h"

namespace mok::batch {
namespace {
constexpr std::size_t kBufferSize = 1 << 16;

// The file's encoding: the one named, else told from as much of the file as it takes
// (encoding_judge.h); the file rewound. A name of UTF-8 covers a file with or without the mark.
// nullopt on a read error.
std::optional<text::Encoding> FileEncoding(std::FILE* file, std::optional<text::Encoding> named) {
  std::string piece(kBufferSize, '\0');
  piece.resize(std::fread(piece.data(), 1, kBufferSize, file));
  const bool marked = piece.starts_with(text::kUtf8Bom);
  text::EncodingJudge judge;
  while (!named && !piece.empty() && !judge.Decided()) {
    judge.Feed(piece);
    piece.resize(kBufferSize);
    piece.resize(std::fread(piece.data(), 1, kBufferSize, file));
  }
  const bool failed = std::ferror(file) != 0;
  std::rewind(file);
  if (failed)
    return std::nullopt;
  if (!named)
    return judge.Result();
  if (*named == text::Encoding::Cp932)
    return named;
  return marked ? text::Encoding::Utf8Bom : text::Encoding::Utf8;
}
}  // namespace

std::string NativePath(const std::u16string& path) {
  return text::ToUtf8(path);
}

bool FileExists(const std::u16string& path) {
  struct stat info {};
  return !path.empty() && ::stat(NativePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool LineReader::Open(const std::u16string& path, FileError* error,
                      std::optional<text::Encoding> encoding) {
  Close();
  errno = 0;
  std::FILE* file = std::fopen(NativePath(path).c_str(), "rb");
  if (file == nullptr) {
    if (error)
      *error = FileErrorFromErrno(errno == 0 ? ENOENT : errno);
    return false;
  }
  struct stat info {};
  if (::fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
    std::fclose(file);
    if (error)
      *error = FileErrorFromErrno(EISDIR);
    return false;
  }
  const auto judged = FileEncoding(file, encoding);
  if (!judged) {
    std::fclose(file);
    if (error)
      *error = FileErrorFromErrno(EIO);
    return false;
  }
  encoding_ = *judged;
  // The mark is no part of the first line.
  if (encoding_ == text::Encoding::Utf8Bom)
    std::fseek(file, static_cast<long>(text::kUtf8Bom.size()), SEEK_SET);
  file_ = file;
  path_ = path;
  buffer_.resize(kBufferSize);
  pos_ = len_ = 0;
  error_ = false;
  lfEnds_.reset();
  lineNumber_ = 0;
  lineEnd_ = "\r\n";
  return true;
}

LineReader::LineReader(LineReader&& other) noexcept {
  *this = std::move(other);
}

LineReader& LineReader::operator=(LineReader&& other) noexcept {
  if (this == &other)
    return *this;
  Close();
  file_ = std::exchange(other.file_, nullptr);
  path_ = std::move(other.path_);
  buffer_ = std::move(other.buffer_);
  pos_ = std::exchange(other.pos_, 0);
  len_ = std::exchange(other.len_, 0);
  error_ = other.error_;
  lfEnds_ = other.lfEnds_;
  lineNumber_ = other.lineNumber_;
  lineEnd_ = other.lineEnd_;
  encoding_ = other.encoding_;
  return *this;
}

void LineReader::Close() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  pos_ = len_ = 0;
}

bool LineReader::Fill() {
  if (pos_ < len_)
    return true;
  if (file_ == nullptr || error_)
    return false;
  pos_ = 0;
  len_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  if (len_ == 0 && std::ferror(file_))
    error_ = true;
  return len_ > 0;
}

const char* LineReader::FindLineEnd(const char* begin, const char* end) const {
  const char* cr = static_cast<const char*>(memchr(begin, '\r', end - begin));
  if (lfEnds_ == false)
    return cr == nullptr ? end : cr;
  const char* lf = static_cast<const char*>(memchr(begin, '\n', (cr ? cr : end) - begin));
  return lf ? lf : cr ? cr : end;
}

bool LineReader::AtEnd() {
  return !Fill() && !error_;
}

LineReader::Status LineReader::ReadBytes(std::string& bytes) {
  if (!Fill())
    return error_ ? Status::ReadError : Status::End;
  std::string line;
  bool ended = true;
  while (true) {
    if (!Fill()) {
      if (error_)
        return Status::ReadError;
      ended = false;  // a last line without a line end
      break;
    }
    const char* begin = buffer_.data() + pos_;
    const char* end = buffer_.data() + len_;
    const char* lineEnd = FindLineEnd(begin, end);
    if (lineEnd == end) {
      line.append(begin, end);
      pos_ = len_;
      continue;
    }
    // The first line end tells the file's rule: a file that begins with LF line ends was written
    // by a program that ends lines so, and a lone LF then ends a line too.
    if (!lfEnds_)
      lfEnds_ = *lineEnd == '\n';
    line.append(begin, lineEnd);
    pos_ += (lineEnd - begin) + 1;
    lineEnd_ = *lineEnd == '\r' ? "\r" : "\n";
    // CR LF is one line end; the LF belongs to it.
    if (*lineEnd == '\r' && Fill() && buffer_[pos_] == '\n') {
      ++pos_;
      lineEnd_ = "\r\n";
    }
    if (error_)
      return Status::ReadError;
    break;
  }
  ++lineNumber_;
  if (!ended)
    lineEnd_ = "";
  bytes = std::move(line);
  return Status::Ok;
}

LineReader::Status LineReader::ReadLine(std::u16string& line) {
  std::string bytes;
  const Status status = ReadBytes(bytes);
  if (status != Status::Ok)
    return status;
  auto decoded = text::Decode(bytes, encoding_);
  if (!decoded)
    return Status::Undecodable;
  line = std::move(*decoded);
  return Status::Ok;
}

LineReader::Line LineReader::Next() {
  Line line;
  line.status = ReadLine(line.text);
  line.number = lineNumber_;
  const bool read = line.status == Status::Ok || line.status == Status::Undecodable;
  line.ended = !read || LastLineEnded();
  return line;
}

}  // namespace mok::batch
