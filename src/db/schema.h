// The tables of the address databases as the data tool creates them and the lookups expect them:
// the main database (prefecture names, region list, learning dictionary) and a region database
// (positions, one block table per municipality, postal codes). Column names are those the lookups
// query; text columns compare without regard to ASCII letter case, as equality in the queries
// must.
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

// 都道府県名, ＤＢ一覧 and 学習 (each only when missing).
DbStatus CreateMainSchema(Connection& db);
// POSITION and POST (each only when missing).
DbStatus CreateRegionSchema(Connection& db);
// One block table named `name` (only when missing); the name may hold any character.
DbStatus CreateBlockTable(Connection& db, std::u16string_view name);
// The indexes the lookups rely on for speed, for whichever of the tables above this database
// holds, including every block table named in POSITION.fldTableName. Safe to run again.
DbStatus CreateLookupIndexes(Connection& db);

}  // namespace mok::db
