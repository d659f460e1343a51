#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <functional>

#include "db/import/main_database_import.h"
#include "db/import/plane_zone.h"
#include "db/import/town_import.h"
#include "import_test_support.h"

namespace mok::import_test {
namespace {

const std::u16string kHeader =
    u"\"都道府県コード\",\"都道府県名\",\"都道府県名カナ\",\"都道府県名ローマ字\","
    u"\"市区町村コード\","
    u"\"市区町村名\",\"市区町村名カナ\",\"市区町村名ローマ字\",\"大字町丁目名\","
    u"\"大字町丁目名カナ\","
    u"\"大字町丁目名ローマ字\",\"小字・通称名\",\"緯度\",\"経度\"";

std::u16string Row(const std::u16string& pref, const std::u16string& code,
                   const std::u16string& city, const std::u16string& town,
                   const std::u16string& koaza, const std::u16string& lat,
                   const std::u16string& lon) {
  return u"\"13\",\"" + pref + u"\",\"\",\"\",\"" + code + u"\",\"" + city + u"\",\"\",\"\",\"" +
         town + u"\",\"\",\"\"," + (koaza.empty() ? u"" : u"\"" + koaza + u"\"") + u"," + lat +
         u"," + lon;
}

const std::vector<std::u16string> kTowns = {
    kHeader,
    Row(u"東京都", u"13101", u"千代田区", u"丸の内一丁目", u"", u"35.68156", u"139.767201"),
    Row(u"東京都", u"13101", u"千代田区", u"飯田橋一丁目", u"", u"35.69847", u"139.749414"),
    // 岡田 is listed once per 小字; the row without 小字 comes second and gives the point.
    Row(u"東京都", u"13361", u"大島町", u"岡田", u"助田", u"34.784183", u"139.39168"),
    Row(u"東京都", u"13361", u"大島町", u"岡田", u"", u"34.778143", u"139.387092"),
    Row(u"東京都", u"13361", u"大島町", u"岡田", u"北野", u"34.793842", u"139.370261"),
    Row(u"東京都", u"13421", u"小笠原村", u"父島", u"", u"27.071244", u"142.209608"),
    Row(u"北海道", u"01101", u"札幌市中央区", u"大通西一丁目", u"", u"43.06", u"141.35"),
    Row(u"東京", u"13999", u"架空区", u"一丁目", u"", u"35.6", u"139.7"),
    Row(u"東京都", u"13362", u"利島村", u"", u"", u"34.52", u"139.28"),
};

class ImportTownsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteUtf8Lines(towns_, kTowns);
    db::CreateMainDatabase(folder_.path(), BundledData("prefectures.csv"));
  }
  fs::path Region() const { return folder_.File("東京都.sqlite"); }
  fs::path Main() const { return folder_.File("mok2.sqlite"); }

  DataFolder folder_;
  fs::path towns_ = folder_.File("towns.csv");
};

// Plane coordinates of the representative points, against values computed independently with
// the Gauss-Krüger series of the Geospatial Information Authority (Kawase 2011) for the origin
// of each zone: zone IX 36°N 139°50'E, zone XIV 26°N 142°E, zone XII 44°N 142°15'E.
TEST_F(ImportTownsTest, RepresentativeRowsCarryPlaneCoordinates) {
  db::ImportTowns(folder_.path(), u"東京都", towns_);
  struct Case {
    std::u16string town;
    std::u16string table;
    std::u16string zone;
    double x, y;
  };
  const std::vector<Case> cases = {
      {u"丸の内一丁目", u"BLK13101", u"9", -35327.2972, -5986.0161},
      {u"父島", u"BLK13421", u"14", 118695.2853, 20789.4402},
      {u"大通西一丁目", u"BLK01101", u"12", -104033.3164, -73308.3018},
  };
  for (const auto& c : cases) {
    const std::string sql =
        "select b.fld街区・番地, b.fld座標系番号, b.fldＸ座標, b.fldＹ座標 "
        "from POSITION p join " +
        U8(c.table) + " b on b.fldPositionID = p.fldID where p.fld大字・町丁目 = '" + U8(c.town) +
        "'";
    const Rows rows = Query(Region(), sql);
    ASSERT_EQ(rows.size(), 1u) << U8(c.town);
    EXPECT_FALSE(rows[0][0].has_value()) << "representative row has a Null number";
    EXPECT_EQ(rows[0][1].value_or(u""), c.zone) << U8(c.town);
    EXPECT_NEAR(std::stod(U8(rows[0][2].value_or(u"0"))), c.x, 0.02) << U8(c.town);
    EXPECT_NEAR(std::stod(U8(rows[0][3].value_or(u"0"))), c.y, 0.02) << U8(c.town);
  }
}

TEST_F(ImportTownsTest, OneRowPerTownAndOneBlockTablePerMunicipality) {
  const auto report = db::ImportTowns(folder_.path(), u"東京都", towns_);
  EXPECT_EQ(report.sourceRows, 9);
  EXPECT_EQ(report.withoutTownName, 1);  // 利島村 has no 大字: nothing to store
  EXPECT_EQ(report.towns, 6);
  EXPECT_EQ(report.municipalities, 5);
  EXPECT_EQ(report.blockRows, 6);
  const Rows rows = Query(Region(),
                          "select fld都道府県名, fld市区町村名, fld大字・町丁目, fldTableName, "
                          "fld市区町村コード, fldID from POSITION order by fldID");
  const std::vector<std::vector<std::u16string>> expected = {
      {u"東京都", u"千代田区", u"丸の内一丁目", u"BLK13101", u"13101", u"1"},
      {u"東京都", u"千代田区", u"飯田橋一丁目", u"BLK13101", u"13101", u"2"},
      {u"東京都", u"大島町", u"岡田", u"BLK13361", u"13361", u"3"},
      {u"東京都", u"小笠原村", u"父島", u"BLK13421", u"13421", u"4"},
      {u"北海道", u"札幌市中央区", u"大通西一丁目", u"BLK01101", u"01101", u"5"},
      {u"東京", u"架空区", u"一丁目", u"BLK13999", u"13999", u"6"},
  };
  ASSERT_EQ(rows.size(), expected.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = 0; j < expected[i].size(); ++j) {
      EXPECT_EQ(rows[i][j].value_or(u"<Null>"), expected[i][j]) << "row " << i << " col " << j;
    }
  }
  // 岡田: the point of the row without 小字, not of the first row.
  const Rows okada = Query(Region(), "select fld緯度, fld経度 from BLK13361");
  ASSERT_EQ(okada.size(), 1u);
  EXPECT_EQ(okada[0][0].value_or(u""), u"34.778143");
  EXPECT_EQ(okada[0][1].value_or(u""), u"139.387092");
}

// A prefecture without a known zone (here a misspelt one): the point is kept, X/Y and the zone
// stay empty.
TEST_F(ImportTownsTest, UnknownZoneLeavesPlaneCoordinatesEmpty) {
  const auto report = db::ImportTowns(folder_.path(), u"東京都", towns_);
  EXPECT_EQ(report.withoutZone, 1);
  const Rows rows =
      Query(Region(), "select fld座標系番号, fldＸ座標, fldＹ座標, fld緯度 from BLK13999");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_FALSE(rows[0][0].has_value());
  EXPECT_FALSE(rows[0][1].has_value());
  EXPECT_FALSE(rows[0][2].has_value());
  EXPECT_EQ(rows[0][3].value_or(u""), u"35.6");
}

TEST_F(ImportTownsTest, PrefectureFilterKeepsOnlyThatPrefecture) {
  for (const std::u16string filter : {u"北海道", u"北海"}) {
    DataFolder other;
    db::CreateMainDatabase(other.path(), BundledData("prefectures.csv"));
    const auto report = db::ImportTowns(other.path(), u"北海道", towns_, filter);
    EXPECT_EQ(report.towns, 1) << U8(filter);
    EXPECT_EQ(Number(other.File("北海道.sqlite"), "select count(*) from POSITION"), 1);
  }
  EXPECT_NE(ImportFailure([&] {
              db::ImportTowns(folder_.path(), u"x", towns_, u"大阪府");
            }).find(u"no towns"),
            std::u16string::npos);
}

TEST_F(ImportTownsTest, RegionListGetsNextFreeNumberOnce) {
  {
    auto main = db::Connection::Open(db::PathText(Main()));
    ASSERT_TRUE(main);
    ASSERT_TRUE(main->Execute("insert into ＤＢ一覧 values ('大阪府', 1), ('神奈川県', 5)"));
  }
  EXPECT_EQ(db::ImportTowns(folder_.path(), u"東京都", towns_).regionId, 6);
  // The second import of the same file adds neither a list entry nor rows.
  const auto again = db::ImportTowns(folder_.path(), u"東京都", towns_);
  EXPECT_EQ(again.regionId, 6);
  EXPECT_EQ(again.townsAdded, 0);
  EXPECT_EQ(again.blockRows, 0);
  EXPECT_EQ(again.keptBlocks, 6);
  EXPECT_EQ(Number(Main(), "select count(*) from ＤＢ一覧 where fldDbName = '東京都'"), 1);
  EXPECT_EQ(Number(Main(), "select count(*) from ＤＢ一覧"), 3);
  EXPECT_EQ(Number(Region(), "select count(*) from POSITION"), 6);
  EXPECT_EQ(Number(Region(), "select count(*) from BLK13101"), 2);
}

// A bad line in the middle stops the import before anything is stored: the region database keeps
// its rows, the region list stays as it was, and a region file made by the failed import is gone.
TEST_F(ImportTownsTest, FailedImportLeavesDatabasesUnchanged) {
  db::ImportTowns(folder_.path(), u"東京都", towns_);
  auto lines = kTowns;
  lines.insert(lines.begin() + 3,
               Row(u"東京都", u"13102", u"中央区", u"銀座一丁目", u"", u"abc", u"139.77"));
  lines.push_back(Row(u"東京都", u"13102", u"中央区", u"銀座二丁目", u"", u"35.67", u"139.77"));
  const auto bad = folder_.File("bad.csv");
  WriteUtf8Lines(bad, lines);

  const std::u16string message =
      ImportFailure([&] { db::ImportTowns(folder_.path(), u"東京都", bad); });
  EXPECT_NE(message.find(u"line 4"), std::u16string::npos) << U8(message);
  EXPECT_EQ(Number(Region(), "select count(*) from POSITION"), 6);
  EXPECT_EQ(Number(Region(), "select count(*) from POSITION where fld市区町村名 = '中央区'"), 0);

  EXPECT_FALSE(ImportFailure([&] { db::ImportTowns(folder_.path(), u"大阪府", bad); }).empty());
  EXPECT_FALSE(fs::exists(folder_.File("大阪府.sqlite")));
  EXPECT_EQ(Number(Main(), "select count(*) from ＤＢ一覧"), 1);
}

// A write that fails after others succeeded (here a block table that cannot take rows) rolls
// back every row of the import and the region list entry it made.
TEST_F(ImportTownsTest, FailureWhileWritingRollsBackEverything) {
  db::ImportTowns(folder_.path(), u"東京都", towns_);
  {
    auto region = db::Connection::Open(db::PathText(Region()));
    ASSERT_TRUE(region);
    ASSERT_TRUE(region->Execute("create view BLK13102 as select * from BLK13101"));
  }
  const auto file = folder_.File("more.csv");
  WriteUtf8Lines(
      file,
      {kHeader, Row(u"東京都", u"13101", u"千代田区", u"大手町一丁目", u"", u"35.68", u"139.76"),
       Row(u"東京都", u"13102", u"中央区", u"銀座一丁目", u"", u"35.67", u"139.77")});
  const std::u16string message =
      ImportFailure([&] { db::ImportTowns(folder_.path(), u"東京都", file); });
  EXPECT_NE(message.find(u"BLK13102"), std::u16string::npos) << U8(message);
  EXPECT_EQ(Number(Region(), "select count(*) from POSITION"), 6);
  EXPECT_EQ(Number(Region(), "select count(*) from BLK13101"), 2);

  // Same for a region that the failed import would have added to the list.
  const auto osaka = folder_.File("大阪府.sqlite");
  {
    auto region = db::Connection::Create(db::PathText(osaka));
    ASSERT_TRUE(region);
    ASSERT_TRUE(region->Execute("create table x (a); create view BLK13102 as select * from x"));
  }
  EXPECT_FALSE(ImportFailure([&] { db::ImportTowns(folder_.path(), u"大阪府", file); }).empty());
  EXPECT_EQ(Number(Main(), "select count(*) from ＤＢ一覧"), 1);
  EXPECT_TRUE(fs::exists(osaka)) << "a database that existed before is kept";
  EXPECT_EQ(Number(osaka, "select count(*) from sqlite_master where name = 'POSITION'"), 0);
}

TEST_F(ImportTownsTest, MissingInputsAreReported) {
  struct Case {
    std::function<void()> action;
    std::u16string expected;
  };
  DataFolder empty;
  const std::vector<Case> cases = {
      {[&] { db::ImportTowns(folder_.path(), u"東京都", folder_.File("none.csv")); },
       u"none.csv: no such file"},
      {[&] { db::ImportTowns(empty.path(), u"東京都", towns_); }, u"mok2 db create"},
      {[&] { db::ImportTowns(folder_.path(), u"mok2", towns_); }, u"cannot be a region name"},
      {[&] { db::ImportTowns(folder_.path(), u"a/b", towns_); }, u"cannot be a region name"},
  };
  for (const auto& c : cases) {
    const std::u16string message = ImportFailure(c.action);
    EXPECT_NE(message.find(c.expected), std::u16string::npos)
        << "expected \"" << U8(c.expected) << "\" in \"" << U8(message) << "\"";
  }
  EXPECT_FALSE(fs::exists(empty.File("東京都.sqlite")));
}

TEST(ImportPlaneZone, ZonesOfPrefecturesIslandsAndHokkaido) {
  struct Case {
    std::u16string prefecture, city;
    double lat, lon;
    std::optional<int> zone;
  };
  const std::vector<Case> cases = {
      {u"東京都", u"千代田区", 35.68, 139.76, 9},
      {u"東京都", u"大島町", 34.75, 139.36, 9},
      {u"東京都", u"小笠原村", 27.07, 142.21, 14},  // 父島
      {u"東京都", u"小笠原村", 24.78, 141.32, 14},  // 硫黄島
      {u"東京都", u"小笠原村", 20.43, 136.08, 18},  // 沖ノ鳥島
      {u"東京都", u"小笠原村", 24.29, 153.98, 19},  // 南鳥島
      {u"大阪府", u"大阪市北区", 34.69, 135.50, 6},
      {u"長崎県", u"長崎市", 32.75, 129.87, 1},
      {u"鹿児島県", u"鹿児島市", 31.60, 130.56, 2},
      {u"鹿児島県", u"奄美市", 28.38, 129.49, 1},
      {u"鹿児島県", u"熊毛郡屋久島町", 30.34, 130.52, 2},
      {u"沖縄県", u"那覇市", 26.21, 127.68, 15},
      {u"沖縄県", u"石垣市", 24.34, 124.16, 16},
      {u"沖縄県", u"島尻郡南大東村", 25.85, 131.24, 17},
      {u"北海道", u"札幌市中央区", 43.06, 141.35, 12},
      {u"北海道", u"函館市", 41.77, 140.73, 11},
      {u"北海道", u"余市郡余市町", 43.19, 140.79, 11},
      {u"北海道", u"茅部郡森町", 42.11, 140.57, 11},
      {u"北海道", u"帯広市", 42.92, 143.20, 13},
      {u"北海道", u"河東郡音更町", 42.99, 143.20, 13},
      {u"北海道", u"網走市", 44.02, 144.27, 13},
      {u"北海道", u"紋別市", 44.36, 143.35, 12},  // オホーツク, but not of zone XIII
      {u"北海道", u"古宇郡泊村", 43.07, 140.50, 11},
      {u"北海道", u"国後郡泊村", 43.75, 145.50, 13},   // not 後志's 泊村
      {u"静岡県", u"駿東郡清水町", 35.10, 138.90, 8},  // not Hokkaido's 清水町
      {u"東京", u"千代田区", 35.68, 139.76, std::nullopt},
      {u"", u"", 35.68, 139.76, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(db::PlaneZone(c.prefecture, c.city, c.lat, c.lon), c.zone)
        << U8(c.prefecture) << U8(c.city) << " " << c.lat << " " << c.lon;
  }
}

// The town list as other editions and tools write it: with a byte order mark, in CP932, with the
// header 緯度（代表点）/経度（代表点）, xz-compressed. Each gives the same towns and points.
TEST(ImportTownVariants, EncodingsHeadersAndCompression) {
  struct Variant {
    const char* name;
    bool cp932 = false, bom = false, pointHeader = false, xz = false;
  };
  const Variant variants[] = {
      {.name = "UTF-8 with BOM", .bom = true},
      {.name = "CP932, other header", .cp932 = true, .pointHeader = true},
      {.name = "xz, UTF-8, other header", .pointHeader = true, .xz = true},
      {.name = "xz, CP932", .cp932 = true, .xz = true},
  };
  for (const Variant& v : variants) {
    std::u16string header = kHeader;
    if (v.pointHeader) {
      header.replace(header.find(u"緯度"), 2, u"緯度（代表点）");
      header.replace(header.find(u"経度"), 2, u"経度（代表点）");
    }
    std::string bytes = v.bom ? "\xEF\xBB\xBF" : "";
    for (const auto& line : {header, kTowns[1], kTowns[3], kTowns[4]})
      bytes += (v.cp932 ? text::EncodeCp932(line).value() : text::ToUtf8(line)) + "\r\n";
    DataFolder folder;
    db::CreateMainDatabase(folder.path(), BundledData("prefectures.csv"));
    const auto file = folder.File("towns.csv");
    WriteBytes(file, v.xz ? XzCompress(bytes) : bytes);
    const auto report = db::ImportTowns(folder.path(), u"東京都", file);
    EXPECT_EQ(report.towns, 2) << v.name;
    const Rows rows = Query(folder.File("東京都.sqlite"),
                            "select p.fld大字・町丁目, b.fld緯度 from POSITION p join BLK13361 b "
                            "on b.fldPositionID = p.fldID");
    ASSERT_EQ(rows.size(), 1u) << v.name;
    EXPECT_EQ(rows[0][0].value_or(u""), u"岡田") << v.name;
    EXPECT_EQ(rows[0][1].value_or(u""), u"34.778143") << v.name;
  }
}

// The first line that is not ASCII decides the encoding; a later line in another one, and a
// compressed file cut short, stop the import with the file named.
TEST(ImportTownVariants, MixedEncodingAndTruncatedXzAreReported) {
  DataFolder folder;
  db::CreateMainDatabase(folder.path(), BundledData("prefectures.csv"));
  const std::string utf8 = text::ToUtf8(kHeader + u"\n" + kTowns[1] + u"\n");
  const auto mixed = folder.File("mixed.csv");
  WriteBytes(mixed, utf8 + text::EncodeCp932(kTowns[2]).value() + "\n");
  const auto cut = folder.File("cut.csv.xz");
  const std::string xz = XzCompress(utf8);
  WriteBytes(cut, xz.substr(0, xz.size() - 20));
  for (const auto& [file, expected] : {std::pair{mixed, u"mixed.csv line 3: cannot decode"},
                                       std::pair{cut, u"cut.csv.xz: the compressed data"}}) {
    const std::u16string message =
        ImportFailure([&] { db::ImportTowns(folder.path(), u"東京都", file); });
    EXPECT_NE(message.find(expected), std::u16string::npos) << U8(message);
  }
  EXPECT_FALSE(fs::exists(folder.File("東京都.sqlite")));
}

// One town of every plane rectangular zone, imported together: each gets its zone, and its X/Y
// equal PROJ's for JGD2011 / Japan Plane Rectangular CS I..XIX (EPSG:6669..6687).
TEST(ImportTownZones, EveryZoneAgainstProj) {
  struct Town {
    std::u16string prefecture, code, city, town, lat, lon;
    int zone;
  };
  const std::vector<Town> towns = {
      {u"鹿児島県", u"46529", u"大島郡喜界町", u"大字志戸桶", u"28.363465", u"130.020827", 1},
      {u"鹿児島県", u"46201", u"鹿児島市", u"荒田一丁目", u"31.57545", u"130.550582", 2},
      {u"広島県", u"34101", u"広島市中区", u"榎町", u"34.396743", u"132.444904", 3},
      {u"高知県", u"39201", u"高知市", u"槙山町", u"33.537656", u"133.484459", 4},
      {u"兵庫県", u"28110", u"神戸市中央区", u"相生町一丁目", u"34.681967", u"135.179533", 5},
      {u"大阪府", u"27127", u"大阪市北区", u"曾根崎一丁目", u"34.698852", u"135.50308", 6},
      {u"愛知県", u"23106", u"名古屋市中区", u"葵一丁目", u"35.170061", u"136.921741", 7},
      {u"新潟県", u"15103", u"新潟市中央区", u"上大川前通一番町", u"37.914832", u"139.042725", 8},
      {u"東京都", u"13101", u"千代田区", u"飯田橋一丁目", u"35.69847", u"139.749414", 9},
      {u"宮城県", u"04101", u"仙台市青葉区", u"ニッカ", u"38.309684", u"140.650243", 10},
      {u"北海道", u"01233", u"伊達市", u"旭町", u"42.465988", u"140.867344", 11},
      {u"北海道", u"01101", u"札幌市中央区", u"旭ケ丘一丁目", u"43.04223", u"141.319722", 12},
      {u"北海道", u"01207", u"帯広市", u"上帯広町基線", u"42.787082", u"143.06174", 13},
      {u"東京都", u"13421", u"小笠原村", u"硫黄島", u"24.779258", u"141.319783", 14},
      {u"沖縄県", u"47201", u"那覇市", u"字上之屋", u"26.229674", u"127.683866", 15},
      {u"沖縄県", u"47207", u"石垣市", u"字伊原間", u"24.513841", u"124.285419", 16},
      {u"沖縄県", u"47357", u"島尻郡南大東村", u"字北", u"25.858553", u"131.235392", 17},
      {u"東京都", u"13421", u"小笠原村", u"沖ノ鳥島", u"20.425604", u"136.081143", 18},
      {u"東京都", u"13421", u"小笠原村", u"南鳥島", u"24.28917", u"153.980589", 19},
  };
  DataFolder folder;
  db::CreateMainDatabase(folder.path(), BundledData("prefectures.csv"));
  std::vector<std::u16string> lines = {kHeader};
  for (const Town& t : towns)
    lines.push_back(Row(t.prefecture, t.code, t.city, t.town, u"", t.lat, t.lon));
  WriteUtf8Lines(folder.File("zones.csv"), lines);
  db::ImportTowns(folder.path(), u"全国", folder.File("zones.csv"));

  PJ_CONTEXT* context = proj_context_create();
  for (const Town& t : towns) {
    const std::string epsg = "EPSG:" + std::to_string(6669 + t.zone - 1);
    PJ* pj = proj_create_crs_to_crs(context, "EPSG:6668", epsg.c_str(), nullptr);
    ASSERT_NE(pj, nullptr) << epsg;
    const PJ_COORD xy =
        proj_trans(pj, PJ_FWD, proj_coord(std::stod(U8(t.lat)), std::stod(U8(t.lon)), 0, 0));
    proj_destroy(pj);
    const Rows rows = Query(
        folder.File("全国.sqlite"),
        "select b.fld座標系番号, b.fldＸ座標, b.fldＹ座標 from POSITION p join BLK" + U8(t.code) +
            " b on b.fldPositionID = p.fldID where "
            "p.fld大字・町丁目 = '" +
            U8(t.town) + "'");
    ASSERT_EQ(rows.size(), 1u) << U8(t.town);
    EXPECT_EQ(rows[0][0].value_or(u""), text::FromUtf8(std::to_string(t.zone))) << U8(t.town);
    EXPECT_NEAR(std::stod(U8(rows[0][1].value_or(u"0"))), xy.v[0], 0.001) << U8(t.town);
    EXPECT_NEAR(std::stod(U8(rows[0][2].value_or(u"0"))), xy.v[1], 0.001) << U8(t.town);
  }
  proj_context_destroy(context);
}

}  // namespace
}  // namespace mok::import_test
