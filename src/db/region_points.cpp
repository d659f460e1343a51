// The lookups below the town of a region database: residences and parcels of the registry tables,
// and one block row of a town's block table by its exact or its nearest number. Each is one
// search of an index that holds the town's id and the numbers; none reads the other rows of the
// town.
#include <sqlite3.h>

#include <utility>

#include "db/packed_point.h"
#include "db/region_database.h"
#include "db/registry_number.h"
#include "db/residence_key.h"
#include "db/schema.h"
#include "text/text.h"

namespace mok::db {
namespace {

constexpr char kPointColumns[] = "fld座標系番号, fldＸ座標, fldＹ座標, fld緯度, fld経度";

StoredPoint ReadPoint(const Statement& st, int first) {
  return {st.Text(first), st.Text(first + 1), st.Text(first + 2), st.Text(first + 3),
          st.Text(first + 4)};
}

// The nearest-block choice over (rowid, number) pairs read from the block table's index: rows
// with a plain number (digits only) first, then a Null one, then other text; among them the
// smallest difference of the number read as SQLite reads a text as an integer; then the earlier
// row. The numbers are read as the engine stores them (UTF-8), never converted to text objects.
class NearestNumber {
 public:
  explicit NearestNumber(int64_t asked) : asked_(asked) {}
  void Consider(sqlite3_stmt* row) {
    const int64_t rowid = sqlite3_column_int64(row, 0);
    Key key{2, 0, rowid};
    if (sqlite3_column_type(row, 1) == SQLITE_NULL) {
      key.rank = 1;
    } else {
      const int64_t value = sqlite3_column_int64(row, 1);
      const auto* text = sqlite3_column_text(row, 1);
      const int bytes = sqlite3_column_bytes(row, 1);
      bool plain = bytes > 0;
      for (int i = 0; i < bytes && plain; ++i)
        plain = text[i] >= '0' && text[i] <= '9';
      key.rank = plain ? 0 : 2;
      key.distance = value > asked_ ? static_cast<uint64_t>(value) - static_cast<uint64_t>(asked_)
                                    : static_cast<uint64_t>(asked_) - static_cast<uint64_t>(value);
    }
    if (!found_ || key < best_) {
      best_ = key;
      found_ = true;
    }
    ++count_;
  }
  // The town's only row is its representative row (Null number): a town without block numbers.
  bool OnlyRepresentativeRow() const { return count_ == 1 && best_.rank == 1; }
  std::optional<int64_t> Chosen() const {
    return found_ ? std::optional<int64_t>(best_.rowid) : std::nullopt;
  }

 private:
  struct Key {
    int rank = 0;
    uint64_t distance = 0;
    int64_t rowid = 0;
    auto operator<=>(const Key&) const = default;
  };
  int64_t asked_;
  Key best_;
  bool found_ = false;
  int64_t count_ = 0;
};

}  // namespace

DbResult<bool> RegionDatabase::HasRegistryTables() {
  if (!registryTables_) {
    auto residences = db_.TableExists(kResidenceTable);
    auto parcels = db_.TableExists(kParcelTable);
    auto blocks = db_.TableExists(kRegistryBlockTable);
    auto points = db_.TableExists(kResidencePointTable);
    for (const auto* exists : {&residences, &parcels, &blocks, &points}) {
      if (!*exists)
        return InFile(exists->error(), path());
    }
    registryTables_ = *residences && *parcels && *blocks;
    packedResidencePoints_ = *points;
  }
  return *registryTables_;
}

DbResult<Statement*> RegionDatabase::BindNumbers(const std::string& sql,
                                                 std::initializer_list<std::u16string_view> numbers,
                                                 int64_t positionId) {
  auto st = db_.Prepare(sql);
  if (!st)
    return InFile(st.error(), path());
  Statement& query = **st;
  query.BindInt(1, positionId);
  int index = 2;
  for (std::u16string_view number : numbers)
    query.BindText(index++, NormaliseRegistryNumber(number));
  return &query;
}

// Runs `sql` (see BindNumbers) and reads the point of its first row.
DbResult<std::optional<StoredPoint>> RegionDatabase::FindPoint(
    const std::string& sql, std::initializer_list<std::u16string_view> numbers,
    int64_t positionId) {
  auto has = HasRegistryTables();
  if (!has)
    return has.error();
  if (!*has)
    return std::optional<StoredPoint>();
  auto st = BindNumbers(sql, numbers, positionId);
  if (!st)
    return st.error();
  ScopedReset reset(*st);
  auto row = (*st)->Step();
  if (!row)
    return InFile(row.error(), path());
  if (!*row)
    return std::optional<StoredPoint>();
  return std::optional<StoredPoint>(ReadPoint(**st, 0));
}

// The point of the residence row `key` (residence_key.h; a row's rowid), from 住居位置 or, in a
// file made before that table, from the columns of 住居.
DbResult<std::optional<StoredPoint>> RegionDatabase::ReadResidencePoint(int64_t key) {
  auto unpack = [&](std::string_view packed) -> DbResult<std::optional<StoredPoint>> {
    if (auto point = UnpackPoint(packed))
      return std::optional<StoredPoint>(std::move(*point));
    // Not the five values the import writes: refused as the type mismatch it is.
    return InFile(MakeError(u"Type mismatch (住居位置.fld位置, fldKey " +
                                text::FromUtf8(std::to_string(key)) + u")",
                            13),
                  path());
  };
  if (packedResidencePoints_ && held_) {
    const BlobReader::Value read = residencePoints_.Read(key);
    if (read.status == BlobReader::Status::Absent)
      return std::optional<StoredPoint>();
    if (read.status == BlobReader::Status::Found)
      return unpack(read.value);
  }
  if (residenceByKey_ == nullptr) {
    auto st = db_.Prepare(packedResidencePoints_
                              ? std::string("select fld位置 from 住居位置 where fldKey = ?1")
                              : std::string("select ") + kPackPointColumnsSql +
                                    " from 住居 where rowid = ?1");
    if (!st)
      return InFile(st.error(), path());
    residenceByKey_ = *st;
  }
  Statement& query = *residenceByKey_;
  ScopedReset reset(&query);
  auto row = query.BindInt(1, key).Step();
  if (!row)
    return InFile(row.error(), path());
  if (!*row)
    return std::optional<StoredPoint>();
  const auto* text = sqlite3_column_text(query.handle(), 0);
  return unpack(text == nullptr ? std::string_view()
                                : std::string_view(reinterpret_cast<const char*>(text),
                                                   sqlite3_column_bytes(query.handle(), 0)));
}

DbResult<std::optional<StoredPoint>> RegionDatabase::FindResidence(
    const engine::TownPosition& town, std::u16string_view block, std::u16string_view residence,
    std::optional<std::u16string_view> residence2) {
  auto has = HasRegistryTables();
  if (!has)
    return has.error();
  if (!*has)
    return std::optional<StoredPoint>();
  // Most residences are stored under their key; one that is not (a residence known only with
  // 住居番号2, numbers that make no key) is found by the numbers' index, then by its rowid.
  if (!residence2) {
    if (const auto key = ResidenceKey(town.id, block, residence)) {
      auto found = ReadResidencePoint(*key);
      if (!found || *found)
        return found;
    }
  }
  static const std::string select =
      "select rowid from 住居 where fldPositionID = ?1 and fld街区符号 = ?2 and fld住居番号 = ?3";
  static const std::string withSecond = select + " and fld住居番号2 = ?4 limit 1";
  static const std::string anySecond = select + " order by fld住居番号2 limit 1";
  auto st = residence2 ? BindNumbers(withSecond, {block, residence, *residence2}, town.id)
                       : BindNumbers(anySecond, {block, residence}, town.id);
  if (!st)
    return st.error();
  std::optional<int64_t> rowid;
  {
    ScopedReset reset(*st);
    auto row = (*st)->Step();
    if (!row)
      return InFile(row.error(), path());
    if (*row)
      rowid = (*st)->Int(0);
  }
  if (!rowid)
    return std::optional<StoredPoint>();
  return ReadResidencePoint(*rowid);
}

DbResult<std::optional<StoredPoint>> RegionDatabase::FindParcel(
    const engine::TownPosition& town, std::u16string_view main,
    std::optional<std::u16string_view> branch, std::optional<std::u16string_view> branch2) {
  static const std::string select = std::string("select ") + kPointColumns +
                                    " from 地番 where fldPositionID = ?1 and fld本番 = ?2";
  static const std::string mainOnly = select + " order by fld枝番, fld枝番2 limit 1";
  static const std::string withBranch = select + " and fld枝番 = ?3 order by fld枝番2 limit 1";
  static const std::string withBoth = select + " and fld枝番 = ?3 and fld枝番2 = ?4 limit 1";
  if (!branch)
    return FindPoint(mainOnly, {main}, town.id);
  if (!branch2)
    return FindPoint(withBranch, {main, *branch}, town.id);
  return FindPoint(withBoth, {main, *branch, *branch2}, town.id);
}

DbResult<const RegionDatabase::BlockStatements*> RegionDatabase::BlockStatementsOf(
    const std::u16string& table) {
  if (auto it = blockStatements_.find(table); it != blockStatements_.end())
    return &it->second;
  // The table name comes from the data: it must name an existing table and goes into the SQL
  // only as a quoted identifier.
  auto exists = db_.TableExists(table);
  if (!exists)
    return InFile(exists.error(), path());
  if (!*exists)
    return InFile(MakeError(u"no such table: " + table, 1), path());
  auto has = HasRegistryTables();
  if (!has)
    return has.error();
  const std::string name = QuoteIdentifier(table);
  const std::string derived =
      *has ? "(select d.fld導出 from 住居表示街区 d where d.fldPositionID = b.fldPositionID"
             " and d.fld街区・番地 = b.fld街区・番地)"
           : "0";
  const std::string row =
      "select b.fld街区・番地, b.fld座標系番号, b.fldＸ座標, b.fldＹ座標, b.fld緯度, b.fld経度, " +
      derived + " from " + name + " b where ";
  BlockStatements statements;
  const std::pair<Statement**, std::string> sql[] = {
      {&statements.byNumber,
       row + "b.fldPositionID = ?1 and b.fld街区・番地 = ?2 order by b.rowid limit 1"},
      // The smallest rowid of the town's entries in the index, then that row.
      {&statements.first,
       row + "b.rowid = (select min(rowid) from " + name + " where fldPositionID = ?1)"},
      {&statements.numbers,
       "select rowid, fld街区・番地 from " + name + " where fldPositionID = ?1"},
      {&statements.byRowid, row + "b.rowid = ?1"},
  };
  for (const auto& [statement, text] : sql) {
    auto st = db_.Prepare(text);
    if (!st)
      return InFile(st.error(), path());
    *statement = *st;
  }
  return &blockStatements_.emplace(table, statements).first->second;
}

// The first row of `row` (bound), with whether the registry import derived its point.
DbResult<std::optional<BlockPoint>> RegionDatabase::ReadBlockRow(Statement& row) {
  ScopedReset reset(&row);
  auto found = row.Step();
  if (!found)
    return InFile(found.error(), path());
  if (!*found)
    return std::optional<BlockPoint>();
  return std::optional<BlockPoint>(
      BlockPoint{row.IsNull(0) ? std::nullopt : std::optional(row.Text(0)), ReadPoint(row, 1),
                 row.Int(6) == 1});
}

DbResult<std::optional<BlockPoint>> RegionDatabase::FindBlock(
    const engine::TownPosition& town, std::optional<std::u16string_view> number) {
  ReadScope scope(db_);
  auto statements = BlockStatementsOf(town.blockTable);
  if (!statements)
    return statements.error();
  if (!number)
    return ReadBlockRow((*statements)->first->BindInt(1, town.id));
  return ReadBlockRow(
      (*statements)->byNumber->BindInt(1, town.id).BindText(2, NormaliseRegistryNumber(*number)));
}

DbResult<std::optional<BlockPoint>> RegionDatabase::FindNearestBlock(
    const engine::TownPosition& town, int64_t number) {
  // A town without block numbers answers every number with its one row: read once.
  if (representativeGeneration_ != cache_.Generation()) {
    representativeRows_.clear();
    representativeGeneration_ = cache_.Generation();
  }
  if (auto it = representativeRows_.find(town.id); it != representativeRows_.end())
    return std::optional<BlockPoint>(it->second);
  // The table check, the numbers and the chosen row under one lock.
  ReadScope scope(db_);
  auto statements = BlockStatementsOf(town.blockTable);
  if (!statements)
    return statements.error();
  Statement& numbers = *(*statements)->numbers;
  ScopedReset reset(&numbers);
  numbers.BindInt(1, town.id);
  NearestNumber nearest(number);
  while (true) {
    auto row = numbers.Step();
    if (!row)
      return InFile(row.error(), path());
    if (!*row)
      break;
    nearest.Consider(numbers.handle());
  }
  numbers.Reset();
  const std::optional<int64_t> chosen = nearest.Chosen();
  if (!chosen)
    return std::optional<BlockPoint>();
  auto found = ReadBlockRow((*statements)->byRowid->BindInt(1, *chosen));
  if (found && *found && nearest.OnlyRepresentativeRow()) {
    if (representativeRows_.size() >= kMaxRepresentativeRows)
      representativeRows_.clear();
    representativeRows_.emplace(town.id, **found);
  }
  return found;
}

}  // namespace mok::db
