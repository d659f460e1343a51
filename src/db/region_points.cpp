// The lookups below the town of a region database: residences and parcels of the registry tables,
// and one block row of a town's block table by its exact or its nearest number. Each is one
// search of an index that holds the town's id and the numbers; none reads the other rows of the
// town.
#include <utility>

#include "db/region_database.h"
#include "db/registry_number.h"
#include "db/schema.h"

namespace mok::db {
namespace {

constexpr char kPointColumns[] = "fld座標系番号, fldＸ座標, fldＹ座標, fld緯度, fld経度";

StoredPoint ReadPoint(const Statement& st, int first) {
  return {st.Text(first), st.Text(first + 1), st.Text(first + 2), st.Text(first + 3),
          st.Text(first + 4)};
}

}  // namespace

DbResult<bool> RegionDatabase::HasRegistryTables() {
  if (!registryTables_) {
    auto residences = db_.TableExists(kResidenceTable);
    auto parcels = db_.TableExists(kParcelTable);
    auto blocks = db_.TableExists(kRegistryBlockTable);
    for (const auto* exists : {&residences, &parcels, &blocks}) {
      if (!*exists)
        return InFile(exists->error(), path());
    }
    registryTables_ = *residences && *parcels && *blocks;
  }
  return *registryTables_;
}

// Runs `sql` (the town's id as ?1, the numbers as ?2...) and reads the point of its first row.
DbResult<std::optional<StoredPoint>> RegionDatabase::FindPoint(
    const std::string& sql, std::initializer_list<std::u16string_view> numbers,
    int64_t positionId) {
  auto fail = [&](const DbError& error) { return InFile(error, path()); };
  auto has = HasRegistryTables();
  if (!has)
    return has.error();
  if (!*has)
    return std::optional<StoredPoint>();
  auto st = db_.Prepare(sql);
  if (!st)
    return fail(st.error());
  Statement& query = **st;
  ScopedReset reset(&query);
  query.BindInt(1, positionId);
  int index = 2;
  for (std::u16string_view number : numbers)
    query.BindText(index++, NormaliseRegistryNumber(number));
  auto row = query.Step();
  if (!row)
    return fail(row.error());
  if (!*row)
    return std::optional<StoredPoint>();
  return std::optional<StoredPoint>(ReadPoint(query, 0));
}

DbResult<std::optional<StoredPoint>> RegionDatabase::FindResidence(
    const engine::TownPosition& town, std::u16string_view block, std::u16string_view residence,
    std::optional<std::u16string_view> residence2) {
  const std::string select = std::string("select ") + kPointColumns +
                             " from 住居 where fldPositionID = ?1 and fld街区符号 = ?2"
                             " and fld住居番号 = ?3";
  if (residence2)
    return FindPoint(select + " and fld住居番号2 = ?4 limit 1", {block, residence, *residence2},
                     town.id);
  return FindPoint(select + " order by fld住居番号2 limit 1", {block, residence}, town.id);
}

DbResult<std::optional<StoredPoint>> RegionDatabase::FindParcel(
    const engine::TownPosition& town, std::u16string_view main,
    std::optional<std::u16string_view> branch, std::optional<std::u16string_view> branch2) {
  const std::string select = std::string("select ") + kPointColumns +
                             " from 地番 where fldPositionID = ?1 and fld本番 = ?2";
  if (!branch)
    return FindPoint(select + " order by fld枝番, fld枝番2 limit 1", {main}, town.id);
  if (!branch2)
    return FindPoint(select + " and fld枝番 = ?3 order by fld枝番2 limit 1", {main, *branch},
                     town.id);
  return FindPoint(select + " and fld枝番 = ?3 and fld枝番2 = ?4 limit 1",
                   {main, *branch, *branch2}, town.id);
}

// The block row `rowid` of the town's table, with whether the registry import derived its point.
DbResult<std::optional<BlockPoint>> RegionDatabase::ReadBlockRow(const engine::TownPosition& town,
                                                                 int64_t rowid) {
  auto fail = [&](const DbError& error) { return InFile(error, path()); };
  auto has = HasRegistryTables();
  if (!has)
    return has.error();
  const std::string derived =
      *has ? "(select d.fld導出 from 住居表示街区 d where d.fldPositionID = b.fldPositionID"
             " and d.fld街区・番地 = b.fld街区・番地)"
           : "0";
  auto st = db_.Prepare(
      "select b.fld街区・番地, b.fld座標系番号, b.fldＸ座標, b.fldＹ座標, "
      "b.fld緯度, b.fld経度, " +
      derived + " from " + QuoteIdentifier(town.blockTable) + " b where b.rowid = ?");
  if (!st)
    return fail(st.error());
  Statement& row = **st;
  ScopedReset reset(&row);
  row.BindInt(1, rowid);
  auto found = row.Step();
  if (!found)
    return fail(found.error());
  if (!*found)
    return std::optional<BlockPoint>();
  return std::optional<BlockPoint>(
      BlockPoint{row.IsNull(0) ? std::nullopt : std::optional(row.Text(0)), ReadPoint(row, 1),
                 row.Int(6) == 1});
}

DbResult<std::optional<BlockPoint>> RegionDatabase::ChooseBlockRow(
    const engine::TownPosition& town, const char* clause,
    const std::function<void(Statement&)>& bind) {
  auto fail = [&](const DbError& error) { return InFile(error, path()); };
  // The table check, the choice and the row are read under one lock.
  ReadScope scope(db_);
  if (auto s = CheckBlockTable(town.blockTable); !s)
    return fail(s.error());
  auto st = db_.Prepare("select rowid from " + QuoteIdentifier(town.blockTable) +
                        " where fldPositionID = ?1 and " + clause + " limit 1");
  if (!st)
    return fail(st.error());
  Statement& choice = **st;
  ScopedReset reset(&choice);
  choice.BindInt(1, town.id);
  bind(choice);
  auto row = choice.Step();
  if (!row)
    return fail(row.error());
  if (!*row)
    return std::optional<BlockPoint>();
  const int64_t rowid = choice.Int(0);
  choice.Reset();
  return ReadBlockRow(town, rowid);
}

DbResult<std::optional<BlockPoint>> RegionDatabase::FindBlock(const engine::TownPosition& town,
                                                              std::u16string_view number) {
  return ChooseBlockRow(town, "fld街区・番地 = ?2 order by rowid",
                        [&](Statement& st) { st.BindText(2, NormaliseRegistryNumber(number)); });
}

DbResult<std::optional<BlockPoint>> RegionDatabase::FindNearestBlock(
    const engine::TownPosition& town, int64_t number) {
  // Plain numbers (digits only) first, then Null before other text; the distance as SQLite
  // reads a text as an integer; then table order. Every term reads the index alone.
  return ChooseBlockRow(town,
                        "1 order by (fld街区・番地 is not null and fld街区・番地 <> ''"
                        " and fld街区・番地 not glob '*[^0-9]*')"
                        " desc, fld街区・番地 is null desc,"
                        " abs(cast(fld街区・番地 as integer) - ?2), rowid",
                        [&](Statement& st) { st.BindInt(2, number); });
}

}  // namespace mok::db
