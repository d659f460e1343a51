#include "db/schema.h"

#include <vector>

#include "db/packed_point.h"
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

namespace {

DbStatus CreateRegionTables(Connection& db) {
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
      " fldチメイ text collate nocase);"
      // Numbers as text (registry_number.h); coordinates as text like the block tables'. A
      // residence's rowid is its key (residence_key.h), negative for a row without one; its
      // point is the row of 住居位置 under the same key, packed into one value (packed_point.h).
      "create table if not exists 住居 ("
      " fldKey integer primary key,"
      " fldPositionID integer not null,"
      " fld街区符号 text not null collate nocase,"
      " fld住居番号 text not null collate nocase,"
      " fld住居番号2 text collate nocase);"
      "create table if not exists 住居位置 ("
      " fldKey integer primary key,"
      " fld位置 text not null);"
      "create table if not exists 地番 ("
      " fldPositionID integer not null,"
      " fld本番 text not null collate nocase,"
      " fld枝番 text collate nocase,"
      " fld枝番2 text collate nocase,"
      " fld座標系番号 text, fldＸ座標 text, fldＹ座標 text, fld緯度 text, fld経度 text);"
      "create table if not exists 住居表示街区 ("
      " fldPositionID integer not null,"
      " fld街区・番地 text not null collate nocase,"
      " fld導出 integer not null default 0);");
}

// A file made before 住居位置 kept each residence's point in five columns of 住居: they move to
// 住居位置, so that every residence of the file is read one way after an import.
DbStatus MoveResidencePoints(Connection& db) {
  {
    auto st = db.Compile("select count(*) from pragma_table_info('住居') where name = 'fld経度'");
    if (!st)
      return st.error();
    auto row = st->Step();
    if (!row)
      return row.error();
    if (!*row || st->Int(0) == 0)
      return {};
  }
  return db.Execute(
      std::string("insert or replace into 住居位置 (fldKey, fld位置) select rowid, ") +
      kPackPointColumnsSql +
      " from 住居;"
      "alter table 住居 drop column fld座標系番号;"
      "alter table 住居 drop column fldＸ座標;"
      "alter table 住居 drop column fldＹ座標;"
      "alter table 住居 drop column fld緯度;"
      "alter table 住居 drop column fld経度;");
}

}  // namespace

DbStatus CreateRegionSchema(Connection& db) {
  if (auto made = CreateRegionTables(db); !made)
    return made;
  return MoveResidencePoints(db);
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

DbStatus CreateBlockIndex(Connection& db, std::u16string_view name) {
  const std::u16string table(name);
  return db.Execute("drop index if exists " + QuoteIdentifier(table + u"_fldPositionID") +
                    ";create index if not exists " + QuoteIdentifier(table + u"_number") + " on " +
                    QuoteIdentifier(table) + " (fldPositionID, fld街区・番地)");
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
      // The towns of an address written without its municipality, by the beginning of the name.
      {kPositionTable, "create index if not exists POSITION_name on POSITION (fld大字・町丁目)"},
      {kPostTable, "create index if not exists POST_kana on POST (fldシクチョウソン, fldチメイ)"},
      {kLearningTable, "create index if not exists 学習_word on 学習 (fldType, fld登録字句)"},
      {kRegionListTable, "create index if not exists ＤＢ一覧_name on ＤＢ一覧 (fldDbName)"},
      // Each registry lookup is one search of these indexes; a missing 住居番号2 or 枝番 (Null)
      // sorts first, so the plain number is found before its sub-numbers. Most residences are
      // found by their key (the table's rowid) instead; the index serves the others.
      {kResidenceTable,
       "create index if not exists 住居_number on 住居"
       " (fldPositionID, fld街区符号, fld住居番号, fld住居番号2)"},
      {kParcelTable,
       "create index if not exists 地番_number on 地番 (fldPositionID, fld本番, fld枝番, "
       "fld枝番2)"},
      {kRegistryBlockTable,
       "create index if not exists 住居表示街区_number on 住居表示街区 (fldPositionID, "
       "fld街区・番地)"},
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
    if (auto s = CreateBlockIndex(db, table); !s)
      return s;
  }
  return {};
}

}  // namespace mok::db
