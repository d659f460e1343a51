#include "batch/file_error.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "text/text.h"

namespace mok::batch {

std::u16string FileError::Text() const {
  const std::string number_text = std::to_string(number);
  return description + u"(" + std::u16string(number_text.begin(), number_text.end()) + u")";
}

FileError FileErrorFromErrno(int errnum) {
  switch (errnum) {
    case ENOENT:
      return {u"ファイルが見つかりません。", 53};
    case ENOTDIR:
      return {u"パスが見つかりません。", 76};
    case EACCES:
    case EPERM:
    case EROFS:
      return {u"書き込みできません。", 70};
    case ENOSPC:
    case EDQUOT:
      return {u"ディスクの空き容量が不足しています。", 61};
    case EISDIR:
      return {u"パス名が無効です。", 75};
    case EIO:
      return {u"デバイス I/O エラーです。", 57};
    default:
      return {text::FromUtf8(std::strerror(errnum)), errnum};
  }
}

FileError OverflowError() {
  return {u"オーバーフローしました。", 6};
}
FileError TypeMismatchError() {
  return {u"型が一致しません。", 13};
}

}  // namespace mok::batch
