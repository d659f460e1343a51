// Block/lot coordinate lookup: from prefecture, city and town to the POSITION row, then to one
// row of that row's block table, whose codes and coordinates go into the result.
//
// The block row is the one with the asked number (exact match) or the one whose number is nearest
// to it. Example: rows 3 and 8 stored, 5 asked, nearest match -> row 3 (difference 2), and the
// address's block number becomes ３. Rows without a usable number (Null, as the data tool stores
// for a town without block data, or not a plain number) come after every numbered row, so they are
// taken only when the town has nothing better.
#include <optional>
#include <string>

#include "db/address_database.h"
#include "db/connection.h"
#include "text/text.h"

namespace mok::db {

namespace {

// The asked block number as an integer when it is a plain decimal number that fits.
std::optional<int64_t> PlainNumber(const std::u16string& narrow) {
  if (narrow.empty() || narrow.size() > 18)
    return std::nullopt;
  int64_t value = 0;
  for (char16_t c : narrow) {
    if (c < u'0' || c > u'9')
      return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return value;
}

const char kBlockColumns[] =
    "select fld街区・番地, fld座標系番号, fldＸ座標, fldＹ座標, fld緯度, fld経度 from ";

}  // namespace

bool AddressDatabase::LookupBlockCoordinates(const std::u16string& prefecture,
                                             const std::u16string& city, const std::u16string& oaza,
                                             std::u16string& blockLot,
                                             engine::AddressResult& result) {
  const std::u16string path = LookupRegionPath(prefecture);
  ReadScope* readScope = nullptr;
  auto fail = [&](const DbError& error) {
    // The message waits for the user: no lock may be held meanwhile.
    if (readScope != nullptr)
      readScope->End();
    ReportError(error, path);
    return false;
  };

  DbError error;
  Connection* db = LookupRegionConnection(path, error);
  if (db == nullptr)
    return fail(error);
  // The POSITION row, the table check and the block row are read under one lock.
  ReadScope scope(*db);
  readScope = &scope;

  std::u16string tableName;
  int64_t positionId = 0;
  {
    auto st = db->Prepare(
        "select fldTableName, fldID, fld市区町村コード from POSITION"
        " where fld都道府県名 = ? and fld市区町村名 = ? and fld大字・町丁目 = ?");
    if (!st)
      return fail(st.error());
    Statement& position = **st;
    ScopedReset reset(&position);
    position.BindText(1, prefecture).BindText(2, city).BindText(3, oaza);
    auto row = position.Step();
    if (!row)
      return fail(row.error());
    if (!*row) {
      result.CityCode.clear();
      result.CoordSystemNo.clear();
      result.CoordX.clear();
      result.CoordY.clear();
      result.Latitude.clear();
      result.Longitude.clear();
      return false;
    }
    const char16_t* nullColumn = position.IsNull(0)   ? u"fldTableName"
                                 : position.IsNull(1) ? u"fldID"
                                 : position.IsNull(2) ? u"fld市区町村コード"
                                                      : nullptr;
    tableName = position.Text(0);
    positionId = position.Int(1);
    const std::u16string cityCode = position.Text(2);
    // A statement left on a row keeps the file locked, also while the message waits.
    position.Reset();
    if (nullColumn != nullptr) {
      return fail(
          MakeError(std::u16string(u"Invalid use of Null (POSITION.") + nullColumn + u")", 94));
    }
    result.CityCode = cityCode;
  }

  // The table name comes from the data: it must name an existing table and goes into the SQL
  // only as a quoted identifier.
  bool known = false;
  for (const auto& t : checkedBlockTables_) {
    if (t == tableName) {
      known = true;
      break;
    }
  }
  if (!known) {
    auto exists = db->TableExists(tableName);
    if (!exists)
      return fail(exists.error());
    if (!*exists)
      return fail(MakeError(u"no such table: " + tableName, 1));
    checkedBlockTables_.push_back(tableName);
  }

  std::string sql = kBlockColumns + QuoteIdentifier(tableName) + " where fldPositionID = ?1";
  const std::u16string asked = text::ToNarrow(blockLot);
  std::optional<int64_t> number;
  if (!blockLot.empty()) {
    number = PlainNumber(asked);
    if (settings_.completeMatch || !number) {
      // A number that is not plain decimal has no distance to the stored ones; it can only
      // match exactly.
      sql += " and fld街区・番地 = ?2 order by rowid";
    } else {
      sql +=
          " order by case when fld街区・番地 <> '' and fld街区・番地 not glob '*[^0-9]*'"
          " then 0 else 1 end, abs(cast(fld街区・番地 as integer) - ?2), rowid";
    }
  } else {
    sql += " order by rowid";
  }

  auto st = db->Prepare(sql);
  if (!st)
    return fail(st.error());
  Statement& block = **st;
  ScopedReset reset(&block);
  block.BindInt(1, positionId);
  if (!blockLot.empty()) {
    if (settings_.completeMatch || !number) {
      block.BindText(2, asked);
    } else {
      block.BindInt(2, *number);
    }
  }
  auto row = block.Step();
  if (!row)
    return fail(row.error());
  if (!*row)
    return false;

  blockLot = block.IsNull(0) ? std::u16string() : text::ToWide(block.Text(0));
  result.CoordSystemNo = block.Text(1);
  result.CoordX = block.Text(2);
  result.CoordY = block.Text(3);
  result.Latitude = block.Text(4);
  result.Longitude = block.Text(5);
  return true;
}

}  // namespace mok::db
