// The block/lot coordinate lookup: exact and nearest block numbers, rows without numbers or
// coordinates, missing rows and tables, and the region file it reads.
#include <gtest/gtest.h>

#include <filesystem>

#include "db/address_database_fixture.h"

namespace mok::db {
namespace {

std::string U8(const std::u16string& s) {
  return text::ToUtf8(s);
}

class BlockCoordinates : public test::AddressDatabaseTest {
 protected:
  void SetUp() override {
    const std::u16string r = u"東京都";
    int64_t id = 0;
    auto town = [&](const std::u16string& name, const std::u16string& table,
                    test::OptText code = u"13101") {
      builder.AddPosition(r, {u"東京都", u"千代田区", name, table, ++id, code});
      return id;
    };
    auto block = [&](int64_t pos, test::OptText number, const std::u16string& table = u"T13101") {
      const std::u16string tag = number ? *number : u"null";
      builder.AddBlock(r, table,
                       {pos, number, u"9", u"X" + tag, u"Y" + tag, u"35." + tag, u"139." + tag});
    };
    const auto m1 = town(u"丸の内一丁目", u"T13101");
    block(m1, u"3");
    block(m1, u"8");
    const auto m2 = town(u"丸の内二丁目", u"T13101");
    for (auto n : {u"12", u"6", u"4", u"100"})
      block(m2, n);
    const auto mixed = town(u"混在町", u"T13101");
    block(mixed, std::nullopt);
    block(mixed, u"7");
    block(mixed, u"12");
    const auto rep = town(u"無番地町", u"T13101");
    block(rep, std::nullopt);
    const auto odd = town(u"番地混在町", u"T13101");
    for (auto n : {u"12-1", u"甲", u"20"})
      block(odd, n);
    town(u"空町", u"T13101");
    town(u"幻町", u"NoSuchTable");
    const auto nullCode = town(u"欠町", u"T13101", std::nullopt);
    block(nullCode, u"1");
    const auto quoted = town(u"O'町", u"T'13\"101");
    block(quoted, u"5", u"T'13\"101");
    const auto bare = town(u"大手町一丁目", u"T13101");
    builder.AddBlock(
        r, u"T13101",
        {bare, u"1", std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt});
    // Numbers stored as numbers read through their text form.
    const auto numeric = town(u"数値町", u"T13101");
    test::TestDatabaseBuilder::Exec(builder.Region(r),
                                    "insert into T13101 values (" + std::to_string(numeric) +
                                        ", 2, 9, -35000.5, 12, 35.6895, 139.6917)");
    builder.AddPosition(r, {u"東京都", u"千代田区", u"丸の内一丁目", u"T13101", 999, u"99999"});
    db.StrSelectedRegion = u"東京都";
  }

  struct Outcome {
    bool ok;
    std::u16string block, x;
  };
  Outcome Lookup(const std::u16string& town, std::u16string asked, int completeMatch = 0) {
    settings.completeMatch = static_cast<int16_t>(completeMatch);
    result = engine::AddressResult{};
    const bool ok = db.LookupBlockCoordinates(u"東京都", u"千代田区", town, asked, result);
    return {ok, asked, result.CoordX};
  }

  engine::AddressResult result;
};

TEST_F(BlockCoordinates, ExactAndNearestBlockNumbers) {
  struct Case {
    std::u16string town, asked;
    int complete;
    bool ok;
    std::u16string block, x;
  };
  const Case cases[] = {
      {u"丸の内一丁目", u"５", 0, true, u"３", u"X3"},  // 3 is nearer to 5 than 8
      {u"丸の内一丁目", u"５", 1, false, u"５", u""},   // no row 5: no coordinates
      {u"丸の内一丁目", u"８", 1, true, u"８", u"X8"},
      {u"丸の内一丁目", u"8", 1, true, u"８", u"X8"},
      {u"丸の内二丁目", u"１２", 1, true, u"１２", u"X12"},  // full-width matched as 12
      {u"丸の内二丁目", u"１２", 0, true, u"１２", u"X12"},
      {u"丸の内二丁目", u"５", 0, true, u"６", u"X6"},          // 6 and 4 tie: the first stored
      {u"丸の内二丁目", u"９９", 0, true, u"１００", u"X100"},  // numbers, not texts, compared
      {u"丸の内二丁目", u"０", 0, true, u"４", u"X4"},
      {u"丸の内二丁目", u"", 0, true, u"１２", u"X12"},  // no number: the first block row
      {u"丸の内二丁目", u"", 1, true, u"１２", u"X12"},
      {u"混在町", u"５", 0, true, u"７", u"X7"},     // numbered rows before the Null row
      {u"混在町", u"", 0, true, u"", u"Xnull"},      // no number: the first row, its Null number
      {u"無番地町", u"５", 0, true, u"", u"Xnull"},  // the town's only, representative row
      {u"無番地町", u"５", 1, false, u"５", u""},
      {u"番地混在町", u"１３", 0, true, u"２０", u"X20"},            // unnumbered rows last
      {u"番地混在町", u"１２－１", 0, true, u"１２－１", u"X12-1"},  // not a number: exact
      {u"番地混在町", u"１２－２", 0, false, u"１２－２", u""},
      {u"O'町", u"５", 1, true, u"５", u"X5"},  // quotes in town and table names
      {u"O'町", u"５", 0, true, u"５", u"X5"},
  };
  for (const auto& c : cases) {
    const Outcome got = Lookup(c.town, c.asked, c.complete);
    const std::string label =
        U8(c.town) + " asked [" + U8(c.asked) + "] COMPLETEMATCH=" + std::to_string(c.complete);
    EXPECT_EQ(got.ok, c.ok) << label;
    EXPECT_EQ(U8(got.block), U8(c.block)) << label;
    EXPECT_EQ(U8(got.x), U8(c.x)) << label;
  }
  EXPECT_TRUE(prompter.records.empty()) << ::testing::PrintToString(Messages());
}

TEST_F(BlockCoordinates, AllFieldsOfTheRowAreWritten) {
  ASSERT_TRUE(Lookup(u"丸の内一丁目", u"３").ok);
  EXPECT_EQ(result.CityCode, u"13101");  // the first POSITION row, not the later duplicate
  EXPECT_EQ(result.CoordSystemNo, u"9");
  EXPECT_EQ(result.CoordX, u"X3");
  EXPECT_EQ(result.CoordY, u"Y3");
  EXPECT_EQ(result.Latitude, u"35.3");
  EXPECT_EQ(result.Longitude, u"139.3");
}

TEST_F(BlockCoordinates, NullCoordinatesGiveEmptyFields) {
  result.CoordSystemNo = result.CoordY = result.Latitude = result.Longitude = u"stale";
  ASSERT_TRUE(Lookup(u"大手町一丁目", u"１").ok);
  EXPECT_EQ(result.CityCode, u"13101");
  for (const auto* f : {&result.CoordSystemNo, &result.CoordX, &result.CoordY, &result.Latitude,
                        &result.Longitude}) {
    EXPECT_EQ(*f, u"");
  }
}

TEST_F(BlockCoordinates, NumbersStoredAsNumbersReadAsText) {
  const Outcome got = Lookup(u"数値町", u"２", 1);
  ASSERT_TRUE(got.ok);
  EXPECT_EQ(got.block, u"２");
  EXPECT_EQ(result.CoordSystemNo, u"9");
  EXPECT_EQ(result.CoordX, u"-35000.5");
  EXPECT_EQ(result.Latitude, u"35.6895");
}

TEST_F(BlockCoordinates, UnknownTownClearsTheFields) {
  result.CityCode = result.CoordX = u"stale";
  std::u16string block = u"１";
  result.CityCode = u"stale";
  EXPECT_FALSE(db.LookupBlockCoordinates(u"東京都", u"千代田区", u"不明町", block, result));
  EXPECT_EQ(result.CityCode, u"");
  EXPECT_EQ(result.CoordX, u"");
  EXPECT_EQ(block, u"１");
  // Names are keys: a quote in them neither breaks the query nor matches another row.
  EXPECT_FALSE(db.LookupBlockCoordinates(u"東京都", u"千代田区", u"' or '1'='1", block, result));
  EXPECT_TRUE(prompter.records.empty()) << ::testing::PrintToString(Messages());
}

TEST_F(BlockCoordinates, PositionWithoutBlockRowsFailsWithTheCityCodeSet) {
  const Outcome got = Lookup(u"空町", u"１");
  EXPECT_FALSE(got.ok);
  EXPECT_EQ(result.CityCode, u"13101");
  EXPECT_TRUE(prompter.records.empty());
}

TEST_F(BlockCoordinates, DatabaseFailuresAreReportedWithTheRegionPath) {
  const std::u16string path = RegionFile(u"東京都");
  for (const std::u16string town : {u"幻町", u"欠町"}) {
    prompter.Clear();
    EXPECT_FALSE(Lookup(town, u"１").ok) << U8(town);
    ASSERT_EQ(prompter.records.size(), 1u) << U8(town);
    const auto& m = prompter.records[0].text;
    EXPECT_TRUE(m.size() > path.size() + 2 &&
                m.substr(m.size() - path.size() - 2) == u"\r\n" + path)
        << U8(m);
    EXPECT_NE(m.find(u")\r\n"), std::u16string::npos) << U8(m);
  }
  EXPECT_NE(prompter.records[0].text.find(u"fld市区町村コード"), std::u16string::npos);
  // The missing table is named.
  prompter.Clear();
  Lookup(u"幻町", u"１");
  EXPECT_NE(prompter.records[0].text.find(u"NoSuchTable"), std::u16string::npos);
  EXPECT_EQ(result.CityCode, u"13101");
}

TEST_F(BlockCoordinates, MissingRegionFileIsReportedWithItsPath) {
  db.StrSelectedRegion = u"大阪府";
  EXPECT_FALSE(Lookup(u"丸の内一丁目", u"３").ok);
  ASSERT_EQ(prompter.records.size(), 1u);
  const std::u16string path = RegionFile(u"大阪府");
  const auto& m = prompter.records[0].text;
  EXPECT_EQ(m.substr(m.size() - path.size()), path) << U8(m);
}

// The kept-open connection follows the chosen region: another file gives that file's answer.
TEST_F(BlockCoordinates, AnotherChosenRegionIsReadFromItsOwnFile) {
  builder.AddPosition(u"大阪府", {u"東京都", u"千代田区", u"丸の内一丁目", u"T27100", 1, u"27100"});
  builder.AddBlock(u"大阪府", u"T27100", {1, u"3", u"6", u"OSAKA", u"Y", u"34", u"135"});
  ASSERT_TRUE(Lookup(u"丸の内一丁目", u"３").ok);
  EXPECT_EQ(result.CoordX, u"X3");
  db.StrSelectedRegion = u"大阪府";
  ASSERT_TRUE(Lookup(u"丸の内一丁目", u"３").ok);
  EXPECT_EQ(result.CoordX, u"OSAKA");
  EXPECT_EQ(result.CityCode, u"27100");
  db.StrSelectedRegion = u"東京都";
  ASSERT_TRUE(Lookup(u"丸の内一丁目", u"３").ok);
  EXPECT_EQ(result.CoordX, u"X3");
}

TEST_F(BlockCoordinates, RegionFileReplacedBetweenRunsIsReadAfresh) {
  ASSERT_TRUE(Lookup(u"丸の内一丁目", u"３").ok);
  EXPECT_EQ(result.CoordX, u"X3");
  builder.AddPosition(u"新", {u"東京都", u"千代田区", u"丸の内一丁目", u"T", 1, u"13101"});
  builder.AddBlock(u"新", u"T", {1, u"3", u"9", u"NEW", u"", u"", u""});
  builder.CloseAll();
  std::filesystem::rename(builder.folder().File(u"新.sqlite"),
                          builder.folder().File(u"東京都.sqlite"));
  db.CloseRegionDatabase();  // the end of a run
  ASSERT_TRUE(Lookup(u"丸の内一丁目", u"３").ok);
  EXPECT_EQ(result.CoordX, u"NEW");
}

TEST_F(BlockCoordinates, WithoutAChosenRegionTheOpenRegionOrThePrefectureFileIsRead) {
  db.StrSelectedRegion.clear();
  ASSERT_TRUE(Lookup(u"丸の内一丁目", u"３").ok);  // the prefecture's file
  builder.AddPosition(u"別", {u"東京都", u"千代田区", u"丸の内一丁目", u"T", 1, u"00000"});
  builder.AddBlock(u"別", u"T", {1, u"3", u"1", u"OTHER", u"", u"", u""});
  ASSERT_TRUE(db.OpenRegionDatabase(u"別"));
  ASSERT_TRUE(Lookup(u"丸の内一丁目", u"３").ok);  // the open region's file
  EXPECT_EQ(result.CoordX, u"OTHER");
}

}  // namespace
}  // namespace mok::db
