#include "db/import/position_writer.h"

#include "db/import/import_support.h"
#include "db/schema.h"

namespace mok::db {
namespace {

void BindOrNull(Statement& st, int index, const std::u16string& value) {
  if (value.empty()) {
    st.BindNull(index);
  } else {
    st.BindText(index, value);
  }
}

}  // namespace

std::u16string PositionWriter::Key(const std::u16string& a, const std::u16string& b,
                                   const std::u16string& c) {
  return a + u'\x1f' + b + u'\x1f' + c;
}

PositionWriter::PositionWriter(Connection& db) : db_(db) {
  auto registry = db_.TableExists(kRegistryBlockTable);
  registryBlocks_ = Check(registry, kRegistryBlockTable);
  auto compiled = db_.Compile(
      "select fld都道府県名, fld市区町村名, fld大字・町丁目, fldTableName, fldID, "
      "fld市区町村コード from POSITION");
  Statement& st = Check(compiled, u"POSITION");
  while (true) {
    auto row = st.Step();
    if (!Check(row, u"POSITION"))
      break;
    const std::u16string prefecture = st.Text(0);
    const std::u16string city = st.Text(1);
    Town town{st.Int(4), st.Text(3), false};
    const std::u16string cityKey = Key(prefecture, city);
    if (!town.table.empty())
      tables_.emplace(cityKey, town.table);
    if (!st.Text(5).empty())
      codes_.emplace(cityKey, st.Text(5));
    towns_.emplace(Key(prefecture, city, st.Text(2)), town);
    nextId_ = std::max(nextId_, town.id + 1);
  }
}

std::u16string PositionWriter::KnownCode(const std::u16string& prefecture,
                                         const std::u16string& city) const {
  auto it = codes_.find(Key(prefecture, city));
  return it == codes_.end() ? std::u16string() : it->second;
}

std::u16string PositionWriter::TableFor(const std::u16string& prefecture,
                                        const std::u16string& city, const std::u16string& code) {
  const std::u16string cityKey = Key(prefecture, city);
  auto it = tables_.find(cityKey);
  std::u16string table = it != tables_.end() ? it->second : u"BLK" + code;
  if (it == tables_.end())
    tables_.emplace(cityKey, table);
  if (!readyTables_.contains(table)) {
    Check(CreateBlockTable(db_, table), table);
    // The lookup index of the table at once, under the name CreateLookupIndexes gives it: a
    // table's ids only grow, so the index fills by appending, and making it here spares the
    // final index step one schema change per table, which costs a pass over the whole schema
    // (1,895 block tables in the nationwide database).
    Check(CreateBlockIndex(db_, table), table);
    readyTables_.insert(table);
  }
  return table;
}

PositionWriter::Town PositionWriter::FindOrAddTown(const std::u16string& prefecture,
                                                   const std::u16string& city,
                                                   const std::u16string& town,
                                                   const std::u16string& code) {
  municipalities_.insert(Key(prefecture, city));
  const std::u16string key = Key(prefecture, city, town);
  const std::u16string table = TableFor(prefecture, city, code);
  if (auto it = towns_.find(key); it != towns_.end()) {
    if (it->second.table.empty()) {
      auto update = db_.Prepare("update POSITION set fldTableName = ? where fldID = ?");
      Statement& st = *Check(update, u"POSITION");
      st.BindText(1, table).BindInt(2, it->second.id);
      Check(st.Run(), u"POSITION");
      it->second.table = table;
    }
    if (KnownCode(prefecture, city).empty()) {
      auto update = db_.Prepare(
          "update POSITION set fld市区町村コード = ? where fld都道府県名 = ? and fld市区町村名 = ? "
          "and (fld市区町村コード is null or fld市区町村コード = '')");
      Statement& st = *Check(update, u"POSITION");
      st.BindText(1, code).BindText(2, prefecture).BindText(3, city);
      Check(st.Run(), u"POSITION");
      codes_[Key(prefecture, city)] = code;
    }
    return it->second;
  }
  Town added{nextId_++, table, true};
  auto insert = db_.Prepare(
      "insert into POSITION (fld都道府県名, fld市区町村名, fld大字・町丁目, fldTableName, fldID, "
      "fld市区町村コード) values (?, ?, ?, ?, ?, ?)");
  Statement& st = *Check(insert, u"POSITION");
  st.BindText(1, prefecture).BindText(2, city).BindText(3, town).BindText(4, table);
  st.BindInt(5, added.id).BindText(6, code);
  Check(st.Run(), u"POSITION");
  codes_.emplace(Key(prefecture, city), code);
  towns_.emplace(key, added);
  ++townsAdded_;
  return added;
}

bool PositionWriter::HasBlocks(const Town& town) {
  if (town.created)
    return false;
  auto query =
      db_.Prepare("select 1 from " + QuoteIdentifier(town.table) + " where fldPositionID = ?");
  Statement& st = *Check(query, town.table);
  st.BindInt(1, town.id);
  auto row = st.Step();
  const bool found = Check(row, town.table);
  st.Reset();
  return found;
}

int PositionWriter::RemoveRepresentative(const Town& town) {
  auto remove = db_.Prepare("delete from " + QuoteIdentifier(town.table) +
                            " where fldPositionID = ? and fld街区・番地 is null");
  Statement& st = *Check(remove, town.table);
  st.BindInt(1, town.id);
  Check(st.Run(), town.table);
  return db_.Changes();
}

void PositionWriter::AddBlock(const Town& town, const std::optional<std::u16string>& number,
                              const BlockCoordinates& c) {
  InsertBlock(db_, town.table, town.id, number, c);
}

void PositionWriter::InsertBlock(Connection& db, const std::u16string& table, int64_t positionId,
                                 const std::optional<std::u16string>& number,
                                 const BlockCoordinates& c) {
  auto insert = db.Prepare("insert into " + QuoteIdentifier(table) +
                           " (fldPositionID, fld街区・番地, fld座標系番号, fldＸ座標, fldＹ座標, "
                           "fld緯度, fld経度) values (?, ?, ?, ?, ?, ?, ?)");
  Statement& st = *Check(insert, table);
  st.BindInt(1, positionId);
  if (number) {
    st.BindText(2, *number);
  } else {
    st.BindNull(2);
  }
  BindOrNull(st, 3, c.zone);
  BindOrNull(st, 4, c.x);
  BindOrNull(st, 5, c.y);
  BindOrNull(st, 6, c.latitude);
  BindOrNull(st, 7, c.longitude);
  Check(st.Run(), table);
}

bool PositionWriter::UpdateBlock(const Town& town, const std::u16string& number,
                                 const BlockCoordinates& c) {
  if (town.created)
    return false;
  auto update = db_.Prepare("update " + QuoteIdentifier(town.table) +
                            " set fld座標系番号 = ?, fldＸ座標 = ?, fldＹ座標 = ?, fld緯度 = ?, "
                            "fld経度 = ? where fldPositionID = ? and fld街区・番地 = ?");
  Statement& st = *Check(update, town.table);
  BindOrNull(st, 1, c.zone);
  BindOrNull(st, 2, c.x);
  BindOrNull(st, 3, c.y);
  BindOrNull(st, 4, c.latitude);
  BindOrNull(st, 5, c.longitude);
  st.BindInt(6, town.id).BindText(7, number);
  Check(st.Run(), town.table);
  if (db_.Changes() == 0)
    return false;
  if (registryBlocks_) {
    auto unmark =
        db_.Prepare("delete from 住居表示街区 where fldPositionID = ? and fld街区・番地 = ?");
    Statement& marker = *Check(unmark, kRegistryBlockTable);
    marker.BindInt(1, town.id).BindText(2, number);
    Check(marker.Run(), kRegistryBlockTable);
  }
  return true;
}

}  // namespace mok::db
