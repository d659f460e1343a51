// Converts a legacy Access database of the system (the main database mok2.mdb or a region
// database <region>.mdb) into the SQLite files of a data folder, table by table: the tables of the
// address rules (都道府県名, ＤＢ一覧, 学習; POSITION, POST and the block tables named in POSITION)
// with their columns.
#pragma once

#include <cstdint>
#include <filesystem>

namespace mok::db {

struct MdbImportReport {
  std::filesystem::path target;  // the SQLite file written
  int64_t tables = 0;
  int64_t rows = 0;
};

// mok2.mdb becomes <dir>/mok2.sqlite (which must not exist yet), any other <name>.mdb becomes
// <dir>/<name>.sqlite (added to the region list of <dir>/mok2.sqlite). Throws ImportError.
MdbImportReport ImportMdb(const std::filesystem::path& dir, const std::filesystem::path& file);

}  // namespace mok::db
