// Opening and closing the main and region databases, the region choice, and the reference lists
// loaded from the main database.
#include <gtest/gtest.h>

#include <filesystem>

#include "db/address_database_fixture.h"
#include "db/connection.h"

namespace mok::db {
namespace {

using test::AddressDatabaseTest;

std::string U8(const std::u16string& s) {
  return text::ToUtf8(s);
}

// A failure message is the engine's description, its number in parentheses, CR LF and a context.
void ExpectFailureMessage(const test::RecordingPrompter& prompter, const std::u16string& context) {
  ASSERT_EQ(prompter.records.size(), 1u) << ::testing::PrintToString(prompter.Texts());
  const std::u16string& m = prompter.records[0].text;
  const auto crlf = m.find(u"\r\n");
  ASSERT_NE(crlf, std::u16string::npos) << U8(m);
  EXPECT_EQ(m.substr(crlf + 2), context) << U8(m);
  ASSERT_GT(crlf, 0u);
  EXPECT_EQ(m[crlf - 1], u')') << U8(m);
  const auto open = m.rfind(u'(', crlf);
  ASSERT_NE(open, std::u16string::npos) << U8(m);
  EXPECT_GT(open, 0u) << "no description before the number: " << U8(m);
  for (auto i = open + 1; i + 1 < crlf; ++i)
    EXPECT_TRUE(m[i] >= u'0' && m[i] <= u'9') << U8(m);
  EXPECT_FALSE(prompter.records[0].question);
}

using MainDatabase = AddressDatabaseTest;

TEST_F(MainDatabase, EmptyFolderSettingFailsWithTheMessage) {
  settings.dbDir.clear();
  EXPECT_FALSE(db.OpenMainDatabase());
  EXPECT_FALSE(db.BlnMainDbOpen);
  EXPECT_EQ(db.MainDb(), nullptr);
  ExpectFailureMessage(prompter, u"");
}

TEST_F(MainDatabase, MissingFileIsReportedNotCreatedAndTriedAgainNextTime) {
  EXPECT_FALSE(db.OpenMainDatabase());
  ExpectFailureMessage(prompter, u"");
  EXPECT_FALSE(std::filesystem::exists(builder.folder().File(u"mok2.sqlite")));
  EXPECT_EQ(db.DatabasePath, text::FromUtf8(builder.folder().File(u"mok2.sqlite").string()));

  builder.Main();  // the data tool creates it
  prompter.Clear();
  EXPECT_TRUE(db.OpenMainDatabase());
  EXPECT_TRUE(db.BlnMainDbOpen);
  EXPECT_TRUE(prompter.records.empty());
}

TEST_F(MainDatabase, OpenTwiceKeepsTheConnectionAndCloseReleasesIt) {
  builder.Main();
  ASSERT_TRUE(db.OpenMainDatabase());
  Connection* first = db.MainDb();
  settings.dbDir = u"/elsewhere";  // not looked at while open
  ASSERT_TRUE(db.OpenMainDatabase());
  EXPECT_EQ(db.MainDb(), first);
  EXPECT_TRUE(db.CloseMainDatabase());
  EXPECT_FALSE(db.BlnMainDbOpen);
  EXPECT_EQ(db.MainDb(), nullptr);
  EXPECT_TRUE(db.CloseMainDatabase());  // closing a closed database is fine
}

using RegionDatabase = AddressDatabaseTest;

TEST_F(RegionDatabase, ChosenRegionFileIsOpenedWhateverTheNameSays) {
  builder.Region(u"東京都");
  db.StrSelectedRegion = u"東京都";
  ASSERT_TRUE(db.OpenRegionDatabase(u"大阪府"));
  EXPECT_TRUE(db.BlnRegionDbOpen);
  EXPECT_EQ(db.StrOpenRegion, u"大阪府");
  ASSERT_NE(db.RegionDb(), nullptr);
  EXPECT_EQ(db.RegionDb()->path(), RegionFile(u"東京都"));
  EXPECT_FALSE(std::filesystem::exists(builder.folder().File(u"大阪府.sqlite")));
  EXPECT_TRUE(prompter.records.empty());
}

TEST_F(RegionDatabase, EmptyNameWithoutChoiceOpensNothingAndSaysNothing) {
  EXPECT_FALSE(db.OpenRegionDatabase(u""));
  EXPECT_FALSE(db.BlnRegionDbOpen);
  EXPECT_TRUE(prompter.records.empty());
}

TEST_F(RegionDatabase, SameNameInOtherCaseWidthOrKanaKeepsTheOpenDatabase) {
  struct Case {
    std::u16string opened, asked;
  };
  const Case cases[] = {
      {u"Tokyo", u"TOKYO"},      {u"Tokyo", u"ｔｏｋｙｏ"}, {u"トウキョウ", u"とうきょう"},
      {u"トウキョウ", u"ﾄｳｷｮｳ"}, {u"東京都", u""},
  };
  for (const auto& c : cases) {
    builder.Region(c.opened);
    db.CloseRegionDatabase();
    ASSERT_TRUE(db.OpenRegionDatabase(c.opened)) << U8(c.opened);
    Connection* first = db.RegionDb();
    EXPECT_TRUE(db.OpenRegionDatabase(c.asked)) << U8(c.asked);
    EXPECT_EQ(db.RegionDb(), first) << U8(c.opened) << " / " << U8(c.asked);
    EXPECT_EQ(db.StrOpenRegion, c.opened);
  }
  EXPECT_TRUE(prompter.records.empty()) << ::testing::PrintToString(Messages());
}

TEST_F(RegionDatabase, AnotherNameSwitchesToItsFile) {
  builder.Region(u"東京都");
  builder.Region(u"大阪府");
  ASSERT_TRUE(db.OpenRegionDatabase(u"東京都"));
  ASSERT_TRUE(db.OpenRegionDatabase(u"大阪府"));
  EXPECT_EQ(db.StrOpenRegion, u"大阪府");
  EXPECT_EQ(db.RegionDb()->path(), RegionFile(u"大阪府"));
}

TEST_F(RegionDatabase, MissingFileIsReportedWithItsPathAndLeavesNothingOpen) {
  builder.Region(u"東京都");
  ASSERT_TRUE(db.OpenRegionDatabase(u"東京都"));
  EXPECT_FALSE(db.OpenRegionDatabase(u"京都府"));
  ExpectFailureMessage(prompter, RegionFile(u"京都府"));
  EXPECT_FALSE(db.BlnRegionDbOpen);
  EXPECT_EQ(db.RegionDb(), nullptr);
  EXPECT_EQ(db.StrOpenRegion, u"");
  EXPECT_FALSE(std::filesystem::exists(builder.folder().File(u"京都府.sqlite")));
}

TEST_F(RegionDatabase, CloseForgetsTheOpenName) {
  builder.Region(u"東京都");
  ASSERT_TRUE(db.OpenRegionDatabase(u"東京都"));
  EXPECT_TRUE(db.CloseRegionDatabase());
  EXPECT_FALSE(db.BlnRegionDbOpen);
  EXPECT_EQ(db.StrOpenRegion, u"");
  EXPECT_FALSE(db.OpenRegionDatabase(u""));  // nothing open, nothing chosen
}

using ReferenceLists = AddressDatabaseTest;

TEST_F(ReferenceLists, PrefectureNamesKanaNamesAndSuffixesInTableOrder) {
  struct Row {
    std::u16string kanji, kana;
    test::OptText type;
    std::u16string name, suffix;
  };
  const Row rows[] = {
      {u"北海", u"ﾎｯｶｲ", u"道", u"北海道", u""},        {u"東京", u"ﾄｳｷｮｳ", u"都", u"東京都", u"ﾄ"},
      {u"大阪", u"ｵｵｻｶ", u"府", u"大阪府", u"ﾌ"},       {u"青森", u"ｱｵﾓﾘ", u"県", u"青森県", u"ｹﾝ"},
      {u"沖縄", u"ｵｷﾅﾜ", std::nullopt, u"沖縄", u"ｹﾝ"}, {u"某", u"ﾎﾞｳ", u"州", u"某州", u"ｹﾝ"},
  };
  for (const auto& r : rows)
    builder.AddPrefecture(r.kanji, r.kana, r.type);
  ASSERT_TRUE(db.OpenMainDatabase());
  ASSERT_TRUE(db.LoadPrefectureNames()) << ::testing::PrintToString(Messages());
  ASSERT_EQ(db.PrefCount, 6);
  ASSERT_EQ(db.PrefNames.size(), 7u);
  for (int i = 1; i <= 6; ++i) {
    const Row& r = rows[i - 1];
    EXPECT_EQ(U8(db.PrefNames[i]), U8(r.name)) << "row " << i;
    EXPECT_EQ(U8(db.PrefKanaNames[i]), U8(r.kana)) << "row " << i;
    EXPECT_EQ(U8(db.PrefKanaSuffixes[i]), U8(r.suffix)) << "row " << i;
  }
}

TEST_F(ReferenceLists, MoreThanFiftyPrefecturesIsReportedAndKeepsFifty) {
  for (int i = 0; i < 51; ++i) {
    builder.AddPrefecture(u"県" + text::FromUtf8(std::to_string(i)), u"ｹﾝ", u"県");
  }
  ASSERT_TRUE(db.OpenMainDatabase());
  EXPECT_FALSE(db.LoadPrefectureNames());
  ExpectFailureMessage(prompter, u"");
  EXPECT_EQ(db.PrefCount, 50);
  EXPECT_EQ(U8(db.PrefNames[50]), "県49県");
}

TEST_F(ReferenceLists, MissingPrefectureTableIsReported) {
  test::TestDatabaseBuilder::Exec(builder.Main(), "drop table 都道府県名");
  ASSERT_TRUE(db.OpenMainDatabase());
  EXPECT_FALSE(db.LoadPrefectureNames());
  ExpectFailureMessage(prompter, u"");
  EXPECT_EQ(db.PrefCount, 0);
}

TEST_F(ReferenceLists, EmptyRegionListEmptiesTheComboBox) {
  builder.Main();
  ASSERT_TRUE(db.OpenMainDatabase());
  std::vector<std::u16string> combo{u"old", u"items"};
  EXPECT_TRUE(db.LoadRegionList(combo));
  EXPECT_TRUE(combo.empty());
  EXPECT_TRUE(prompter.records.empty());
}

TEST_F(ReferenceLists, RegionListInTableOrder) {
  builder.AddRegion(u"東京都", 13);
  builder.AddRegion(u"北海道", 1);
  builder.AddRegion(u"O'Region", 7);
  ASSERT_TRUE(db.OpenMainDatabase());
  std::vector<std::u16string> combo{u"old"};
  ASSERT_TRUE(db.LoadRegionList(combo));
  EXPECT_EQ(combo, (std::vector<std::u16string>{u"東京都", u"北海道", u"O'Region"}));
}

TEST_F(ReferenceLists, RegionNumberOfANameOrZero) {
  builder.AddRegion(u"東京都", 13);
  builder.AddRegion(u"O'Region", 7);
  builder.AddRegion(u"Osaka", 27);
  ASSERT_TRUE(db.OpenMainDatabase());
  const std::pair<std::u16string, int16_t> cases[] = {
      {u"東京都", 13}, {u"O'Region", 7}, {u"osaka", 27},  // case ignored as the column does
      {u"大阪府", 0},  {u"O'", 0},       {u"' or '1'='1", 0}, {u"", 0},
  };
  for (const auto& [name, expected] : cases) {
    DbError error;
    auto n = db.RegionNumber(name, &error);
    ASSERT_TRUE(n.has_value()) << U8(name) << ": " << U8(error.Text());
    EXPECT_EQ(*n, expected) << U8(name);
  }
}

}  // namespace
}  // namespace mok::db
