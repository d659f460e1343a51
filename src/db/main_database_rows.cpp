// The main database file's rows as the dictionary editor and `mok2 db copy-main` handle them:
// the editor's search, a row stored or deleted, and the whole content replaced.
#include <string>

#include "db/main_database.h"
#include "db/statement_values.h"

namespace mok::db {

namespace {

// The where clause of a search (with " where"), its region as ?1 and its pattern as ?2.
std::string SearchClause(const LearningDictSearch& search) {
  return LearnedSearchClause(
      search, [] { return std::string("?1"); },
      [](const char* column) { return std::string(column) + " like ?2 escape '\\'"; });
}

DbResult<LearningDictRow> ReadRow(const Statement& st) {
  LearningDictRow row;
  row.rowId = st.Int(0);
  auto scope = OptionalInteger<int32_t>(st, 1, u"学習.fldDbNo");
  if (!scope)
    return scope.error();
  auto kind = OptionalInteger<int32_t>(st, 2, u"学習.fldType");
  if (!kind)
    return kind.error();
  auto count = OptionalInteger(st, 5, u"学習.fld参照回数");
  if (!count)
    return count.error();
  row.scope = *scope;
  row.kind = *kind;
  row.registeredWord = OptionalText(st, 3);
  row.convertedWord = OptionalText(st, 4);
  row.referenceCount = *count;
  return row;
}

void BindRow(Statement& st, const LearningDictRow& row) {
  BindOptionalInt(st, 1, row.scope);
  BindOptionalInt(st, 2, row.kind);
  BindOptionalText(st, 3, row.registeredWord);
  BindOptionalText(st, 4, row.convertedWord);
  BindOptionalInt(st, 5, row.referenceCount);
}

// Runs `sql` once per item of `items`, each bound by `bind`.
template <class Item, class Bind>
DbStatus InsertEach(Connection& db, const char* sql, const std::vector<Item>& items, Bind bind) {
  auto st = db.Prepare(sql);
  if (!st)
    return st.error();
  for (const Item& item : items) {
    (*st)->Reset();
    bind(**st, item);
    if (auto done = (*st)->Run(); !done)
      return done;
  }
  return {};
}

DbStatus InsertContent(Connection& db, const MainContent& content) {
  if (auto s = db.Execute("delete from 都道府県名; delete from ＤＢ一覧; delete from 学習"); !s)
    return s;
  auto prefectures =
      InsertEach(db,
                 "insert into 都道府県名 (rowid, fldKanjiName, fldKatakanaName, fldPrefType)"
                 " values (?1, ?2, ?3, ?4)",
                 content.prefectures, [](Statement& st, const StoredPrefecture& row) {
                   st.BindInt(1, row.rowId);
                   BindOptionalText(st, 2, row.name);
                   BindOptionalText(st, 3, row.kana);
                   BindOptionalText(st, 4, row.type);
                 });
  if (!prefectures)
    return prefectures;
  auto regions =
      InsertEach(db, "insert into ＤＢ一覧 (rowid, fldDbName, fldID) values (?1, ?2, ?3)",
                 content.regions, [](Statement& st, const StoredRegion& row) {
                   st.BindInt(1, row.rowId);
                   BindOptionalText(st, 2, row.name);
                   BindOptionalInt(st, 3, row.id);
                 });
  if (!regions)
    return regions;
  return InsertEach(
      db,
      "insert into 学習 (fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数, rowid)"
      " values (?1, ?2, ?3, ?4, ?5, ?6)",
      content.words, [](Statement& st, const LearningDictRow& row) {
        BindRow(st, row);
        st.BindInt(6, row.rowId);
      });
}

}  // namespace

DbResult<std::vector<LearningDictRow>> MainDatabase::SearchLearnedRows(
    const LearningDictSearch& search) {
  auto st = db_.Compile(
      "select rowid, fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数 from 学習" +
      SearchClause(search) + " order by rowid");
  if (!st)
    return Fail(st.error());
  if (!search.commonOnly && search.regionNo)
    st->BindInt(1, *search.regionNo);
  if (!search.keyword.empty())
    st->BindText(2, ContainsPattern(search.keyword));
  std::vector<LearningDictRow> rows;
  const DbStatus read = EachRow(*st, [&]() -> DbStatus {
    auto row = ReadRow(*st);
    if (!row)
      return row.error();
    rows.push_back(std::move(*row));
    return {};
  });
  if (!read)
    return Fail(read.error());
  return rows;
}

DbResult<int64_t> MainDatabase::StoreLearnedRow(const LearningDictRow& row) {
  const bool adding = row.rowId == 0;
  auto st = db_.Compile(
      adding ? "insert into 学習 (fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数)"
               " values (?1, ?2, ?3, ?4, ?5)"
             : "update 学習 set fldDbNo = ?1, fldType = ?2, fld登録字句 = ?3, fld変換字句 = ?4,"
               " fld参照回数 = ?5 where rowid = ?6");
  if (!st)
    return Fail(st.error());
  BindRow(*st, row);
  if (!adding)
    st->BindInt(6, row.rowId);
  if (DbStatus done = st->Run(); !done)
    return Fail(done.error());
  if (adding)
    return db_.LastInsertRowId();
  // Another program deleted the row since it was read: nothing was stored.
  if (db_.Changes() == 0)
    return Fail(LearnedRowGone());
  return row.rowId;
}

DbStatus MainDatabase::DeleteLearnedRow(int64_t rowId) {
  auto st = db_.Compile("delete from 学習 where rowid = ?1");
  if (!st)
    return Fail(st.error());
  st->BindInt(1, rowId);
  if (DbStatus done = st->Run(); !done)
    return Fail(done.error());
  return {};
}

DbStatus MainDatabase::ReplaceContent(const MainContent& content) {
  auto transaction = Transaction::BeginWrite(db_);
  if (!transaction)
    return Fail(transaction.error());
  if (auto inserted = InsertContent(db_, content); !inserted)
    return Fail(inserted.error());
  if (auto committed = transaction->Commit(); !committed)
    return Fail(committed.error());
  return {};
}

}  // namespace mok::db
