// Converts a legacy Access database of the system (the main database mok2.mdb or a region
// database <region>.mdb) into the SQLite files of a data folder, table by table. The tables the
// lookups know (都道府県名, ＤＢ一覧, 学習; POSITION, POST and the block tables, recognised by
// their fldPositionID column) get the columns and text comparison of the data tool's own schema;
// any other table and any extra column is copied as it is. Null values stay Null.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "db/import/legacy_database.h"

namespace mok::db {

struct MdbImportReport {
  std::filesystem::path target;  // the SQLite file written
  bool isMain = false;
  int64_t tables = 0;
  int64_t rows = 0;
  int64_t regionId = 0;  // fldID in ＤＢ一覧 of a converted region (0: no main database yet)
};

// mok2.mdb (or any file holding 都道府県名 or ＤＢ一覧) becomes <dir>/mok2.sqlite; any other
// <name>.mdb becomes <dir>/<name>.sqlite and is added to the region list of <dir>/mok2.sqlite when
// that exists. The target must not exist yet. Throws ImportError; on failure nothing is written.
MdbImportReport ImportMdb(const std::filesystem::path& dir, const std::filesystem::path& file);

// The conversion itself, from any legacy source; `name` is the file name without extension.
MdbImportReport ConvertLegacyDatabase(const std::filesystem::path& dir, const std::u16string& name,
                                      LegacyDatabase& source);

}  // namespace mok::db
