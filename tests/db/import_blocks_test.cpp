// The import of MLIT block positions (the published 14-column header): real blocks replace a
// town's representative row, codes come from POSITION or a KEN_ALL file, importing again
// updates, and a bad line or another header undoes the import.
#include "db/import/block_import.h"
#include "db/import/town_import.h"
#include "import_test_support.h"

namespace mok::import_test {
namespace {

const fs::path kBlocks = fs::path(MOK_TEST_DATA) / "mlit-blocks-sample.csv";

struct ImportBlocksTest : DataFolderTest {
  ImportBlocksTest() {
    WriteBytes(dir / "towns.csv",
               Encode({kTownHeader, u"東京都,13101,千代田区,丸の内一丁目,,35.68156,139.767201",
                       u"東京都,13101,千代田区,飯田橋一丁目,,35.69847,139.749414"},
                      false));
    db::ImportTowns(dir, u"東京都", dir / "towns.csv");
  }
  // Town, code, block table, number and X of every block row of `table`.
  Strings Blocks(const std::string& table = "BLK13101") const {
    return Rows(region,
                "select p.fld大字・町丁目, p.fld市区町村コード, p.fldTableName, b.fld街区・番地, "
                "b.fldＸ座標 from POSITION p join " +
                    table + " b on b.fldPositionID = p.fldID order by 1, 4");
  }
};

// Block 2 is listed twice: the representative (代表) point is kept; ３ is stored as 3 and 甲 is no
// number. 大手町 is a new town of a known municipality; 中央区 has no code without a KEN_ALL file.
TEST_F(ImportBlocksTest, BlocksReplaceTheRepresentativeRowAndReuseTowns) {
  const auto report = db::ImportBlocks(dir, u"東京都", kBlocks);
  EXPECT_EQ(report.blockRows, 4);
  EXPECT_EQ(report.townsAdded, 1);
  EXPECT_EQ(report.representativesReplaced, 1);
  EXPECT_EQ(report.skippedRows, 3);
  EXPECT_EQ(report.badNumbers, std::vector<std::u16string>{u"6: 甲"});
  EXPECT_EQ(report.unknownMunicipalities, std::vector<std::u16string>{u"東京都 中央区"});
  EXPECT_EQ(
      Blocks(),
      (Strings{"丸の内一丁目|13101|BLK13101|1|-35384.1", "丸の内一丁目|13101|BLK13101|2|-35250.5",
               "丸の内一丁目|13101|BLK13101|3|-35180.7", "大手町一丁目|13101|BLK13101|1|-34911.2",
               "飯田橋一丁目|13101|BLK13101|NULL|-33450.035"}));

  // Importing again updates the same rows.
  const auto again = db::ImportBlocks(dir, u"東京都", kBlocks);
  EXPECT_EQ(again.blockRows + again.townsAdded, 0);
  EXPECT_EQ(again.blocksUpdated, 4);
  EXPECT_EQ(Blocks().size(), 5u);
}

TEST_F(ImportBlocksTest, CodesFromKenAllFile) {
  WriteBytes(dir / "KEN_ALL.CSV", KenAll({"13102|1040061|東京都|中央区|銀座"}));
  const auto report = db::ImportBlocks(dir, u"東京都", kBlocks, dir / "KEN_ALL.CSV");
  EXPECT_TRUE(report.unknownMunicipalities.empty());
  EXPECT_EQ(report.blockRows, 6);
  EXPECT_EQ(Blocks("BLK13102"), (Strings{"銀座一丁目|13102|BLK13102|1|-36320.4",
                                         "銀座一丁目|13102|BLK13102|2|-36280.0"}));
}

// The file is read while the rows are written: a bad line after good ones undoes them all.
TEST_F(ImportBlocksTest, BadLineInTheMiddleLeavesTheDatabaseUnchanged) {
  fs::copy_file(kBlocks, dir / "bad.csv");
  std::ofstream(dir / "bad.csv", std::ios::app | std::ios::binary) << "\"\x81\x20\"\r\n";
  const Strings before = Blocks();
  EXPECT_THAT(ImportFailure([&] { db::ImportBlocks(dir, u"東京都", dir / "bad.csv"); }),
              HasSubstr("bad.csv line 10"));
  EXPECT_EQ(Blocks(), before);
  // A header that names other columns is not the format.
  WriteBytes(dir / "other.csv", Encode({u"都道府県名,市区町村名,町名,小字・通称名"}, true));
  EXPECT_THAT(ImportFailure([&] { db::ImportBlocks(dir, u"東京都", dir / "other.csv"); }),
              HasSubstr("other.csv line 1: not the header of 街区レベル位置参照情報: column 3 is "
                        "\"町名\", expected \"大字・丁目名\""));
}

}  // namespace
}  // namespace mok::import_test
