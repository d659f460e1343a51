// The tables of the address databases as the data tool creates them and the lookups expect them:
// the main database (prefecture names, region list, learning dictionary) and a region database
// (positions, one block table per municipality, postal codes, and the points below the town that
// the Address Base Registry gives: residences, parcels, and which block rows it wrote). Column
// names are those the lookups query; text columns compare without regard to ASCII letter case, as
// equality in the queries must.
#pragma once

#include <string>
#include <string_view>

#include "db/connection.h"

namespace mok::db {

// Table names.
inline constexpr char16_t kPrefectureTable[] = u"都道府県名";
inline constexpr char16_t kRegionListTable[] = u"ＤＢ一覧";
inline constexpr char16_t kLearningTable[] = u"学習";
inline constexpr char16_t kPositionTable[] = u"POSITION";
inline constexpr char16_t kPostTable[] = u"POST";
// Residences (住居表示): per town (fldPositionID) the 街区符号, 住居番号 and, where the registry
// has one, 住居番号2; the point of each in 住居位置 under the residence's rowid.
inline constexpr char16_t kResidenceTable[] = u"住居";
inline constexpr char16_t kResidencePointTable[] = u"住居位置";
// Parcels (地番): per town the 本番 (the registry's prc_num1), 枝番 (prc_num2) and 枝番2 (prc_num3,
// the sub-number of a few parcels: 1663-54-1), with the parcel's point.
inline constexpr char16_t kParcelTable[] = u"地番";
// The block rows the registry import wrote into the block tables (fldPositionID, fld街区・番地),
// with fld導出 = 1 where the point is the centre of the block's residences rather than a block
// point of the registry's own. The block tables keep exactly their columns.
inline constexpr char16_t kRegistryBlockTable[] = u"住居表示街区";

// 都道府県名, ＤＢ一覧 and 学習 (each only when missing).
DbStatus CreateMainSchema(Connection& db);
// POSITION, POST and the registry tables 住居, 住居位置, 地番 and 住居表示街区 (each only when
// missing); the residence points of a file made before 住居位置 are moved there.
DbStatus CreateRegionSchema(Connection& db);
// One block table named `name` (only when missing); the name may hold any character.
DbStatus CreateBlockTable(Connection& db, std::u16string_view name);
// The index of a block table on (fldPositionID, fld街区・番地): the rows of a town, one block of a
// town, and the numbers of a town's blocks read from the index alone. Replaces the older index on
// fldPositionID alone.
DbStatus CreateBlockIndex(Connection& db, std::u16string_view name);
// The indexes the lookups rely on for speed, for whichever of the tables above this database
// holds, including every block table named in POSITION.fldTableName. Safe to run again.
DbStatus CreateLookupIndexes(Connection& db);

}  // namespace mok::db
