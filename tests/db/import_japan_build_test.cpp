// The nationwide build: a region per prefecture and 全国 from one town list and one KEN_ALL file,
// an existing folder's main database kept, and a failed build leaving the folder as it was.
#include <set>

#include "db/import/build_lock.h"
#include "db/import/japan_build.h"
#include "db/import/staged_database.h"
#include "db/import/staged_files.h"
#include "import_test_support.h"

namespace mok::import_test {
namespace {

// Two prefectures with a 伊達市 each (plane zones XI and IX), Tokyo, and postal codes of these and
// of 大阪府, which has no towns.
struct JapanBuildTest : ::testing::Test {
  JapanBuildTest() {
    WriteBytes(inputs.towns,
               XzCompress(Encode({kTownHeader, u"北海道,01233,伊達市,旭町,,42.465988,140.867344",
                                  u"北海道,01101,札幌市中央区,旭ケ丘一丁目,,43.04223,141.319722",
                                  u"福島県,07213,伊達市,荒町,,37.814588,140.503767",
                                  u"東京都,13101,千代田区,飯田橋一丁目,,35.69847,139.749414"},
                                 false)));
    WriteBytes(
        inputs.postal,
        KenAll({"01233|0520000|北海道|伊達市|旭町", "07213|9600000|福島県|伊達市|荒町",
                "13101|1020072|東京都|千代田区|飯田橋", "27127|5300000|大阪府|大阪市北区|曾根崎"}));
    // A residence of 飯田橋一丁目, which goes to 東京都 and 全国 only.
    WriteBytes(inputs.registry[0],
               Encode({u"lg_code,machiaza_id,blk_id,rsdt_id,rsdt2_id,city,ward,oaza_cho,chome,"
                       u"koaza,blk_num,rsdt_num,rsdt_num2",
                       u"131016,0004001,001,001,,千代田区,,飯田橋,１丁目,,1,1,"},
                      false));
    WriteBytes(inputs.registry[1],
               Encode({u"lg_code,machiaza_id,blk_id,rsdt_id,rsdt2_id,rep_lon,rep_lat",
                       u"131016,0004001,001,001,,139.7494,35.6985"},
                      false));
  }
  fs::path Db(const std::string& name) const { return out.path() / (name + ".sqlite"); }
  std::set<std::string> Files() const {
    std::set<std::string> names;
    // The lock file stays, empty (build_lock.h).
    for (const auto& entry : fs::directory_iterator(out.path())) {
      if (entry.path().filename() != "build.lock")
        names.insert(entry.path().filename().string());
    }
    return names;
  }
  TempFolder in, out;
  db::JapanBuildInputs inputs{BundledData("prefectures.csv"),
                              in.path() / "towns.csv.xz",
                              in.path() / "KEN_ALL.CSV",
                              {in.path() / "mt_rsdtdsp_rsdt_city131016.csv",
                               in.path() / "mt_rsdtdsp_rsdt_pos_city131016.csv"}};
};

TEST_F(JapanBuildTest, OneRegionPerPrefectureAndTheWholeCountry) {
  std::set<std::u16string> built;
  const auto report = db::BuildJapan(out.path(), inputs, {.threads = 2},
                                     [&](const auto& region) { built.insert(region.region); });
  EXPECT_TRUE(report.createdMainDatabase);
  EXPECT_EQ(built, (std::set<std::u16string>{u"北海道", u"福島県", u"東京都", u"全国"}));
  EXPECT_EQ(Files(), (std::set<std::string>{"mok2.sqlite", "北海道.sqlite", "福島県.sqlite",
                                            "東京都.sqlite", "全国.sqlite"}));
  EXPECT_EQ(Rows(Db("mok2"), "select * from ＤＢ一覧 order by fldID"),
            (Strings{"北海道|1", "福島県|2", "東京都|3", "全国|4"}));
  const std::string towns = "select group_concat(fld都道府県名 || fld市区町村名) from POSITION";
  const std::string postal = "select group_concat(fld市区町村) from POST";
  EXPECT_EQ(Value(Db("北海道"), towns), "北海道伊達市,北海道札幌市中央区");
  EXPECT_EQ(Value(Db("福島県"), towns), "福島県伊達市");
  EXPECT_EQ(Rows(Db("福島県"), postal), Strings{"伊達市"});
  EXPECT_EQ(Value(Db("全国"), "select count(*) from POSITION"), "4");
  EXPECT_EQ(Value(Db("全国"), postal), "伊達市,伊達市,千代田区,大阪市北区");
  // Each 伊達市 in the plane zone of its own prefecture.
  EXPECT_EQ(Value(Db("全国"), "select fld座標系番号 from BLK01233"), "11");
  EXPECT_EQ(Value(Db("全国"), "select fld座標系番号 from BLK07213"), "9");
  const std::string residences = "select count(*) from 住居";
  EXPECT_EQ(Value(Db("東京都"), residences) + Value(Db("全国"), residences) +
                Value(Db("北海道"), residences),
            "110");
}

// An existing main database keeps its learning dictionary and region numbers; region databases
// that exist are replaced only with force.
TEST_F(JapanBuildTest, ExistingFolderKeepsLearnedWordsAndReplacesOnlyWithForce) {
  db::CreateMainDatabase(out.path(), inputs.prefectures);
  ASSERT_TRUE(db::Connection::Open(db::PathText(Db("mok2")))
                  ->Execute("insert into ＤＢ一覧 values ('東京都', 7);"
                            "insert into 学習 (fldDbNo, fldType, fld登録字句, fld変換字句) "
                            "values (7, 2, '千代田', '千代田区')"));
  WriteBytes(Db("東京都"), "old");
  EXPECT_THAT(ImportFailure([&] { db::BuildJapan(out.path(), inputs); }),
              HasSubstr("already exists"));
  EXPECT_EQ(Files(), (std::set<std::string>{"mok2.sqlite", "東京都.sqlite"}));

  EXPECT_FALSE(db::BuildJapan(out.path(), inputs, {.force = true}).createdMainDatabase);
  EXPECT_EQ(Rows(Db("mok2"), "select * from ＤＢ一覧 order by fldID"),
            (Strings{"東京都|7", "北海道|8", "福島県|9", "全国|10"}));
  EXPECT_EQ(Value(Db("mok2"), "select count(*) from 学習"), "1");
  EXPECT_EQ(Value(Db("東京都"), "select count(*) from POSITION"), "1");
}

// A failure while reading, or while one region file is built, leaves no file behind: no region
// file, no temporary file, no main database.
TEST_F(JapanBuildTest, FailedBuildLeavesTheFolderAsItWas) {
  auto bad = inputs;
  bad.postal = in.path() / "BAD.CSV";
  WriteBytes(bad.postal,
             KenAll({"13101|1020072|東京都|千代田区|飯田橋", "99999|9999999|架空県|どこか市"}));
  EXPECT_THAT(ImportFailure([&] { db::BuildJapan(out.path(), bad); }),
              HasSubstr("line 2: \"架空県\" is not a prefecture"));
  EXPECT_TRUE(Files().empty());

  // 全国's temporary file cannot be made (a folder is in the way) while the others are built.
  fs::create_directories(Db("全国") += ".new/x");
  EXPECT_NE(ImportFailure([&] { db::BuildJapan(out.path(), inputs); }), "");
  EXPECT_EQ(Files(), (std::set<std::string>{"全国.sqlite.new"}));
}

// Issue 20, faults G2 and G7: a second build of a folder is refused while one runs; a stopped
// build's temporary files are removed and no further one is made.
TEST_F(JapanBuildTest, OneBuildAtATimeAndAStopRemovesTheTemporaryFiles) {
  {
    const db::BuildLock running(out.path());
    EXPECT_THAT(ImportFailure([&] { db::BuildJapan(out.path(), inputs, {.force = true}); }),
                HasSubstr("another build is running in"));
    EXPECT_TRUE(Files().empty());
  }
  EXPECT_EQ(db::BuildJapan(out.path(), inputs, {.force = true}).regions.size(), 4u);

  EXPECT_EXIT(
      {
        db::StagedDatabase staged(Db("東京都"));
        db::StagedFiles::Discard();
        const bool removed = !fs::exists(Db("東京都") += ".new");
        const bool refused = ImportFailure([&] { db::StagedDatabase(Db("全国")); }) != "";
        std::exit(removed && refused && !fs::exists(Db("全国") += ".new") ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace mok::import_test
