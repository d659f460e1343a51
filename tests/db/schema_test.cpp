// The tables and indexes the data tool creates: every column the lookups name exists, and the
// lookup indexes cover the block tables named in POSITION whatever their names.
#include "db/schema.h"

#include <gtest/gtest.h>

#include "support/test_database_builder.h"

namespace mok::db {
namespace {

using test::TestDatabaseBuilder;

std::string U8(const std::u16string& s) {
  return text::ToUtf8(s);
}

TEST(Schema, EveryColumnTheLookupsNameExists) {
  TestDatabaseBuilder b;
  b.AddBlockTable(u"東京都", u"T13101");
  const std::pair<bool, const char*> queries[] = {
      {true, "select fldKanjiName, fldKatakanaName, fldPrefType from 都道府県名"},
      {true, "select fldDbName, fldID from ＤＢ一覧"},
      {true, "select fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数 from 学習"},
      {false,
       "select fld都道府県名, fld市区町村名, fld大字・町丁目, fldTableName, fldID, "
       "fld市区町村コード"
       " from POSITION"},
      {false, "select fld郵便番号, fld市区町村, fld地名, fldシクチョウソン, fldチメイ from POST"},
      {false,
       "select fldPositionID, fld街区・番地, fld座標系番号, fldＸ座標, fldＹ座標, fld緯度, fld経度"
       " from T13101"},
  };
  for (const auto& [main, sql] : queries) {
    Connection& db = main ? b.Main() : b.Region(u"東京都");
    auto st = db.Compile(sql);
    EXPECT_TRUE(st.ok()) << sql << ": " << (st.ok() ? "" : U8(st.error().Text()));
  }
}

TEST(Schema, CreatingTwiceKeepsTheData) {
  TestDatabaseBuilder b;
  b.AddPrefecture(u"東京", u"ﾄｳｷｮｳ", u"都");
  ASSERT_TRUE(CreateMainSchema(b.Main()).ok());
  ASSERT_TRUE(CreateRegionSchema(b.Region(u"R")).ok());
  auto st = b.Main().Compile("select count(*) from 都道府県名");
  ASSERT_TRUE(*st->Step());
  EXPECT_EQ(st->Int(0), 1);
}

bool HasIndexOn(Connection& db, const std::u16string& table) {
  auto st = db.Compile("select count(*) from sqlite_master where type = 'index' and tbl_name = ?");
  st->BindText(1, table);
  return *st->Step() && st->Int(0) > 0;
}

TEST(Schema, LookupIndexesCoverEveryNamedBlockTable) {
  TestDatabaseBuilder b;
  const std::u16string tables[] = {u"T13101", u"千代田区", u"a\"b", u"x'y"};
  int64_t id = 1;
  for (const auto& t : tables) {
    b.AddPosition(u"R", {u"東京都", u"千代田区", u"町" + t, t, id, u"13101"});
    b.AddBlock(u"R", t, {id, u"1", u"9", u"1", u"2", u"3", u"4"});
    ++id;
  }
  // A POSITION row naming a table that does not exist is left for the lookup to report.
  b.AddPosition(u"R", {u"東京都", u"千代田区", u"幻町", u"NoSuchTable", 99, u"13101"});
  b.AddPosition(u"R", {u"東京都", u"千代田区", u"無町", std::nullopt, 100, u"13101"});
  Connection& region = b.Region(u"R");
  ASSERT_TRUE(CreateLookupIndexes(region).ok());
  ASSERT_TRUE(CreateLookupIndexes(region).ok());  // again: nothing to do, no failure
  for (const auto& t : tables)
    EXPECT_TRUE(HasIndexOn(region, t)) << U8(t);
  EXPECT_TRUE(HasIndexOn(region, u"POSITION"));
  EXPECT_TRUE(HasIndexOn(region, u"POST"));

  ASSERT_TRUE(CreateLookupIndexes(b.Main()).ok());  // the main database has no POSITION
  EXPECT_TRUE(HasIndexOn(b.Main(), u"学習"));
}

}  // namespace
}  // namespace mok::db
