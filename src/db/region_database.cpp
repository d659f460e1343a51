#include "db/region_database.h"

#include <sqlite3.h>

#include <utility>

namespace mok::db {

DbResult<std::unique_ptr<RegionDatabase>> RegionDatabase::Open(const std::u16string& path) {
  auto db = Connection::Open(path, /*readOnly=*/true);
  if (!db)
    return InFile(db.error(), path);
  // The registry tables of one municipality fill several MiB (文京区's residences about 2.5);
  // the engine's default page cache of 2 MiB would read the same pages again within one run.
  if (auto sized = db->Execute("pragma cache_size = -16384"); !sized)
    return InFile(sized.error(), path);
  return std::unique_ptr<RegionDatabase>(new RegionDatabase(std::move(*db)));
}

bool RegionDatabase::Replaced() const {
  int moved = 0;
  return sqlite3_file_control(db_.handle(), "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK ||
         moved != 0;
}

void RegionDatabase::ForgetTables() {
  residencePoints_.Close();
  registryTables_.reset();
  blockStatements_.clear();
  residenceByKey_ = nullptr;
}

void RegionDatabase::HoldReads(bool hold) {
  hold_ = hold;
  if (!hold)
    ReleaseReads();
}

void RegionDatabase::ReleaseReads() {
  residencePoints_.Close();  // its statement would keep the transaction
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
  auto registry = HasRegistryTables();
  if (!registry)
    return registry.error();
  auto rows = cache_.Rows(db_, index, *registry);
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
  auto registry = HasRegistryTables();
  if (!registry)
    return registry.error();
  const std::string select = "select fldTableName, fldID, fld市区町村コード, " +
                             std::string(*registry ? kRegistryRowsPresent : "0, 0") +
                             " from POSITION p where fld都道府県名 = ? and fld市区町村名 = ?"
                             " and fld大字・町丁目 = ?";
  auto st = db_.Prepare(select);
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
      engine::TownPosition{position.Text(0), position.Int(1), position.Text(2),
                           position.Int(3) != 0, position.Int(4) != 0});
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
