#include <gtest/gtest.h>

#include <set>

#include "db/import/japan_build.h"
#include "db/import/main_database_import.h"
#include "import_test_support.h"

namespace mok::import_test {
namespace {

std::u16string TownRow(const std::u16string& pref, const std::u16string& code,
                       const std::u16string& city, const std::u16string& town,
                       const std::u16string& point) {
  return u"\"\",\"" + pref + u"\",,,\"" + code + u"\",\"" + city + u"\",,,\"" + town + u"\",,,," +
         point;
}

std::u16string KenAllRow(const std::u16string& code, const std::u16string& pref,
                         const std::u16string& city, const std::u16string& place) {
  return code + u",\"100  \",\"1000000\",\"ｶﾅ\",\"ｼ\",\"ﾁ\",\"" + pref + u"\",\"" + city +
         u"\",\"" + place + u"\",0,0,0,0,0,0";
}

// Two prefectures with a 伊達市 each (plane zones XI and IX), Tokyo, and postal codes of these and
// of 大阪府, which has no towns.
class JapanBuildTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string towns = text::ToUtf8(
        u"\"都道府県コード\",\"都道府県名\",\"都道府県名カナ\",\"都道府県名ローマ字\","
        u"\"市区町村コード\",\"市区町村名\",\"市区町村名カナ\",\"市区町村名ローマ字\","
        u"\"大字町丁目名\",\"大字町丁目名カナ\",\"大字町丁目名ローマ字\",\"小字・通称名\","
        u"\"緯度\",\"経度\"\n");
    for (const auto& row :
         {TownRow(u"北海道", u"01233", u"伊達市", u"旭町", u"42.465988,140.867344"),
          TownRow(u"北海道", u"01101", u"札幌市中央区", u"旭ケ丘一丁目", u"43.04223,141.319722"),
          TownRow(u"福島県", u"07213", u"伊達市", u"荒町", u"37.814588,140.503767"),
          TownRow(u"東京都", u"13101", u"千代田区", u"飯田橋一丁目", u"35.69847,139.749414")}) {
      towns += text::ToUtf8(row) + "\n";
    }
    WriteBytes(inputs_.towns, XzCompress(towns));
    WriteCp932Lines(inputs_.postal, {KenAllRow(u"01233", u"北海道", u"伊達市", u"旭町"),
                                     KenAllRow(u"07213", u"福島県", u"伊達市", u"荒町"),
                                     KenAllRow(u"13101", u"東京都", u"千代田区", u"飯田橋"),
                                     KenAllRow(u"27127", u"大阪府", u"大阪市北区", u"曾根崎")});
  }
  fs::path Db(const std::string& name) const { return out_.File(name + ".sqlite"); }
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(out_.path()))
      names.insert(entry.path().filename().string());
    return names;
  }

  DataFolder in_, out_;
  db::JapanBuildInputs inputs_{BundledData("prefectures.csv"), in_.File("towns.csv.xz"),
                               in_.File("KEN_ALL.CSV")};
};

TEST_F(JapanBuildTest, OneRegionPerPrefectureAndTheWholeCountry) {
  std::set<std::u16string> built;
  const auto report = db::BuildJapan(out_.path(), inputs_, {.threads = 2},
                                     [&](const auto& region) { built.insert(region.region); });
  EXPECT_TRUE(report.createdMainDatabase);
  EXPECT_EQ(built, (std::set<std::u16string>{u"北海道", u"福島県", u"東京都", u"全国"}));
  EXPECT_EQ(Files(), (std::set<std::string>{"mok2.sqlite", "北海道.sqlite", "福島県.sqlite",
                                            "東京都.sqlite", "全国.sqlite"}));
  const Rows list = Query(Db("mok2"), "select fldDbName, fldID from ＤＢ一覧 order by fldID");
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0], (Rows::value_type{u"北海道", u"1"}));
  EXPECT_EQ(list[3], (Rows::value_type{u"全国", u"4"}));

  struct Region {
    std::string name;
    long long towns, postal;
  };
  for (const Region& r : {Region{"北海道", 2, 1}, Region{"福島県", 1, 1}, Region{"東京都", 1, 1},
                          Region{"全国", 4, 4}}) {
    EXPECT_EQ(Number(Db(r.name), "select count(*) from POSITION"), r.towns) << r.name;
    EXPECT_EQ(Number(Db(r.name), "select count(*) from POST"), r.postal) << r.name;
  }
  EXPECT_EQ(Scalar(Db("福島県"), "select group_concat(fld都道府県名) from POSITION"), u"福島県");
  // Each 伊達市 in the plane zone of its own prefecture.
  EXPECT_EQ(Scalar(Db("全国"), "select fld座標系番号 from BLK01233"), u"11");
  EXPECT_EQ(Scalar(Db("全国"), "select fld座標系番号 from BLK07213"), u"9");
}

// An existing main database keeps its learning dictionary and region numbers; region databases
// that exist are replaced only with force.
TEST_F(JapanBuildTest, ExistingFolderKeepsLearnedWordsAndReplacesOnlyWithForce) {
  db::CreateMainDatabase(out_.path(), inputs_.prefectures);
  {
    auto main = db::Connection::Open(db::PathText(Db("mok2")));
    ASSERT_TRUE(main);
    ASSERT_TRUE(
        main->Execute("insert into ＤＢ一覧 values ('東京都', 7);"
                      "insert into 学習 (fldDbNo, fldType, fld登録字句, fld変換字句) "
                      "values (7, 2, '千代田', '千代田区')"));
  }
  WriteBytes(Db("東京都"), "old");
  EXPECT_NE(ImportFailure([&] { db::BuildJapan(out_.path(), inputs_); }).find(u"already exists"),
            std::u16string::npos);
  EXPECT_EQ(Files(), (std::set<std::string>{"mok2.sqlite", "東京都.sqlite"}));

  const auto report = db::BuildJapan(out_.path(), inputs_, {.force = true});
  EXPECT_FALSE(report.createdMainDatabase);
  EXPECT_EQ(Number(Db("mok2"), "select fldID from ＤＢ一覧 where fldDbName = '東京都'"), 7);
  EXPECT_EQ(Number(Db("mok2"), "select fldID from ＤＢ一覧 where fldDbName = '全国'"), 10);
  EXPECT_EQ(Number(Db("mok2"), "select count(*) from 学習"), 1);
  EXPECT_EQ(Number(Db("東京都"), "select count(*) from POSITION"), 1);
}

// A failure while reading or while one region file is built leaves no file behind: no region
// file, no temporary file, no main database.
TEST_F(JapanBuildTest, FailedBuildLeavesTheFolderAsItWas) {
  DataFolder badInput;
  auto bad = inputs_;
  bad.postal = badInput.File("KEN_ALL.CSV");
  WriteCp932Lines(bad.postal, {KenAllRow(u"13101", u"東京都", u"千代田区", u"飯田橋"),
                               KenAllRow(u"99999", u"架空県", u"どこか市", u"")});
  const std::u16string message = ImportFailure([&] { db::BuildJapan(out_.path(), bad); });
  EXPECT_NE(message.find(u"line 2: \"架空県\" is not a prefecture"), std::u16string::npos)
      << U8(message);
  EXPECT_TRUE(Files().empty());

  // 全国's temporary file cannot be made (a folder is in the way) while the others are built.
  fs::create_directories(out_.File("全国.sqlite.new") / "x");
  EXPECT_FALSE(ImportFailure([&] { db::BuildJapan(out_.path(), inputs_); }).empty());
  EXPECT_EQ(Files(), (std::set<std::string>{"全国.sqlite.new"}));
}

}  // namespace
}  // namespace mok::import_test
