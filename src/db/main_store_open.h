// Which main database a program uses, and opening it: one text names it, the server's address
// when the settings give one (MAINDB=postgresql://host/dbname), else the file mok2.sqlite of the
// database folder (DBDIR). The region databases stay files of the folder either way.
//
//   MainDatabaseName(u"/data", u"")                         -> /data/mok2.sqlite
//   MainDatabaseName(u"/data", u"postgresql://db.example/mok") -> postgresql://db.example/mok
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "db/main_store.h"
#include "db/pg_connection.h"

namespace mok::db {

// The main database of the folder `dir` and the server `server` ("" for none).
std::u16string MainDatabaseName(const std::u16string& dir, const std::u16string& server);

// Checks the MAINDB setting: "" or a server's address that parses and holds no password. The
// failure's text says what to write instead.
DbStatus CheckServerSetting(const std::u16string& server);

// Opens the main database `name`: connects to a server, or opens an existing file.
DbResult<std::unique_ptr<MainStore>> OpenMainStore(const std::u16string& name);
// The same, making the main database's tables when missing (and, for a file, the file itself).
DbResult<std::unique_ptr<MainStore>> CreateMainStore(const std::u16string& name);

}  // namespace mok::db
