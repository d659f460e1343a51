#include "batch/file_error.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "text/text.h"

namespace mok::batch {

std::u16string FileError::Text() const {
  if (!advice.empty())
    return description + advice;
  const std::string number_text = std::to_string(number);
  return description + u"（エラー番号 " + std::u16string(number_text.begin(), number_text.end()) +
         u"）";
}

FileError FileErrorFromErrno(int errnum) {
  switch (errnum) {
    case ENOENT:
      return {u"ファイルが見つかりません。", 53, u"ファイル名と場所を確かめて下さい。"};
    case ENOTDIR:
      return {u"フォルダが見つかりません。", 76,
              u"フォルダがあるか確かめるか、別の場所を選んで下さい。"};
    case EACCES:
    case EPERM:
    case EROFS:
      return {u"ファイルを読み書きする権限がありません。", 70,
              u"ファイルとフォルダの権限を確かめるか、別の場所を選んで下さい。"};
    case ENOSPC:
    case EDQUOT:
      return {u"ディスクの空き容量が不足しています。", 61,
              u"空きを作ってからもう一度実行して下さい。"};
    case EFBIG:
      return {u"ファイルが大きすぎて書き込めません。", 61,
              u"ファイルの大きさの上限を確かめるか、別の場所を選んで下さい。"};
    case EISDIR:
      return {u"ファイルの代わりにフォルダが指定されています。", 75,
              u"ファイル名まで指定して下さい。"};
    case EIO:
      return {u"ディスクの読み書き中にエラーが発生しました。", 57,
              u"ディスクを確かめてからもう一度実行して下さい。"};
    default:
      // The operating system's own words, with its number for whoever looks further.
      return {u"ファイルを読み書きできませんでした：" + text::FromUtf8(std::strerror(errnum)),
              errnum};
  }
}

}  // namespace mok::batch
