// The import of a town list: one POSITION row and one representative block row per town with its
// plane zone and X/Y, the region list, the file forms other editions use, and failures that leave
// the databases as they were.
#include "db/import/plane_zone.h"
#include "db/import/town_import.h"
#include "import_test_support.h"

namespace mok::import_test {
namespace {

const std::vector<std::u16string> kTowns = {
    kTownHeader, u"東京都,13101,千代田区,丸の内一丁目,,35.68156,139.767201",
    u"東京都,13101,千代田区,飯田橋一丁目,,35.69847,139.749414",
    // 岡田 is listed once per 小字; the row without 小字 comes second and gives the point.
    u"東京都,13361,大島町,岡田,助田,34.784183,139.39168",
    u"東京都,13361,大島町,岡田,,34.778143,139.387092",
    u"東京都,13361,大島町,岡田,北野,34.793842,139.370261",
    u"東京都,13421,小笠原村,父島,,27.071244,142.209608",
    u"北海道,01101,札幌市中央区,大通西一丁目,,43.06,141.35",
    u"東京,13999,架空区,一丁目,,35.6,139.7",  // no zone known
    u"東京都,13362,利島村,,,34.52,139.28",    // no 大字: nothing to store
};

struct ImportTownsTest : DataFolderTest {
  ImportTownsTest() { WriteBytes(towns, Encode(kTowns, false)); }
  const fs::path towns = dir / "towns.csv";
};

// X/Y against values computed independently with the Gauss-Krüger series of the Geospatial
// Information Authority (Kawase 2011); X is the northing. The region takes the next free number;
// importing the same file again adds nothing.
TEST_F(ImportTownsTest, OneRowPerTownWithItsPointZoneAndPlaneCoordinates) {
  ASSERT_TRUE(db::Connection::Open(db::PathText(main))
                  ->Execute("insert into ＤＢ一覧 values ('大阪府', 1), ('神奈川県', 5)"));
  const auto report = db::ImportTowns(dir, u"東京都", towns);
  EXPECT_EQ(report.withoutTownName, 1);
  EXPECT_EQ(report.towns, 6);
  EXPECT_EQ(report.municipalities, 5);
  EXPECT_EQ(report.blockRows, 6);
  EXPECT_EQ(report.withoutZone, 1);
  EXPECT_EQ(report.regionId, 6);
  EXPECT_EQ(Rows(region, "select * from POSITION order by fldID"),
            (Strings{"東京都|千代田区|丸の内一丁目|BLK13101|1|13101",
                     "東京都|千代田区|飯田橋一丁目|BLK13101|2|13101",
                     "東京都|大島町|岡田|BLK13361|3|13361", "東京都|小笠原村|父島|BLK13421|4|13421",
                     "北海道|札幌市中央区|大通西一丁目|BLK01101|5|01101",
                     "東京|架空区|一丁目|BLK13999|6|13999"}));
  const std::string blocks =
      "select * from BLK13101 union all select * from BLK13361 union all select * from BLK13421 "
      "union all select * from BLK01101 union all select * from BLK13999";
  const Strings expected = {"1|NULL|9|-35327.297|-5986.016|35.68156|139.767201",
                            "2|NULL|9|-33450.035|-7594.417|35.69847|139.749414",
                            "3|NULL|9|-135457.983|-40842.261|34.778143|139.387092",
                            "4|NULL|14|118695.285|20789.440|27.071244|142.209608",
                            "5|NULL|12|-104033.316|-73308.302|43.06|141.35",
                            "6|NULL|NULL|NULL|NULL|35.6|139.7"};
  EXPECT_EQ(Rows(region, blocks), expected);

  const auto again = db::ImportTowns(dir, u"東京都", towns);
  EXPECT_EQ(again.regionId, 6);
  EXPECT_EQ(again.townsAdded + again.blockRows, 0);
  EXPECT_EQ(again.keptBlocks, 6);
  EXPECT_EQ(Rows(region, blocks), expected);
  EXPECT_EQ(Rows(main, "select * from ＤＢ一覧"), (Strings{"大阪府|1", "神奈川県|5", "東京都|6"}));
}

// A prefecture is selected by its name with or without its type.
TEST_F(ImportTownsTest, PrefectureFilterKeepsOnlyThatPrefecture) {
  for (const std::u16string filter : {u"北海道", u"北海"}) {
    EXPECT_EQ(db::ImportTowns(dir, filter, towns, filter).towns, 1);
    EXPECT_EQ(
        Rows(dir / (text::ToUtf8(filter) + ".sqlite"), "select fld大字・町丁目 from POSITION"),
        Strings{"大通西一丁目"});
  }
}

// A write that fails after others succeeded (into a block table that is a view, or the region
// list refusing the entry) undoes every row of the import and the region list entry it made; a
// region file the import made is removed.
TEST_F(ImportTownsTest, FailedImportLeavesTheDatabasesAsTheyWere) {
  db::ImportTowns(dir, u"東京都", towns);
  ASSERT_TRUE(db::Connection::Open(db::PathText(region))
                  ->Execute("create table x (a); create view BLK13102 as select * from x"));
  ASSERT_TRUE(db::Connection::Open(db::PathText(main))
                  ->Execute("create trigger refuse before insert on ＤＢ一覧 when new.fldDbName = "
                            "'京都府' begin select raise(abort, 'refused'); end"));
  const auto more = dir / "more.csv";
  WriteBytes(more, Encode({kTownHeader, u"東京都,13101,千代田区,大手町一丁目,,35.68,139.76",
                           u"東京都,13102,中央区,銀座一丁目,,35.67,139.77"},
                          false));
  const Strings positions = Rows(region, "select * from POSITION");
  EXPECT_THAT(ImportFailure([&] { db::ImportTowns(dir, u"東京都", more); }), HasSubstr("BLK13102"));
  EXPECT_THAT(ImportFailure([&] { db::ImportTowns(dir, u"京都府", more); }), HasSubstr("refused"));
  EXPECT_EQ(Rows(region, "select * from POSITION"), positions);
  EXPECT_EQ(Value(region, "select count(*) from BLK13101"), "2");
  EXPECT_EQ(Rows(main, "select fldDbName from ＤＢ一覧"), Strings{"東京都"});
  EXPECT_FALSE(fs::exists(dir / "京都府.sqlite"));
}

// Bad inputs stop the import with the file named, before any region file is made. The first line
// that is not ASCII decides the encoding: a later line in another one is an error.
TEST_F(ImportTownsTest, BadInputsAreReported) {
  const std::string utf8 = Encode({kTowns[0], kTowns[1]}, false);
  WriteBytes(dir / "mixed.csv", utf8 + Encode({kTowns[2]}, true));
  WriteBytes(dir / "cut.csv.xz", XzCompress(utf8).substr(0, 40));
  TempFolder empty;
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[&] { db::ImportTowns(dir, u"東京都", dir / "none.csv"); }, "none.csv: no such file"},
      {[&] { db::ImportTowns(dir, u"東京都", dir / "mixed.csv"); },
       "mixed.csv line 3: cannot decode"},
      {[&] { db::ImportTowns(dir, u"東京都", dir / "cut.csv.xz"); },
       "cut.csv.xz: the compressed data"},
      {[&] { db::ImportTowns(dir, u"東京都", towns, u"大阪府"); }, "no towns of 大阪府"},
      {[&] { db::ImportTowns(empty.path(), u"東京都", towns); }, "mok2 db create"},
      {[&] { db::ImportTowns(dir, u"mok2", towns); }, "cannot be a region name"},
      {[&] { db::ImportTowns(dir, u"a/b", towns); }, "cannot be a region name"},
  };
  for (const auto& [action, expected] : cases)
    EXPECT_THAT(ImportFailure(action), HasSubstr(expected));
  EXPECT_FALSE(fs::exists(region));
}

// The town list as other editions and tools write it gives the same towns and points: with a byte
// order mark, in CP932 with the header 緯度（代表点）/経度（代表点）. (The nationwide build reads
// an xz-compressed one.)
TEST_F(ImportTownsTest, OtherEncodingsAndHeaders) {
  const std::u16string pointHeader =
      u"都道府県名,市区町村コード,市区町村名,大字町丁目名,小字・通称名,緯度（代表点）,"
      u"経度（代表点）";
  const std::string variants[] = {
      "\xEF\xBB\xBF" + Encode(kTowns, false),
      Encode({pointHeader, kTowns[3], kTowns[4]}, true),
  };
  for (const std::string& bytes : variants) {
    WriteBytes(towns, bytes);
    fs::remove(region);
    db::ImportTowns(dir, u"東京都", towns);
    EXPECT_EQ(Rows(region,
                   "select p.fld大字・町丁目, b.fld緯度 from POSITION p join BLK13361 b "
                   "on b.fldPositionID = p.fldID"),
              Strings{"岡田|34.778143"});
  }
}

// The zones follow prefecture borders except where a prefecture spans several.
TEST(ImportPlaneZone, ZonesOfPrefecturesIslandsAndHokkaido) {
  using db::PlaneZone;
  EXPECT_EQ(PlaneZone(u"東京都", u"千代田区", 35.68, 139.76), 9);
  EXPECT_EQ(PlaneZone(u"東京都", u"小笠原村", 27.07, 142.21), 14);  // 父島
  EXPECT_EQ(PlaneZone(u"東京都", u"小笠原村", 20.43, 136.08), 18);  // 沖ノ鳥島
  EXPECT_EQ(PlaneZone(u"東京都", u"小笠原村", 24.29, 153.98), 19);  // 南鳥島
  EXPECT_EQ(PlaneZone(u"鹿児島県", u"鹿児島市", 31.60, 130.56), 2);
  EXPECT_EQ(PlaneZone(u"鹿児島県", u"奄美市", 28.38, 129.49), 1);
  EXPECT_EQ(PlaneZone(u"鹿児島県", u"大島郡喜界町", 28.36, 130.02), 1);
  EXPECT_EQ(PlaneZone(u"沖縄県", u"那覇市", 26.21, 127.68), 15);
  EXPECT_EQ(PlaneZone(u"沖縄県", u"石垣市", 24.34, 124.16), 16);
  EXPECT_EQ(PlaneZone(u"沖縄県", u"島尻郡南大東村", 25.85, 131.24), 17);
  EXPECT_EQ(PlaneZone(u"北海道", u"函館市", 41.77, 140.73), 11);
  EXPECT_EQ(PlaneZone(u"北海道", u"余市郡余市町", 43.19, 140.79), 11);
  EXPECT_EQ(PlaneZone(u"北海道", u"帯広市", 42.92, 143.20), 13);
  EXPECT_EQ(PlaneZone(u"北海道", u"紋別市", 44.36, 143.35), 12);  // オホーツク, not of zone XIII
  EXPECT_EQ(PlaneZone(u"北海道", u"古宇郡泊村", 43.07, 140.50), 11);
  EXPECT_EQ(PlaneZone(u"北海道", u"国後郡泊村", 43.75, 145.50), 13);   // not 後志's 泊村
  EXPECT_EQ(PlaneZone(u"静岡県", u"駿東郡清水町", 35.10, 138.90), 8);  // not Hokkaido's 清水町
  EXPECT_EQ(PlaneZone(u"東京", u"千代田区", 35.68, 139.76), std::nullopt);
}

}  // namespace
}  // namespace mok::import_test
