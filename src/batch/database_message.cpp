#include "batch/database_message.h"

#include <algorithm>

#include "db/pg_connection.h"
#include "text/text.h"

namespace mok::batch {
namespace {

std::u16string Number(int n) {
  return text::FromUtf8(std::to_string(n));
}

bool EndsWith(const std::u16string& text, std::u16string_view end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// "地域データベース /data/大阪府.sqlite", told by the file's name; a server holds the main
// database.
std::u16string FileKind(const DbError& error) {
  if (error.file.empty())
    return u"住所データベース";
  const bool main = EndsWith(error.file, u"/mok2.sqlite") || error.file == u"mok2.sqlite" ||
                    !error.sqlState.empty() || db::IsServerName(error.file);
  return (main ? u"メインデータベース " : u"地域データベース ") + error.file;
}

// Whether a text is already written for the user (no Latin letters).
bool IsJapaneseText(const std::u16string& text) {
  return std::none_of(text.begin(), text.end(), [](char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
  });
}

constexpr std::u16string_view kRebuild = u"mok2 db でデータベースを作り直して下さい。";

// A failure the database server reported, told by its SQLSTATE (class and code).
std::u16string ServerSentence(const std::u16string& where, const DbError& error) {
  const std::u16string& state = error.sqlState;
  const std::u16string_view kind = std::u16string_view(state).substr(0, 2);
  if (state == db::kCannotConnect)
    return where +
           u" に接続できません。サーバーが動いているか、メインデータベースの設定（MAINDB）と"
           u"ネットワークを確かめて下さい。";
  if (kind == u"08" || kind == u"57")
    return where + u" への接続が切れました。サーバーが動いているか確かめて下さい。";
  if (kind == u"28")
    return where + u" にログインできません。ユーザー名と、~/.pgpass のパスワードを確かめて下さい。";
  if (state == u"3D000" || state == u"42P01")
    return where + u" に学習辞書の表がありません。mok2 db create " + error.file +
           u" で作って下さい。";
  if (state == u"42501" || state == u"25006")
    return where + u" に書き込めません。サーバーの利用者の権限を確かめて下さい。";
  if (kind == u"23")
    return where + u" への書込みがデータベースの制約で拒まれました。";
  if (kind == u"53")
    return u"サーバーの資源（ディスクの空きなど）が足りないため、" + where + u" に書き込めません。";
  if (kind == u"40" || kind == u"55")
    return where + u" は他の端末が使用中です。しばらく待ってからもう一度実行して下さい。";
  return where + u" でエラーが発生しました。";
}

}  // namespace

std::u16string DatabaseMessage(const DbError& error) {
  const std::u16string where = FileKind(error);
  if (!error.sqlState.empty()) {
    return ServerSentence(where, error) + u"\r\n（詳細：" + error.description + u" SQLSTATE " +
           error.sqlState + u"）";
  }
  // The program's own sentences that need nothing added (a setting that names no server).
  if (!error.fromEngine && error.number == 0)
    return error.description;
  const std::u16string_view kNoTable = u"no such table: ";
  if (error.description.starts_with(kNoTable)) {
    return where + u" に表 " + error.description.substr(kNoTable.size()) + u" がありません。" +
           std::u16string(kRebuild) + u"\r\n（エラー番号 " + Number(error.number) + u"）";
  }
  if (!error.fromEngine) {
    // The program's own checks of the data it read.
    if (error.number == 21)
      return u"メインデータベースが開かれていません。データベースフォルダ（環境設定）を確かめて下さ"
             u"い。";
    if (error.number == 52)
      return error.description + u"地域名を一覧から選んで下さい。";
    if (IsJapaneseText(error.description))
      return error.Text();
    return where + u" の内容に誤りがあります。" + std::u16string(kRebuild) + u"\r\n（詳細：" +
           error.Text() + u"）";
  }
  // The failures whose sentence says what to do go without the engine's number; the others
  // (a damaged file, a disk error) keep it for whoever looks further.
  switch (error.number & 0xFF) {  // the primary result code of an extended one
    case 14:                      // SQLITE_CANTOPEN
      return where + u" を開けません。データベースフォルダ（環境設定）" +
             (where.starts_with(u"地域") ? u"と地域名" : u"") + u"を確かめて下さい。";
    case 5:  // SQLITE_BUSY
    case 6:  // SQLITE_LOCKED
      return where + u" は他のプログラムが使用中です。しばらく待ってからもう一度実行して下さい。";
    case 3:  // SQLITE_PERM
    case 8:  // SQLITE_READONLY
      return where + u" に書き込めません。ファイルとフォルダの書込み権限を確かめて下さい。";
    case 13:  // SQLITE_FULL
      return u"ディスクの空きが足りないため、" + where +
             u" に書き込めません。空きを作ってからもう一度実行して下さい。";
    default:
      break;
  }
  std::u16string sentence;
  switch (error.number & 0xFF) {
    case 11:  // SQLITE_CORRUPT
    case 26:  // SQLITE_NOTADB
      sentence = where + u" は壊れているか、データベースファイルではありません。" +
                 std::u16string(kRebuild);
      break;
    case 10:  // SQLITE_IOERR
      sentence =
          where + u" の読み書き中にディスクのエラーが発生しました。ディスクを確かめて下さい。";
      break;
    case 19:  // SQLITE_CONSTRAINT
      sentence = where + u" への書込みがデータベースの制約で拒まれました。";
      break;
    default:
      sentence = where + u" でエラーが発生しました。";
      break;
  }
  return sentence + u"\r\n（エラー番号 " + Number(error.number) + u"）";
}

}  // namespace mok::batch
