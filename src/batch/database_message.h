// Failures of the address data as the user reads them: a Japanese sentence that says which file
// failed and what to do about it, and, where the sentence cannot say what to do (a damaged file,
// a disk error), the engine's number for whoever looks further. The database
// layer gives back what the engine said (DbError); every window and run message that reports
// a database failure words it here.
//
// Example: the region 大阪府 whose file is missing,
//   {"unable to open database file", 14, "/data/大阪府.sqlite", engine}
// reads 地域データベース /data/大阪府.sqlite を開けません。データベースフォルダ（環境設定）と
// 地域名を確かめて下さい。 A damaged one (number 11) ends with （エラー番号 11） on its own line.
#pragma once

#include <string>

#include "result/db_result.h"

namespace mok::batch {

std::u16string DatabaseMessage(const DbError& error);

}  // namespace mok::batch
