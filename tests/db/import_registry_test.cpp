// The import of Address Base Registry files: the bundled 文京区 and 和歌山市 files give the
// registry's own points, a block its residences' centre; malformed, unmatched and pointless rows
// are reported; a position file needs its master; importing a municipality again replaces it.
#include "db/address_database.h"
#include "db/import/registry_import.h"
#include "db/import/town_import.h"
#include "db/residence_key.h"
#include "import_test_support.h"

namespace mok::import_test {
namespace {

using db::RegistryKind;
constexpr char16_t kRegion[] = u"テスト";

struct ImportRegistryTest : DataFolderTest {
  ImportRegistryTest() {
    WriteBytes(dir / "towns.csv",
               Encode({kTownHeader, u"東京都,13105,文京区,白山一丁目,,35.7206,139.7494",
                       u"和歌山県,30201,和歌山市,葵町,,34.21,135.16"},
                      false));
    db::ImportTowns(dir, kRegion, dir / "towns.csv");
  }
  static fs::path Abr(const std::string& name) { return BundledData("abr/" + name + ".csv.zip"); }

  // The town's POSITION row in the imported region.
  engine::TownPosition Town(const std::u16string& city, const std::u16string& town) {
    if (!database.IsOpen()) {
      EXPECT_TRUE(database.Open(text::FromUtf8(dir.string())).ok());
      EXPECT_TRUE(database.SelectRegion(kRegion).ok());
    }
    auto found = database.FindTownPosition(city == u"文京区" ? u"東京都" : u"和歌山県", city, town);
    EXPECT_TRUE(found.ok() && found->has_value()) << text::ToUtf8(town);
    return found.ok() && *found ? **found : engine::TownPosition{};
  }
  // "zone X Y latitude longitude", "-" when there is no such point.
  template <class Found>
  static std::string Shown(const Found& found) {
    if (!found.ok())
      return text::ToUtf8(found.error().Text());
    if (!*found)
      return "-";
    const db::StoredPoint& p = [&]() -> const db::StoredPoint& {
      if constexpr (std::is_same_v<std::decay_t<decltype(**found)>, db::BlockPoint>)
        return (*found)->point;
      else
        return **found;
    }();
    return text::ToUtf8(p.coordSystemNo + u" " + p.x + u" " + p.y + u" " + p.latitude + u" " +
                        p.longitude);
  }
  db::AddressDatabase database;
};

// Every residence and parcel of the region's towns at the registry's point, with plane X/Y of
// its zone; block 1 of 白山一丁目 at the centre of its ten residences; rows of towns the region
// lacks are counted by town, rows without a point and the repeated point of 和歌山市 too.
TEST_F(ImportRegistryTest, BundledFilesGiveTheRegistrysOwnPoints) {
  const auto r =
      db::ImportRegistry(dir, kRegion,
                         {Abr("mt_rsdtdsp_rsdt_pos_pref13"), Abr("mt_rsdtdsp_rsdt_pref13"),
                          Abr("mt_rsdtdsp_rsdt_pref30"), Abr("mt_rsdtdsp_rsdt_pos_pref30"),
                          Abr("mt_parcel_city302015"), Abr("mt_parcel_pos_city302015")});
  EXPECT_EQ(r.written.Of(RegistryKind::Residence).stored, 546 + 283);
  EXPECT_EQ(r.written.Of(RegistryKind::Parcel).stored, 264);
  EXPECT_EQ(r.read.Of(RegistryKind::Parcel).withoutPosition, 249'683);
  EXPECT_EQ(r.read.Of(RegistryKind::Residence).duplicatePositions, 1);
  EXPECT_EQ(r.read.malformed.count, 0);
  EXPECT_THAT(
      r.written.unmatchedTowns,
      testing::Contains(std::make_pair(std::u16string(u"東京都 文京区 白山二丁目"), int64_t{525})));
  EXPECT_EQ(r.written.blocks.derived, 37 + 11);

  const auto hakusan = Town(u"文京区", u"白山一丁目");
  EXPECT_EQ(Shown(database.FindResidence(hakusan, u"1", u"１", std::nullopt)),
            "9 -31599.842 -7319.329 35.715149108 139.752436911");
  EXPECT_EQ(Shown(database.FindResidence(hakusan, u"1", u"999", std::nullopt)), "-");
  EXPECT_EQ(Shown(database.FindParcel(Town(u"和歌山市", u"葵町"), u"103", u"3", std::nullopt)),
            "6 -197980.873 -77124.823 34.212431111 135.163016581");
  const auto block = database.FindBlock(hakusan, u"1");
  EXPECT_EQ(Shown(block), "9 -31580.764 -7327.460 35.715321008 139.752346865");
  EXPECT_TRUE(block.ok() && *block && (*block)->derived);
  const auto nearest = database.FindNearestBlock(hakusan, 99);
  EXPECT_EQ(nearest.ok() && *nearest ? text::ToUtf8(*(*nearest)->number) : "", "37");
}

// Residences of 白山一丁目 in files of this test's own: lines as "ids | names | numbers | point".
struct HandMadeRegistry : ImportRegistryTest {
  void Write(const std::vector<std::u16string>& master, const std::vector<std::u16string>& points) {
    std::vector<std::u16string> m{
        u"lg_code,machiaza_id,blk_id,rsdt_id,rsdt2_id,city,ward,oaza_cho,chome,koaza,blk_num,"
        u"rsdt_num,rsdt_num2"};
    m.insert(m.end(), master.begin(), master.end());
    std::vector<std::u16string> p{
        u"lg_code,machiaza_id,blk_id,rsdt_id,rsdt2_id,rep_lon,rep_lat,rep_srid"};
    p.insert(p.end(), points.begin(), points.end());
    WriteBytes(masterFile, Encode(m, false));
    WriteBytes(positionFile, Encode(p, false));
  }
  db::RegistryImportReport Import() {
    return db::ImportRegistry(dir, kRegion, {masterFile, positionFile});
  }
  const fs::path masterFile = dir / "mt_rsdtdsp_rsdt_city131059.csv";
  const fs::path positionFile = dir / "mt_rsdtdsp_rsdt_pos_city131059.csv";
};

TEST_F(HandMadeRegistry, ReportsWhatItLeavesOutAndReplacesOnImportingAgain) {
  Write({u"131059,0001001,001,001,,文京区,,白山,１丁目,,1,1,",
         u"131059,0001001,001,002,,文京区,,白山,１丁目,,1,2,",
         u"131059,0001001,002,003,001,文京区,,白山,１丁目,,2,3,1",
         u"131059,0001001,002,003,,文京区,,白山,１丁目,,2,3,",
         u"13105X,0001001,002,004,,文京区,,白山,１丁目,,2,4,",
         u"131059,0009001,001,001,,文京区,,白山,９丁目,,1,1,",
         u"131059,0001001,003,001,,文京区,,白山,１丁目,,3,1,"},
        {u"131059,0001001,001,001,,139.7500,35.7100,EPSG:6668",
         u"131059,0001001,001,002,,139.7502,35.7102,EPSG:6668",
         u"131059,0001001,002,003,001,139.7510,35.7110,EPSG:6668",
         u"131059,0001001,002,003,,139.7512,35.7112,",
         u"131059,0009001,001,001,,139.7600,35.7200,EPSG:6668",
         u"131059,0001001,009,009,,139.7600,35.7200,EPSG:6668"});
  auto r = Import();
  EXPECT_EQ(r.written.Of(RegistryKind::Residence).stored, 4);
  EXPECT_EQ(r.read.malformed.count, 1);
  EXPECT_THAT(text::ToUtf8(r.read.malformed.examples.at(0)),
              HasSubstr("mt_rsdtdsp_rsdt_city131059.csv line 6: lg_code \"13105X\""));
  EXPECT_EQ(r.written.unmatchedTowns,
            (std::vector<std::pair<std::u16string, int64_t>>{{u"東京都 文京区 白山九丁目", 1}}));
  EXPECT_EQ(r.read.Of(RegistryKind::Residence).withoutPosition, 1);
  EXPECT_EQ(r.read.Of(RegistryKind::Residence).positionsWithoutMaster, 1);
  const auto town = Town(u"文京区", u"白山一丁目");
  // Without its 住居番号2 the residence that has none comes first.
  EXPECT_THAT(Shown(database.FindResidence(town, u"2", u"3", std::nullopt)),
              HasSubstr("35.7112 139.7512"));
  EXPECT_THAT(Shown(database.FindResidence(town, u"2", u"3", u"1")), HasSubstr("35.7110 139.7510"));
  EXPECT_THAT(Shown(database.FindBlock(town, u"１")), HasSubstr("35.710100000 139.750100000"));
  database.Close();

  // Again with one residence: the earlier residences and derived blocks go.
  Write({u"131059,0001001,001,001,,文京区,,白山,１丁目,,1,1,"},
        {u"131059,0001001,001,001,,139.7504,35.7104,EPSG:6668"});
  r = Import();
  EXPECT_EQ(r.written.Of(RegistryKind::Residence).replaced, 4);
  EXPECT_EQ(r.written.blocks.removed, 2);
  EXPECT_EQ(r.written.blocks.derived, 1);
  EXPECT_EQ(Shown(database.FindResidence(Town(u"文京区", u"白山一丁目"), u"2", u"3", std::nullopt)),
            "-");
  EXPECT_THAT(Shown(database.FindBlock(town, u"1")), HasSubstr("35.710400000 139.750400000"));
  // The town's representative row and block 1.
  EXPECT_EQ(Value(dir / "テスト.sqlite", "select count(*) from BLK13105"), "2");
}

// A residence is found by its key where its numbers make one, else by its numbers: known only
// with 住居番号2, numbers that are no plain number or too large for a key, the second row of the
// same numbers (the first of the files keeps the key). A full-width or zero-led number finds the
// same row as the plain one. The same answers whether the reads of a run are held (the points
// then read through one blob handle, which a missing residence closes) or not.
TEST_F(HandMadeRegistry, ResidencesWithAndWithoutAKeyAreFound) {
  Write(
      {u"131059,0001001,001,001,,文京区,,白山,１丁目,,1,1,",
       u"131059,0001001,002,001,001,文京区,,白山,１丁目,,2,1,1",
       u"131059,0001001,003,001,,文京区,,白山,１丁目,,3,ロ,",
       u"131059,0001001,004,001,,文京区,,白山,１丁目,,4,70000,",
       u"131059,0001001,001,002,,文京区,,白山,１丁目,,1,256,",
       u"131059,0001001,001,003,,文京区,,白山,１丁目,,1,01,"},
      {u"131059,0001001,001,001,,139.7501,35.7101,",
       u"131059,0001001,002,001,001,139.7502,35.7102,",
       u"131059,0001001,003,001,,139.7503,35.7103,", u"131059,0001001,004,001,,139.7504,35.7104,",
       u"131059,0001001,001,002,,139.7505,35.7105,", u"131059,0001001,001,003,,139.7506,35.7106,"});
  EXPECT_EQ(Import().written.Of(RegistryKind::Residence).stored, 6);
  const auto town = Town(u"文京区", u"白山一丁目");
  const std::pair<std::pair<std::u16string, std::u16string>, std::string> cases[] = {
      {{u"1", u"1"}, "35.7101 139.7501"},
      {{u"０１", u"１"}, "35.7101 139.7501"},
      {{u"2", u"1"}, "35.7102 139.7502"},
      {{u"3", u"ﾛ"}, "35.7103 139.7503"},
      {{u"4", u"70000"}, "35.7104 139.7504"},
      {{u"1", u"256"}, "35.7105 139.7505"},
      {{u"1", u"0"}, "-"},
      {{u"5", u"4464"}, "-"},
      {{u"1", u"1"}, "35.7101 139.7501"}};
  for (const bool held : {false, true}) {
    database.HoldReads(held);
    database.BeginAddress();
    for (const auto& [numbers, point] : cases) {
      EXPECT_THAT(
          Shown(database.FindResidence(town, numbers.first, numbers.second, std::nullopt)),
          point == "-" ? testing::Matcher<std::string>(testing::Eq(point)) : HasSubstr(point))
          << text::ToUtf8(numbers.first + u"-" + numbers.second) << " held " << held;
    }
  }
}

// A file made before 住居位置 kept each residence's point in columns of 住居: it is read as it
// is, and the next import moves the points, so that the residences it does not replace keep them.
TEST_F(HandMadeRegistry, ResidencePointsOfAnOlderFileAreReadAndMovedByTheNextImport) {
  Write({u"131059,0001001,001,001,,文京区,,白山,１丁目,,1,1,"},
        {u"131059,0001001,001,001,,139.7501,35.7101,"});
  Import();
  const auto aoi = Town(u"和歌山市", u"葵町");
  database.Close();
  const fs::path file = dir / "テスト.sqlite";
  {
    auto db = db::Connection::Open(text::FromUtf8(file.string()));
    ASSERT_TRUE(db->Execute(
        "drop table 住居; drop table 住居位置;"
        "create table 住居 (fldKey integer primary key, fldPositionID integer not null,"
        " fld街区符号 text not null collate nocase, fld住居番号 text not null collate nocase,"
        " fld住居番号2 text collate nocase, fld座標系番号 text, fldＸ座標 text, fldＹ座標 text,"
        " fld緯度 text, fld経度 text);"
        "insert into 住居 values (" +
        std::to_string(*db::ResidenceKey(aoi.id, u"1", u"2")) + ", " + std::to_string(aoi.id) +
        ", '1', '2', null, '6', '-1.5', null, '34.2', '135.1')"));
  }
  for (const bool held : {false, true}) {
    database.HoldReads(held);
    database.BeginAddress();
    EXPECT_EQ(Shown(database.FindResidence(Town(u"和歌山市", u"葵町"), u"1", u"2", std::nullopt)),
              "6 -1.5  34.2 135.1");
  }
  database.Close();

  Import();
  EXPECT_EQ(Value(file, "select count(*) from pragma_table_info('住居') where name = 'fld経度'"),
            "0");
  database.HoldReads(true);
  database.BeginAddress();
  EXPECT_EQ(Shown(database.FindResidence(Town(u"和歌山市", u"葵町"), u"1", u"2", std::nullopt)),
            "6 -1.5  34.2 135.1");
  EXPECT_THAT(
      Shown(database.FindResidence(Town(u"文京区", u"白山一丁目"), u"1", u"1", std::nullopt)),
      HasSubstr("35.7101 139.7501"));
}

// With the registry's block files, a block has the registry's point; the others the centre of
// their residences.
TEST_F(HandMadeRegistry, TheRegistrysBlockPointBeforeTheResidencesCentre) {
  Write(
      {u"131059,0001001,001,001,,文京区,,白山,１丁目,,1,1,",
       u"131059,0001001,002,001,,文京区,,白山,１丁目,,2,1,"},
      {u"131059,0001001,001,001,,139.7500,35.7100,", u"131059,0001001,002,001,,139.7510,35.7110,"});
  WriteBytes(dir / "mt_rsdtdsp_blk_city131059.csv",
             Encode({u"lg_code,machiaza_id,blk_id,city,ward,oaza_cho,chome,koaza,blk_num",
                     u"131059,0001001,002,文京区,,白山,１丁目,,2"},
                    false));
  WriteBytes(dir / "mt_rsdtdsp_blk_pos_city131059.csv",
             Encode({u"lg_code,machiaza_id,blk_id,rep_lon,rep_lat",
                     u"131059,0001001,002,139.7520,35.7120"},
                    false));
  const auto r =
      db::ImportRegistry(dir, kRegion,
                         {masterFile, positionFile, dir / "mt_rsdtdsp_blk_city131059.csv",
                          dir / "mt_rsdtdsp_blk_pos_city131059.csv"});
  EXPECT_EQ(r.written.blocks.registry + 10 * r.written.blocks.derived, 11);
  const auto town = Town(u"文京区", u"白山一丁目");
  const auto own = database.FindBlock(town, u"2");
  EXPECT_THAT(Shown(own), HasSubstr("35.7120 139.7520"));
  EXPECT_TRUE(own.ok() && *own && !(*own)->derived);
  EXPECT_THAT(Shown(database.FindBlock(town, u"1")), HasSubstr("35.710000000 139.750000000"));
}

TEST_F(HandMadeRegistry, AFileWithoutItsPartnerIsAnError) {
  Write({}, {});
  EXPECT_THAT(ImportFailure([&] { db::ImportRegistry(dir, kRegion, {positionFile}); }),
              HasSubstr("a position file without its master file (mt_rsdtdsp_rsdt_city131059"));
  EXPECT_THAT(ImportFailure([&] { db::ImportRegistry(dir, kRegion, {masterFile}); }),
              HasSubstr("a master file without its position file"));
}

}  // namespace
}  // namespace mok::import_test
