// Imports a town list in the format of the Geolonia 住所データ CSV (UTF-8, header line with the
// columns 都道府県名, 市区町村コード, 市区町村名, 大字町丁目名, 小字・通称名, 緯度, 経度 among
// others) into a region database: one POSITION row per town of a municipality, one block table per
// municipality ("BLK" + municipality code), and for each town one representative block row whose
// number is Null, carrying the town's latitude/longitude and its plane rectangular X/Y.
//
// Rows that differ only in 小字・通称名 are one town: 大島町 岡田 appears once per 小字 in the
// source and becomes one POSITION row; its point is that of the row without 小字, else the first.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

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

// Formats plane coordinates (metres) as stored: three decimals.
std::u16string FormatMetres(double value);

// Parses a decimal number of the source files (ASCII, e.g. 35.68156); false when the text is
// not one.
bool ParseDecimal(std::u16string_view text, double& value);

// Whether `name` (with its type, 東京都) is selected by the filter (東京都 or 東京; "" = all).
bool PrefectureMatches(std::u16string_view name, std::u16string_view filter);

}  // namespace mok::db
