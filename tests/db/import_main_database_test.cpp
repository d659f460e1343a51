#include <gtest/gtest.h>

#include "db/import/main_database_import.h"
#include "db/import/postal_import.h"
#include "db/import/town_import.h"
#include "import_test_support.h"

namespace mok::import_test {
namespace {

TEST(ImportMainDatabase, PrefecturesInFileOrderWithEmptyListAndDictionary) {
  DataFolder folder;
  const auto report = db::CreateMainDatabase(folder.path(), BundledData("prefectures.csv"));
  EXPECT_EQ(report.prefectures, 47);
  const auto main = folder.File("mok2.sqlite");
  const Rows rows = Query(main,
                          "select fldKanjiName, fldPrefType, fldKatakanaName from 都道府県名 "
                          "order by rowid");
  ASSERT_EQ(rows.size(), 47u);
  const std::vector<std::pair<std::size_t, std::vector<std::u16string>>> expected = {
      {0, {u"北海", u"道", u"ﾎｯｶｲﾄﾞｳ"}},
      {12, {u"東京", u"都", u"ﾄｳｷｮｳ"}},
      {25, {u"京都", u"府", u"ｷｮｳﾄ"}},
      {46, {u"沖縄", u"県", u"ｵｷﾅﾜ"}},
  };
  for (const auto& [index, values] : expected) {
    for (std::size_t j = 0; j < values.size(); ++j) {
      EXPECT_EQ(rows[index][j].value_or(u"<Null>"), values[j]) << "row " << index;
    }
  }
  EXPECT_EQ(Number(main, "select count(*) from ＤＢ一覧"), 0);
  EXPECT_EQ(Number(main, "select count(*) from 学習"), 0);
}

TEST(ImportMainDatabase, EmptyTypeIsStoredAsNull) {
  DataFolder folder;
  const auto prefectures = folder.File("prefectures.csv");
  WriteUtf8Lines(prefectures, {u"code,fldKanjiName,fldPrefType,fldKatakanaName",
                               u"01,北海道,,ﾎｯｶｲﾄﾞｳ", u"13,東京,都,ﾄｳｷｮｳ"});
  db::CreateMainDatabase(folder.path(), prefectures);
  const Rows rows =
      Query(folder.File("mok2.sqlite"), "select fldPrefType from 都道府県名 order by rowid");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_FALSE(rows[0][0].has_value());
  EXPECT_EQ(rows[1][0].value_or(u""), u"都");
}

// An existing main database holds the region list and the learning dictionary: it is replaced
// only on request, and a failed replacement keeps it.
TEST(ImportMainDatabase, ExistingDatabaseIsReplacedOnlyWithForce) {
  DataFolder folder;
  const auto main = folder.File("mok2.sqlite");
  db::CreateMainDatabase(folder.path(), BundledData("prefectures.csv"));
  {
    auto db = db::Connection::Open(db::PathText(main));
    ASSERT_TRUE(db);
    ASSERT_TRUE(
        db->Execute("insert into 学習 (fldDbNo, fldType, fld登録字句, fld変換字句) "
                    "values (0, 2, '千代田', '千代田区')"));
  }
  const std::u16string refused =
      ImportFailure([&] { db::CreateMainDatabase(folder.path(), BundledData("prefectures.csv")); });
  EXPECT_NE(refused.find(u"already exists"), std::u16string::npos) << U8(refused);
  EXPECT_EQ(Number(main, "select count(*) from 学習"), 1);

  const auto broken = folder.File("broken.csv");
  WriteUtf8Lines(broken, {u"code,name"});
  const std::u16string failed =
      ImportFailure([&] { db::CreateMainDatabase(folder.path(), broken, true); });
  EXPECT_NE(failed.find(u"fldKanjiName"), std::u16string::npos) << U8(failed);
  EXPECT_EQ(Number(main, "select count(*) from 学習"), 1);
  EXPECT_FALSE(fs::exists(folder.File("mok2.sqlite.new")));

  db::CreateMainDatabase(folder.path(), BundledData("prefectures.csv"), true);
  EXPECT_EQ(Number(main, "select count(*) from 学習"), 0);
  EXPECT_EQ(Number(main, "select count(*) from 都道府県名"), 47);
}

// The bundled Tokyo data as the sample database is built from it: the town list and the postal
// codes of Tokyo.
TEST(ImportTokyo, BundledDataGivesTheSampleDatabase) {
  DataFolder folder;
  db::CreateMainDatabase(folder.path(), BundledData("prefectures.csv"));
  const auto towns =
      db::ImportTowns(folder.path(), u"東京都", BundledData("geolonia-tokyo-2022.csv"));
  EXPECT_EQ(towns.sourceRows, 5393);
  EXPECT_EQ(towns.towns, 5363);
  EXPECT_EQ(towns.municipalities, 61);
  EXPECT_EQ(towns.withoutZone, 0);
  const auto postal = db::ImportPostal(folder.path(), u"東京都", BundledData("13TOKYO.CSV"));
  EXPECT_GT(postal.records, 3900);
  EXPECT_EQ(postal.droppedOthers, 58);

  const auto region = folder.File("東京都.sqlite");
  const Rows rows = Query(region,
                          "select p.fld市区町村コード, p.fldTableName, b.fld街区・番地, "
                          "b.fld座標系番号, b.fldＸ座標, b.fldＹ座標, b.fld緯度, b.fld経度 "
                          "from POSITION p join BLK13101 b on b.fldPositionID = p.fldID "
                          "where p.fld都道府県名 = '東京都' and p.fld市区町村名 = '千代田区' "
                          "and p.fld大字・町丁目 = '丸の内一丁目'");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0].value_or(u""), u"13101");
  EXPECT_EQ(rows[0][1].value_or(u""), u"BLK13101");
  EXPECT_FALSE(rows[0][2].has_value());
  EXPECT_EQ(rows[0][3].value_or(u""), u"9");
  // Independent values (Gauss-Krüger series, zone IX) for 35.68156 N 139.767201 E.
  EXPECT_NEAR(std::stod(U8(rows[0][4].value_or(u"0"))), -35327.2972, 0.02);
  EXPECT_NEAR(std::stod(U8(rows[0][5].value_or(u"0"))), -5986.0161, 0.02);
  EXPECT_EQ(rows[0][6].value_or(u""), u"35.68156");
  EXPECT_EQ(rows[0][7].value_or(u""), u"139.767201");

  EXPECT_EQ(Number(region,
                   "select count(*) from POST where fld地名 like '%（%' or "
                   "fldチメイ like '%(%' or fld地名 = '以下に掲載がない場合'"),
            0);
  EXPECT_EQ(Number(region,
                   "select count(*) from POST where fld郵便番号 = '1000005' and "
                   "fld地名 = '丸の内' and fldチメイ = 'ﾏﾙﾉｳﾁ'"),
            1);
  EXPECT_EQ(
      Number(folder.File("mok2.sqlite"), "select fldID from ＤＢ一覧 where fldDbName = '東京都'"),
      1);
}

}  // namespace
}  // namespace mok::import_test
