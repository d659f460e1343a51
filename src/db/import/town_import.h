// Imports a town list (town_list.h) into a region database: one POSITION row per town of a
// municipality, one block table per municipality ("BLK" + municipality code), and for each town
// one representative block row whose number is Null, carrying the town's latitude/longitude and
// its plane rectangular X/Y.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "db/connection.h"
#include "db/import/town_list.h"

namespace mok::db {

struct TownImportReport {
  int64_t sourceRows = 0;       // data rows read
  int64_t towns = 0;            // distinct towns in the file (after the prefecture filter)
  int64_t townsAdded = 0;       // POSITION rows added
  int64_t blockRows = 0;        // representative block rows added
  int64_t municipalities = 0;   // municipalities of the imported towns
  int64_t withoutZone = 0;      // towns whose plane zone is unknown (X/Y left empty)
  int64_t keptBlocks = 0;       // towns that already had block rows (left as they were)
  int64_t withoutTownName = 0;  // source rows without 大字町丁目名 (skipped)
  int64_t regionId = 0;         // fldID of the region in ＤＢ一覧
};

// Imports `file` into <dir>/<region>.sqlite (created when missing) and lists the region in
// <dir>/mok2.sqlite. `prefecture` non-empty keeps only that prefecture's rows (東京都, or 東京).
// All in one transaction; throws ImportError and leaves both databases as they were on failure.
TownImportReport ImportTowns(const std::filesystem::path& dir, const std::u16string& region,
                             const std::filesystem::path& file,
                             const std::u16string& prefecture = {});

// Writes projected towns into the region tables of `db` inside the caller's transaction: towns
// already there are reused, and a town that already has block rows keeps them. Fills townsAdded,
// blockRows, keptBlocks and municipalities of the report.
void AddTowns(Connection& db, std::span<const SourceTown> towns, TownImportReport& report);

}  // namespace mok::db
