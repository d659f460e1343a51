#include "db/region_database.h"

#include <utility>

namespace mok::db {

DbResult<std::unique_ptr<RegionDatabase>> RegionDatabase::Open(const std::u16string& path) {
  auto db = Connection::Open(path, /*readOnly=*/true);
  if (!db)
    return InFile(db.error(), path);
  return std::unique_ptr<RegionDatabase>(new RegionDatabase(std::move(*db)));
}

void RegionDatabase::HoldReads(bool hold) {
  hold_ = hold;
  if (!hold)
    ReleaseReads();
}

void RegionDatabase::ReleaseReads() {
  held_.reset();
  cache_.EndSnapshot();
}

void RegionDatabase::BeginAddress() {
  cache_.StartAddress();
  if (!hold_)
    return;
  const auto now = std::chrono::steady_clock::now();
  if (held_ && now - heldSince_ > std::chrono::seconds(1))
    ReleaseReads();
  if (!held_) {
    held_.emplace(db_);
    heldSince_ = now;
    cache_.StartSnapshot();
  }
}

DbResult<const std::vector<std::u16string>*> RegionDatabase::Municipalities() {
  if (auto s = cache_.Refresh(db_); !s)
    return InFile(s.error(), path());
  return &cache_.Cities();
}

DbResult<std::vector<std::size_t>> RegionDatabase::FindMunicipalities(std::u16string_view name,
                                                                      bool endsWith) {
  if (auto s = cache_.Refresh(db_); !s)
    return InFile(s.error(), path());
  return cache_.Find(name, endsWith);
}

DbResult<const std::vector<engine::TownRow>*> RegionDatabase::TownRows(std::size_t index) {
  auto rows = cache_.Rows(db_, index);
  if (!rows)
    return InFile(rows.error(), path());
  return *rows;
}

DbResult<std::vector<engine::TownRow>> RegionDatabase::FindTownsBeginning(
    std::u16string_view start) {
  auto fail = [&](const DbError& error) { return InFile(error, path()); };
  // Two ranges of the town name index: from the text to the text followed by the last
  // character there is.
  auto st = db_.Prepare(
      "select fld都道府県名, fld市区町村名, fld大字・町丁目 from POSITION"
      " where (fld大字・町丁目 >= ?1 and fld大字・町丁目 < ?2)"
      " or (fld大字・町丁目 >= ?3 and fld大字・町丁目 < ?4) order by rowid");
  if (!st)
    return fail(st.error());
  Statement& towns = **st;
  ScopedReset reset(&towns);
  const std::u16string plain(start);
  const std::u16string oaza = u"大字" + plain;
  constexpr std::u16string_view kLast = u"\U0010FFFF";
  towns.BindText(1, plain).BindText(2, plain + std::u16string(kLast));
  towns.BindText(3, oaza).BindText(4, oaza + std::u16string(kLast));
  std::vector<engine::TownRow> rows;
  while (true) {
    auto row = towns.Step();
    if (!row)
      return fail(row.error());
    if (!*row)
      return rows;
    rows.push_back({towns.Text(0), towns.Text(1), towns.Text(2)});
  }
}

DbResult<std::optional<engine::TownPosition>> RegionDatabase::FindTownPosition(
    const std::u16string& prefecture, const std::u16string& city, const std::u16string& town) {
  // The rows the city step read answer most towns without a query.
  if (auto cached = cache_.FindPosition(prefecture, city, town))
    return cached;
  auto fail = [&](const DbError& error) { return InFile(error, path()); };
  auto st = db_.Prepare(
      "select fldTableName, fldID, fld市区町村コード from POSITION"
      " where fld都道府県名 = ? and fld市区町村名 = ? and fld大字・町丁目 = ?");
  if (!st)
    return fail(st.error());
  Statement& position = **st;
  ScopedReset reset(&position);
  position.BindText(1, prefecture).BindText(2, city).BindText(3, town);
  auto row = position.Step();
  if (!row)
    return fail(row.error());
  if (!*row)
    return std::optional<engine::TownPosition>();
  static constexpr const char16_t* kColumns[] = {u"fldTableName", u"fldID", u"fld市区町村コード"};
  for (int i = 0; i < 3; ++i) {
    if (position.IsNull(i))
      return fail(NullValueError(u"POSITION", kColumns[i]));
  }
  return std::optional<engine::TownPosition>(
      engine::TownPosition{position.Text(0), position.Int(1), position.Text(2)});
}

DbStatus RegionDatabase::CheckBlockTable(const std::u16string& name) {
  for (const auto& t : checkedBlockTables_) {
    if (t == name)
      return {};
  }
  auto exists = db_.TableExists(name);
  if (!exists)
    return exists.error();
  if (!*exists)
    return MakeError(u"no such table: " + name, 1);
  checkedBlockTables_.push_back(name);
  return {};
}

DbResult<std::vector<engine::BlockRow>> RegionDatabase::BlockRows(
    const engine::TownPosition& town, const std::optional<std::u16string>& exact) {
  auto fail = [&](const DbError& error) { return InFile(error, path()); };
  // The table check and the rows are read under one lock.
  ReadScope scope(db_);
  // The table name comes from the data: it must name an existing table and goes into the SQL
  // only as a quoted identifier.
  if (auto s = CheckBlockTable(town.blockTable); !s)
    return fail(s.error());
  std::string sql =
      "select fld街区・番地, fld座標系番号, fldＸ座標, fldＹ座標, fld緯度, fld経度 from " +
      QuoteIdentifier(town.blockTable) + " where fldPositionID = ?1";
  sql += exact ? " and fld街区・番地 = ?2 order by rowid" : " order by rowid";
  auto st = db_.Prepare(sql);
  if (!st)
    return fail(st.error());
  Statement& block = **st;
  ScopedReset reset(&block);
  block.BindInt(1, town.id);
  if (exact)
    block.BindText(2, *exact);
  std::vector<engine::BlockRow> rows;
  while (true) {
    auto row = block.Step();
    if (!row)
      return fail(row.error());
    if (!*row)
      break;
    rows.push_back({block.IsNull(0) ? std::nullopt : std::optional(block.Text(0)), block.Text(1),
                    block.Text(2), block.Text(3), block.Text(4), block.Text(5)});
  }
  return rows;
}

DbResult<std::optional<engine::PostalNames>> RegionDatabase::FindPostalNames(
    const std::u16string& cityKana, const std::u16string& placeKana) {
  auto fail = [&](const DbError& error) { return InFile(error, path()); };
  // substr/length count characters on both sides, so the prefix is compared character for
  // character; the comparison ignores ASCII letter case as the columns do.
  auto st = placeKana.empty()
                ? db_.Prepare(
                      "select fld郵便番号, fld市区町村, fld地名 from POST"
                      " where (fldシクチョウソン || fldチメイ) = ?1 collate nocase order by rowid")
                : db_.Prepare(
                      "select fld郵便番号, fld市区町村, fld地名 from POST"
                      " where substr(fldシクチョウソン, 1, length(?1)) = ?1 collate nocase"
                      " and substr(fldチメイ, 1, length(?2)) = ?2 collate nocase order by rowid");
  if (!st)
    return fail(st.error());
  Statement& post = **st;
  ScopedReset reset(&post);
  post.BindText(1, cityKana);
  if (!placeKana.empty())
    post.BindText(2, placeKana);
  auto row = post.Step();
  if (!row)
    return fail(row.error());
  if (!*row)
    return std::optional<engine::PostalNames>();
  return std::optional<engine::PostalNames>(
      engine::PostalNames{post.Text(0), post.Text(1), post.Text(2)});
}

}  // namespace mok::db
