// The server's rows as the dictionary editor and `mok2 db copy-main` handle them: the editor's
// search, a row stored or deleted, and the whole content replaced in one transaction.
#include <string>

#include "db/server_main_database.h"

namespace mok::db {

namespace {

// A LIKE of a column that ignores ASCII letter case as the file engine's LIKE does.
std::string Like(const char* column, const std::string& parameter) {
  return std::string("lower(") + column + " collate \"C\") like lower(" + parameter +
         " collate \"C\") escape '\\'";
}

// The where clause of a search (with " where") and its parameters in the order of their numbers.
std::string SearchClause(const LearningDictSearch& search, std::vector<PgValue>& params) {
  auto parameter = [&params](PgValue value) {
    params.push_back(std::move(value));
    return "$" + std::to_string(params.size());
  };
  std::string pattern;  // the keyword's parameter, added at its first use
  return LearnedSearchClause(
      search, [&] { return parameter(PgInt(*search.regionNo)); },
      [&](const char* column) {
        if (pattern.empty())
          pattern = parameter(PgText(ContainsPattern(search.keyword)));
        return Like(column, pattern);
      });
}

std::vector<PgValue> RowValues(const LearningDictRow& row) {
  return {PgOptionalInt(row.scope), PgOptionalInt(row.kind), PgOptionalText(row.registeredWord),
          PgOptionalText(row.convertedWord), PgOptionalInt(row.referenceCount)};
}

// One array parameter per column, each element taken from a row by `column`.
template <class Row, class... Columns>
std::vector<PgValue> ColumnArrays(const std::vector<Row>& rows, Columns... columns) {
  std::vector<PgValue> arrays;
  auto add = [&rows, &arrays](auto column) {
    std::vector<PgValue> items;
    items.reserve(rows.size());
    for (const Row& row : rows)
      items.push_back(column(row));
    arrays.push_back(PgArray(items));
  };
  (add(columns), ...);
  return arrays;
}

// The rows of `content` inserted, row ids included, each table in one statement; then each
// table's next row id follows its highest.
DbStatus InsertContent(PgConnection& server, const MainContent& content) {
  if (auto s = server.Execute("delete from 学習; delete from ＤＢ一覧; delete from 都道府県名"); !s)
    return s;
  const auto rowId = [](const auto& row) { return PgInt(row.rowId); };
  auto prefectures = server.Query(
      "insert into 都道府県名 (rowid, fldKanjiName, fldKatakanaName, fldPrefType)"
      " select * from unnest($1::bigint[], $2::text[], $3::text[], $4::text[])",
      ColumnArrays(
          content.prefectures, rowId,
          [](const StoredPrefecture& row) { return PgOptionalText(row.name); },
          [](const StoredPrefecture& row) { return PgOptionalText(row.kana); },
          [](const StoredPrefecture& row) { return PgOptionalText(row.type); }));
  if (!prefectures)
    return prefectures.error();
  auto regions = server.Query(
      "insert into ＤＢ一覧 (rowid, fldDbName, fldID)"
      " select * from unnest($1::bigint[], $2::text[], $3::integer[])",
      ColumnArrays(
          content.regions, rowId, [](const StoredRegion& row) { return PgOptionalText(row.name); },
          [](const StoredRegion& row) { return PgOptionalInt(row.id); }));
  if (!regions)
    return regions.error();
  auto words = server.Query(
      "insert into 学習 (rowid, fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数)"
      " select * from unnest($1::bigint[], $2::integer[], $3::integer[], $4::text[], $5::text[],"
      " $6::bigint[])",
      ColumnArrays(
          content.words, rowId, [](const LearningDictRow& row) { return PgOptionalInt(row.scope); },
          [](const LearningDictRow& row) { return PgOptionalInt(row.kind); },
          [](const LearningDictRow& row) { return PgOptionalText(row.registeredWord); },
          [](const LearningDictRow& row) { return PgOptionalText(row.convertedWord); },
          [](const LearningDictRow& row) { return PgOptionalInt(row.referenceCount); }));
  if (!words)
    return words.error();
  for (const char* table : {"都道府県名", "ＤＢ一覧", "学習"}) {
    const std::string sql = std::string("select setval(pg_get_serial_sequence('") + table +
                            "', 'rowid'), greatest(coalesce(max(rowid), 0), 1),"
                            " max(rowid) is not null) from " +
                            table;
    if (auto s = server.Query(sql.c_str()); !s)
      return s.error();
  }
  return {};
}

}  // namespace

DbResult<std::vector<LearningDictRow>> ServerMainDatabase::SearchLearnedRows(
    const LearningDictSearch& search) {
  std::vector<PgValue> params;
  const std::string sql =
      "select rowid, fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数 from 学習" +
      SearchClause(search, params) + " order by rowid";
  auto rows = Query(sql.c_str(), params);
  if (!rows)
    return rows.error();
  std::vector<LearningDictRow> found;
  found.reserve(static_cast<std::size_t>(rows->Count()));
  for (int i = 0; i < rows->Count(); ++i) {
    found.push_back({rows->Int(i, 0), OptionalInt32(*rows, i, 1), OptionalInt32(*rows, i, 2),
                     rows->OptionalText(i, 3), rows->OptionalText(i, 4), rows->OptionalInt(i, 5)});
  }
  return found;
}

DbResult<int64_t> ServerMainDatabase::StoreLearnedRow(const LearningDictRow& row) {
  if (auto connected = Reconnect(); !connected)
    return connected.error();
  std::vector<PgValue> values = RowValues(row);
  if (row.rowId == 0) {
    auto inserted = Query(
        "insert into 学習 (fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数)"
        " values ($1, $2, $3, $4, $5) returning rowid",
        values);
    if (!inserted)
      return inserted.error();
    return inserted->Int(0, 0);
  }
  values.push_back(PgInt(row.rowId));
  auto updated = Query(
      "update 学習 set fldDbNo = $1, fldType = $2, fld登録字句 = $3, fld変換字句 = $4,"
      " fld参照回数 = $5 where rowid = $6",
      values);
  if (!updated)
    return updated.error();
  // Another desk deleted the row since it was read: nothing was stored.
  if (updated->Changed() == 0)
    return InFile(LearnedRowGone(), Name());
  return row.rowId;
}

DbStatus ServerMainDatabase::DeleteLearnedRow(int64_t rowId) {
  if (auto connected = Reconnect(); !connected)
    return connected;
  auto deleted = Query("delete from 学習 where rowid = $1", {PgInt(rowId)});
  if (!deleted)
    return deleted.error();
  return {};
}

DbStatus ServerMainDatabase::ReplaceContent(const MainContent& content) {
  auto transaction = PgTransaction::Begin(server_);
  if (!transaction)
    return transaction.error();
  if (auto inserted = InsertContent(server_, content); !inserted)
    return inserted;
  return transaction->Commit();
}

}  // namespace mok::db
