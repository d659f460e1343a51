// Imports block-level positions in the format of MLIT's 街区レベル位置参照情報 CSV (CP932, a
// header line, then per block: 都道府県名, 市区町村名, 大字・丁目名 (大字・町丁目名 in some
// editions), 小字・通称名, 街区符号・地番, 座標系番号, Ｘ座標, Ｙ座標, 緯度, 経度, 住居表示フラグ,
// 代表フラグ, 更新前履歴フラグ, 更新後履歴フラグ; every field quoted) into POSITION and the block
// tables of a region database. A header that names other columns is refused.
//
// Towns already in POSITION are reused; a town that so far had only its representative row (number
// Null, from a town list) gets its real blocks instead. The source has no municipality codes:
// they come from the POSITION rows of the same municipality or from a Japan Post KEN_ALL file
// (its first column is the code, columns 7 and 8 the prefecture and municipality). Municipalities
// whose code is known from neither are skipped and named in the report, since a position without a
// code can give no output.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mok::db {

struct BlockImportReport {
  int64_t sourceRows = 0;               // data rows read
  int64_t blockRows = 0;                // block rows added
  int64_t blocksUpdated = 0;            // block rows that existed and got the new coordinates
  int64_t townsAdded = 0;               // POSITION rows added
  int64_t municipalities = 0;           // municipalities imported
  int64_t representativesReplaced = 0;  // representative rows replaced by real blocks
  int64_t skippedRows = 0;  // rows of unknown municipalities or with a non-numeric number
  std::vector<std::u16string> unknownMunicipalities;  // "東京都 千代田区", each once
  std::vector<std::u16string> badNumbers;             // "<line>: <number>", first few
  int64_t regionId = 0;
};

// `codesFile` (may be empty) is a KEN_ALL CSV giving municipality codes. All in one transaction;
// throws ImportError and leaves the databases as they were on failure.
BlockImportReport ImportBlocks(const std::filesystem::path& dir, const std::u16string& region,
                               const std::filesystem::path& file,
                               const std::filesystem::path& codesFile = {});

// A block number as the lookups compare it: half-width digits without leading zeros; nullopt
// when the text is not a number (e.g. 1-2 or 甲).
std::optional<std::u16string> NormaliseBlockNumber(std::u16string_view text);

}  // namespace mok::db
