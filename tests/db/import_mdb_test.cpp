#include <gtest/gtest.h>

#include <map>

#include "db/import/legacy_database.h"
#include "db/import/main_database_import.h"
#include "db/import/mdb_import.h"
#include "import_test_support.h"

namespace mok::import_test {
namespace {

using db::LegacyColumn;
using db::LegacyRow;
using db::LegacyTable;
using Kind = LegacyColumn::Kind;

// A legacy database held in memory; `failAfter` rows in all makes the reading fail there.
class MemoryDatabase : public db::LegacyDatabase {
 public:
  void Add(LegacyTable table, std::vector<LegacyRow> rows) {
    tables_.push_back(table);
    rows_[table.name] = std::move(rows);
  }
  std::vector<LegacyTable> Tables() override { return tables_; }
  void ReadRows(const LegacyTable& table,
                const std::function<void(const LegacyRow&)>& row) override {
    for (const auto& r : rows_.at(table.name)) {
      if (failAfter_ >= 0 && read_++ == failAfter_)
        throw db::ImportError(u"read error");
      row(r);
    }
  }
  int failAfter_ = -1;

 private:
  std::vector<LegacyTable> tables_;
  std::map<std::u16string, std::vector<LegacyRow>> rows_;
  int read_ = 0;
};

MemoryDatabase LegacyRegion() {
  MemoryDatabase source;
  source.Add({u"POSITION",
              {{u"fld都道府県名", Kind::Text},
               {u"fld市区町村名", Kind::Text},
               {u"fld大字・町丁目", Kind::Text},
               {u"fldTableName", Kind::Text},
               {u"fldID", Kind::Integer},
               {u"fld市区町村コード", Kind::Text},
               {u"fld備考", Kind::Text}}},
             {{u"東京都", u"千代田区", u"丸の内一丁目", u"千代田区", u"1", u"13101", std::nullopt},
              {u"東京都", std::nullopt, u"大手町一丁目", u"千代田区", u"2", u"13101", u"x"}});
  source.Add({u"千代田区",
              {{u"fldPositionID", Kind::Integer},
               {u"fld街区・番地", Kind::Text},
               {u"fld座標系番号", Kind::Integer},
               {u"fldＸ座標", Kind::Real},
               {u"fldＹ座標", Kind::Real},
               {u"fld緯度", Kind::Real},
               {u"fld経度", Kind::Real}}},
             {{u"1", u"3", u"9", u"-35327.3", u"-5986.0", std::nullopt, std::nullopt},
              {u"1", std::nullopt, u"9", u"-35300", u"-5900", u"35.68", u"139.76"}});
  source.Add({u"POST",
              {{u"fld郵便番号", Kind::Text},
               {u"fld市区町村", Kind::Text},
               {u"fld地名", Kind::Text},
               {u"fldシクチョウソン", Kind::Text},
               {u"fldチメイ", Kind::Text}}},
             {{u"1000005", u"千代田区", u"丸の内", u"ﾁﾖﾀﾞｸ", u"ﾏﾙﾉｳﾁ"}});
  return source;
}

TEST(ImportMdb, RegionTablesKeepRowsNullsAndExtraColumns) {
  DataFolder folder;
  db::CreateMainDatabase(folder.path(), BundledData("prefectures.csv"));
  MemoryDatabase source = LegacyRegion();
  const auto report = db::ConvertLegacyDatabase(folder.path(), u"東京都", source);
  EXPECT_FALSE(report.isMain);
  EXPECT_EQ(report.tables, 3);
  EXPECT_EQ(report.rows, 5);
  EXPECT_EQ(report.regionId, 1);
  const auto region = folder.File("東京都.sqlite");
  EXPECT_EQ(report.target, region);

  const Rows positions =
      Query(region, "select fld市区町村名, fld備考, fldID from POSITION order by fldID");
  ASSERT_EQ(positions.size(), 2u);
  EXPECT_FALSE(positions[1][0].has_value()) << "a Null name stays Null";
  EXPECT_EQ(positions[1][1].value_or(u""), u"x") << "an extra column is kept";
  // Text comparison without regard to case, as the lookups need it, comes from the schema.
  EXPECT_EQ(Number(region,
                   "select count(*) from POSITION where fldTableName = '千代田区' and "
                   "fld都道府県名 = '東京都'"),
            2);
  const Rows blocks = Query(region,
                            "select fld街区・番地, fldＸ座標, fld緯度 from \"千代田区\" "
                            "order by rowid");
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[0][0].value_or(u""), u"3");
  EXPECT_EQ(blocks[0][1].value_or(u""), u"-35327.3");
  EXPECT_FALSE(blocks[0][2].has_value());
  EXPECT_FALSE(blocks[1][0].has_value());
  EXPECT_EQ(Number(region,
                   "select count(*) from sqlite_master where type = 'index' and "
                   "tbl_name = '千代田区'"),
            1);
  EXPECT_EQ(Scalar(region, "select fldチメイ from POST"), u"ﾏﾙﾉｳﾁ");
  EXPECT_EQ(Scalar(folder.File("mok2.sqlite"), "select fldDbName from ＤＢ一覧"), u"東京都");
}

TEST(ImportMdb, MainDatabaseWithItsOwnTables) {
  DataFolder folder;
  MemoryDatabase source;
  source.Add({u"都道府県名",
              {{u"fldKanjiName", Kind::Text},
               {u"fldKatakanaName", Kind::Text},
               {u"fldPrefType", Kind::Text}}},
             {{u"東京", u"ﾄｳｷｮｳ", u"都"}, {u"北海道", u"ﾎｯｶｲﾄﾞｳ", std::nullopt}});
  source.Add({u"ＤＢ一覧", {{u"fldDbName", Kind::Text}, {u"fldID", Kind::Integer}}},
             {{u"東京都", u"3"}});
  source.Add({u"学習",
              {{u"fldDbNo", Kind::Integer},
               {u"fldType", Kind::Integer},
               {u"fld登録字句", Kind::Text},
               {u"fld変換字句", Kind::Text},
               {u"fld参照回数", Kind::Integer}}},
             {{u"0", u"2", u"千代田", std::nullopt, u"4"}});
  source.Add({u"設定", {{u"名前", Kind::Text}, {u"値", Kind::Real}}}, {{u"a", u"1.5"}});
  const auto report = db::ConvertLegacyDatabase(folder.path(), u"MOK2", source);
  EXPECT_TRUE(report.isMain);
  const auto main = folder.File("mok2.sqlite");
  EXPECT_EQ(report.target, main);
  const Rows prefectures =
      Query(main, "select fldKanjiName, fldPrefType from 都道府県名 order by rowid");
  ASSERT_EQ(prefectures.size(), 2u);
  EXPECT_FALSE(prefectures[1][1].has_value());
  EXPECT_EQ(Number(main, "select fldID from ＤＢ一覧 where fldDbName = '東京都'"), 3);
  const Rows learned = Query(main, "select fld変換字句, fld参照回数 from 学習");
  ASSERT_EQ(learned.size(), 1u);
  EXPECT_FALSE(learned[0][0].has_value());
  EXPECT_EQ(learned[0][1].value_or(u""), u"4");
  EXPECT_EQ(Scalar(main, "select 値 * 2 from 設定"), u"3.0");
}

TEST(ImportMdb, FailureWritesNothing) {
  DataFolder folder;
  db::CreateMainDatabase(folder.path(), BundledData("prefectures.csv"));
  MemoryDatabase source = LegacyRegion();
  source.failAfter_ = 3;
  EXPECT_EQ(ImportFailure([&] { db::ConvertLegacyDatabase(folder.path(), u"東京都", source); }),
            u"read error");
  EXPECT_FALSE(fs::exists(folder.File("東京都.sqlite")));
  EXPECT_FALSE(fs::exists(folder.File("東京都.sqlite.new")));
  EXPECT_EQ(Number(folder.File("mok2.sqlite"), "select count(*) from ＤＢ一覧"), 0);
}

TEST(ImportMdb, RefusesExistingTargetAndUnreadableFiles) {
  DataFolder folder;
  db::CreateMainDatabase(folder.path(), BundledData("prefectures.csv"));
  MemoryDatabase main;
  main.Add({u"ＤＢ一覧", {{u"fldDbName", Kind::Text}, {u"fldID", Kind::Integer}}}, {});
  EXPECT_NE(ImportFailure([&] {
              db::ConvertLegacyDatabase(folder.path(), u"mok2", main);
            }).find(u"already exists"),
            std::u16string::npos);

  const auto notAccess = folder.File("東京都.mdb");
  WriteBytes(notAccess, "this is not a database");
  const std::u16string message = ImportFailure([&] { db::ImportMdb(folder.path(), notAccess); });
  EXPECT_NE(message.find(u"東京都.mdb"), std::u16string::npos) << U8(message);
  EXPECT_FALSE(fs::exists(folder.File("東京都.sqlite")));
}

}  // namespace
}  // namespace mok::import_test
