#include "db/schema.h"

#include <vector>

#include "text/text.h"

namespace mok::db {

DbStatus CreateMainSchema(Connection& db) {
  return db.Execute(
      "create table if not exists 都道府県名 ("
      " fldKanjiName text not null collate nocase,"
      " fldKatakanaName text not null collate nocase,"
      " fldPrefType text collate nocase);"
      "create table if not exists ＤＢ一覧 ("
      " fldDbName text not null collate nocase,"
      " fldID integer);"
      "create table if not exists 学習 ("
      " fldDbNo integer default 0,"
      " fldType integer,"
      " fld登録字句 text collate nocase,"
      " fld変換字句 text collate nocase,"
      " fld参照回数 integer default 0);");
}

DbStatus CreateRegionSchema(Connection& db) {
  return db.Execute(
      "create table if not exists POSITION ("
      " fld都道府県名 text collate nocase,"
      " fld市区町村名 text collate nocase,"
      " fld大字・町丁目 text collate nocase,"
      " fldTableName text collate nocase,"
      " fldID integer,"
      " fld市区町村コード text collate nocase);"
      "create table if not exists POST ("
      " fld郵便番号 text collate nocase,"
      " fld市区町村 text collate nocase,"
      " fld地名 text collate nocase,"
      " fldシクチョウソン text collate nocase,"
      " fldチメイ text collate nocase);");
}

DbStatus CreateBlockTable(Connection& db, std::u16string_view name) {
  // Coordinates are kept as text so that the output repeats the source's digits exactly.
  return db.Execute("create table if not exists " + QuoteIdentifier(name) +
                    " ("
                    " fldPositionID integer,"
                    " fld街区・番地 text collate nocase,"
                    " fld座標系番号 text,"
                    " fldＸ座標 text,"
                    " fldＹ座標 text,"
                    " fld緯度 text,"
                    " fld経度 text)");
}

namespace {

DbResult<bool> Has(Connection& db, std::u16string_view table) {
  return db.TableExists(table);
}

}  // namespace

DbStatus CreateLookupIndexes(Connection& db) {
  struct Index {
    const char16_t* table;
    const char* sql;
  };
  static const Index kIndexes[] = {
      {kPositionTable,
       "create index if not exists POSITION_town on POSITION"
       " (fld都道府県名, fld市区町村名, fld大字・町丁目)"},
      {kPositionTable, "create index if not exists POSITION_city on POSITION (fld市区町村名)"},
      {kPostTable, "create index if not exists POST_kana on POST (fldシクチョウソン, fldチメイ)"},
      {kLearningTable, "create index if not exists 学習_word on 学習 (fldType, fld登録字句)"},
      {kRegionListTable, "create index if not exists ＤＢ一覧_name on ＤＢ一覧 (fldDbName)"},
  };
  for (const Index& index : kIndexes) {
    auto exists = Has(db, index.table);
    if (!exists)
      return exists.error();
    if (!*exists)
      continue;
    if (auto s = db.Execute(index.sql); !s)
      return s;
  }

  auto position = Has(db, kPositionTable);
  if (!position)
    return position.error();
  if (!*position)
    return {};
  std::vector<std::u16string> blockTables;
  {
    auto st =
        db.Compile("select distinct fldTableName from POSITION where fldTableName is not null");
    if (!st)
      return st.error();
    while (true) {
      auto row = st->Step();
      if (!row)
        return row.error();
      if (!*row)
        break;
      blockTables.push_back(st->Text(0));
    }
  }
  for (const auto& table : blockTables) {
    auto exists = Has(db, table);
    if (!exists)
      return exists.error();
    if (!*exists)
      continue;  // the lookup reports a missing block table when it needs it
    const std::u16string indexName = table + u"_fldPositionID";
    if (auto s = db.Execute("create index if not exists " + QuoteIdentifier(indexName) + " on " +
                            QuoteIdentifier(table) + " (fldPositionID)");
        !s) {
      return s;
    }
  }
  return {};
}

}  // namespace mok::db
