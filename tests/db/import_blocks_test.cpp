#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "db/import/block_import.h"
#include "db/import/main_database_import.h"
#include "db/import/town_import.h"
#include "import_test_support.h"

namespace mok::import_test {
namespace {

const fs::path kBlocks = fs::path(MOK_TEST_DATA) / "mlit-blocks-sample.csv";

class ImportBlocksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db::CreateMainDatabase(folder_.path(), BundledData("prefectures.csv"));
    const auto towns = folder_.File("towns.csv");
    WriteUtf8Lines(towns,
                   {u"都道府県名,市区町村コード,市区町村名,大字町丁目名,小字・通称名,緯度,経度",
                    u"東京都,13101,千代田区,丸の内一丁目,,35.68156,139.767201",
                    u"東京都,13101,千代田区,飯田橋一丁目,,35.69847,139.749414"});
    db::ImportTowns(folder_.path(), u"東京都", towns);
  }
  fs::path Region() const { return folder_.File("東京都.sqlite"); }
  // "number:X" of every block of a town, in number order; "null:X" for the representative row.
  std::vector<std::string> Blocks(const std::string& table, const std::string& town) const {
    std::vector<std::string> out;
    for (const auto& row :
         Query(Region(), "select b.fld街区・番地, b.fldＸ座標 from POSITION p join " + table +
                             " b on b.fldPositionID = p.fldID where "
                             "p.fld大字・町丁目 = '" +
                             town + "' order by b.fld街区・番地")) {
      out.push_back((row[0] ? U8(*row[0]) : "null") + ":" + U8(row[1].value_or(u"")));
    }
    return out;
  }
  fs::path CodesFile() const {
    const auto file = folder_.File("KEN_ALL.CSV");
    WriteCp932Lines(file, {u"13102,\"104  \",\"1040061\",\"ﾄｳｷｮｳﾄ\",\"ﾁｭｳｵｳｸ\",\"ｷﾞﾝｻﾞ\","
                           u"\"東京都\",\"中央区\",\"銀座\",0,0,1,0,0,0"});
    return file;
  }
  DataFolder folder_;
};

TEST_F(ImportBlocksTest, BlocksReplaceTheRepresentativeRowAndReuseTowns) {
  const long long marunouchi =
      Number(Region(), "select fldID from POSITION where fld大字・町丁目 = '丸の内一丁目'");
  const auto report = db::ImportBlocks(folder_.path(), u"東京都", kBlocks);
  EXPECT_EQ(report.sourceRows, 8);
  EXPECT_EQ(report.blockRows, 4);
  EXPECT_EQ(report.townsAdded, 1);
  EXPECT_EQ(report.representativesReplaced, 1);

  // Block 2 is listed twice: the representative (代表) point is kept; ３ is stored as 3.
  EXPECT_EQ(Blocks("BLK13101", "丸の内一丁目"),
            (std::vector<std::string>{"1:-35384.1", "2:-35250.5", "3:-35180.7"}));
  EXPECT_EQ(Number(Region(), "select fldID from POSITION where fld大字・町丁目 = '丸の内一丁目'"),
            marunouchi);
  // A town without blocks in the file keeps its representative row.
  EXPECT_EQ(Blocks("BLK13101", "飯田橋一丁目").size(), 1u);
  EXPECT_EQ(Blocks("BLK13101", "飯田橋一丁目")[0].substr(0, 5), "null:");
  // A new town of a known municipality takes the code and block table from POSITION.
  const Rows otemachi = Query(Region(),
                              "select fld市区町村コード, fldTableName from POSITION "
                              "where fld大字・町丁目 = '大手町一丁目'");
  ASSERT_EQ(otemachi.size(), 1u);
  EXPECT_EQ(otemachi[0][0].value_or(u""), u"13101");
  EXPECT_EQ(otemachi[0][1].value_or(u""), u"BLK13101");
  EXPECT_EQ(Blocks("BLK13101", "大手町一丁目"), (std::vector<std::string>{"1:-34911.2"}));
}

TEST_F(ImportBlocksTest, UnknownMunicipalityIsReportedAndSkipped) {
  const auto report = db::ImportBlocks(folder_.path(), u"東京都", kBlocks);
  EXPECT_EQ(report.unknownMunicipalities, (std::vector<std::u16string>{u"東京都 中央区"}));
  EXPECT_EQ(report.badNumbers.size(), 1u);
  EXPECT_EQ(report.skippedRows, 3);  // two rows of 中央区, one block "甲"
  EXPECT_EQ(Number(Region(), "select count(*) from POSITION where fld市区町村名 = '中央区'"), 0);
}

TEST_F(ImportBlocksTest, CodesFromKenAllFile) {
  const auto report = db::ImportBlocks(folder_.path(), u"東京都", kBlocks, CodesFile());
  EXPECT_TRUE(report.unknownMunicipalities.empty());
  EXPECT_EQ(report.blockRows, 6);
  const Rows ginza = Query(Region(),
                           "select fld市区町村コード, fldTableName from POSITION "
                           "where fld大字・町丁目 = '銀座一丁目'");
  ASSERT_EQ(ginza.size(), 1u);
  EXPECT_EQ(ginza[0][0].value_or(u""), u"13102");
  EXPECT_EQ(ginza[0][1].value_or(u""), u"BLK13102");
  EXPECT_EQ(Blocks("BLK13102", "銀座一丁目"),
            (std::vector<std::string>{"1:-36320.4", "2:-36280.0"}));
}

TEST_F(ImportBlocksTest, ImportingAgainUpdatesInsteadOfAdding) {
  db::ImportBlocks(folder_.path(), u"東京都", kBlocks);
  const auto again = db::ImportBlocks(folder_.path(), u"東京都", kBlocks);
  EXPECT_EQ(again.blockRows, 0);
  EXPECT_EQ(again.blocksUpdated, 4);
  EXPECT_EQ(again.townsAdded, 0);
  EXPECT_EQ(Number(Region(), "select count(*) from BLK13101"), 5);  // 3 + 1 + 飯田橋's row
}

// The file is read while the rows are written: a bad line after good ones must undo them all.
TEST_F(ImportBlocksTest, BadLineInTheMiddleLeavesTheDatabaseUnchanged) {
  std::ifstream in(kBlocks, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t third = [&] {
    std::size_t pos = 0;
    for (int i = 0; i < 4; ++i)
      pos = bytes.find('\n', pos) + 1;
    return pos;
  }();
  bytes.insert(third, "\"\x81\x20\"\r\n");  // line 5 does not decode
  const auto bad = folder_.File("bad.csv");
  WriteBytes(bad, bytes);

  const auto before = Query(Region(), "select * from BLK13101 order by rowid");
  const std::u16string message =
      ImportFailure([&] { db::ImportBlocks(folder_.path(), u"東京都", bad); });
  EXPECT_NE(message.find(u"bad.csv line 5"), std::u16string::npos) << U8(message);
  EXPECT_EQ(Query(Region(), "select * from BLK13101 order by rowid"), before);
  EXPECT_EQ(Number(Region(), "select count(*) from POSITION"), 2);
}

TEST(ImportBlockNumbers, Normalisation) {
  const std::vector<std::pair<std::u16string, std::optional<std::u16string>>> cases = {
      {u"12", u"12"}, {u"１２", u"12"},       {u" 7 ", u"7"},        {u"007", u"7"},
      {u"0", u"0"},   {u"1-2", std::nullopt}, {u"甲", std::nullopt}, {u"", std::nullopt},
  };
  for (const auto& [input, expected] : cases) {
    EXPECT_EQ(db::NormaliseBlockNumber(input), expected) << U8(input);
  }
}

}  // namespace
}  // namespace mok::import_test
