// The main database's tables on a server, as `mok2 db create postgresql://...` and `mok2 db
// copy-main` make them: the columns of the file's tables (schema.h), each table with a row id
// column "rowid" that numbers the rows in the order they were stored (what the file engine's
// own row id does), and the index the learned-word lookup searches (the registered word with its
// ASCII letters lowered, as every comparison of the dictionary lowers them).
#pragma once

#include "db/pg_connection.h"

namespace mok::db {

// The tables and the index, each only when missing. Refused when the server's database does not
// keep its texts in UTF-8 (Japanese names must be stored as they are).
DbStatus CreateServerMainSchema(PgConnection& server);

}  // namespace mok::db
