// Town lookup over the candidate rows: the forms a town may be written in and the rule that a
// name alone must be unique.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db/address_database.h"
#include "db/test_database_builder.h"
#include "support/recording_prompter.h"
#include "text/text.h"

namespace mok::db {
namespace {

std::string U8(const std::u16string& s) {
  return text::ToUtf8(s);
}

constexpr char16_t kRegion[] = u"テスト";

class TownLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::TestDatabaseBuilder::Exec(b_.Main(), "pragma synchronous = off");
    b_.AddPrefecture(u"東京", u"ﾄｳｷｮｳ", u"都");
    b_.AddRegion(kRegion, 7);
    b_.Region(kRegion);
    settings_.dbDir = b_.Dir();
    db_ = std::make_unique<AddressDatabase>(settings_, prompter_);
    ASSERT_TRUE(db_->OpenMainDatabase());
    ASSERT_TRUE(db_->LoadPrefectureNames());
    db_->StrSelectedRegion = kRegion;
    db_->IntRegionNumber = 7;
  }

  // The candidate rows the city step would have left: (city, town) pairs.
  void Candidates(const std::vector<std::pair<std::u16string, std::u16string>>& rows) {
    db_->CandidateRows.clear();
    for (const auto& [city, town] : rows)
      db_->CandidateRows.push_back({u"東京都", city, town});
    db_->CandidateRowsOpen = true;
  }

  struct Case {
    const char* what;
    std::vector<std::pair<std::u16string, std::u16string>> rows;
    std::u16string town;
    std::u16string chome;
    bool chomeInOaza = false;  // as the split left it
    std::u16string chomeSuffix;
    int16_t code;
    std::u16string stored;  // the town text afterwards
    bool chomeAfter;
  };

  void Check(const Case& c) {
    Candidates(c.rows);
    engine::AddressResult result;
    result.ChomeInOaza = c.chomeInOaza;
    result.ChomeSuffix = c.chomeSuffix;
    std::u16string town = c.town;
    const int16_t code =
        db_->LookupOazaChome(u"東京都", {u"", u"港区", u""}, town, c.chome, result);
    EXPECT_EQ(code, c.code) << c.what;
    if (c.code == 0) {
      EXPECT_EQ(U8(town), U8(c.stored)) << c.what;
      EXPECT_EQ(result.ChomeInOaza, c.chomeAfter) << c.what;
    }
    EXPECT_TRUE(db_->CandidateRows.empty()) << c.what;
    EXPECT_FALSE(db_->CandidateRowsOpen) << c.what;
  }

  test::TestDatabaseBuilder b_;
  Settings settings_;
  test::RecordingPrompter prompter_;
  std::unique_ptr<AddressDatabase> db_;
};

TEST_F(TownLookupTest, FormsOfATownName) {
  const Case cases[] = {
      {"name alone", {{u"港区", u"本町"}}, u"本町", u"３", false, u"", 0, u"本町", false},
      {"chome taken into the name",
       {{u"港区", u"本町三丁目"}},
       u"本町",
       u"３",
       false,
       u"",
       0,
       u"本町三丁目",
       true},
      {"chome written with 丁目",
       {{u"港区", u"本町三丁目"}},
       u"本町",
       u"３",
       true,
       u"丁目",
       0,
       u"本町三丁目",
       true},
      {"chome with a suffix after 丁目",
       {{u"港区", u"本町三丁目東"}},
       u"本町",
       u"３",
       true,
       u"丁目東",
       0,
       u"本町三丁目東",
       true},
      {"stored with 大字 and a chome",
       {{u"港区", u"大字本町三丁目"}},
       u"本町",
       u"３",
       true,
       u"丁目",
       0,
       u"大字本町三丁目",
       true},
      {"name and numeral without 丁目",
       {{u"港区", u"本町三"}},
       u"本町",
       u"３",
       false,
       u"",
       0,
       u"本町三",
       false},
      {"written with 大字, stored without",
       {{u"港区", u"本町"}},
       u"大字本町",
       u"",
       false,
       u"",
       0,
       u"本町",
       false},
      {"stored with 大字, written without",
       {{u"港区", u"大字本町"}},
       u"本町",
       u"",
       false,
       u"",
       0,
       u"大字本町",
       false},
      {"字 part cut off", {{u"港区", u"甲"}}, u"大字甲字乙", u"", false, u"", 0, u"甲", false},
      {"大字 and 字 removed",
       {{u"港区", u"甲乙"}},
       u"大字甲字乙",
       u"",
       false,
       u"",
       0,
       u"甲乙",
       false},
      {"digits read as kanji",
       {{u"港区", u"第二本町"}},
       u"第2本町",
       u"",
       false,
       u"",
       0,
       u"第二本町",
       false},
      {"ASCII case ignored", {{u"港区", u"abc町"}}, u"ABC町", u"", false, u"", 0, u"abc町", false},
      {"width not ignored", {{u"港区", u"abc町"}}, u"ＡＢＣ町", u"", false, u"", 3, u"", false},
      {"chome found but not this one",
       {{u"港区", u"本町三丁目"}},
       u"本町",
       u"４",
       false,
       u"",
       3,
       u"",
       false},
      {"no rows", {}, u"本町", u"１", false, u"", 3, u"", false},
  };
  for (const auto& c : cases)
    Check(c);
}

TEST_F(TownLookupTest, ANameFoundTwiceIsNotTakenByNameAlone) {
  const Case cases[] = {
      {"same name in two cities",
       {{u"港区", u"本町"}, {u"北区", u"本町"}},
       u"本町",
       u"",
       false,
       u"",
       3,
       u"",
       false},
      {"name plus chome takes the first fitting row",
       {{u"港区", u"本町"}, {u"北区", u"本町"}, {u"北区", u"本町五丁目"}, {u"港区", u"本町五丁目"}},
       u"本町",
       u"５",
       false,
       u"",
       0,
       u"本町五丁目",
       true},
      {"name plus numeral",
       {{u"港区", u"本町"}, {u"北区", u"本町"}, {u"北区", u"本町五"}},
       u"本町",
       u"５",
       false,
       u"",
       0,
       u"本町五",
       false},
      {"the 大字 form is unique",
       {{u"港区", u"本町"}, {u"北区", u"本町"}, {u"北区", u"大字本町"}},
       u"本町",
       u"",
       false,
       u"",
       0,
       u"大字本町",
       false},
  };
  for (const auto& c : cases)
    Check(c);
}

TEST_F(TownLookupTest, LearnedTownWords) {
  b_.AddLearned(7, 3, u"はち山", u"鉢山");
  b_.AddLearned(0, 3, u"乙", u"丙");
  const Case cases[] = {
      {"learned word", {{u"渋谷区", u"鉢山町"}}, u"はち山町", u"", false, u"", 0, u"鉢山町", false},
      {"learned word with the chome",
       {{u"渋谷区", u"鉢山町一丁目"}},
       u"はち山町",
       u"１",
       false,
       u"",
       0,
       u"鉢山町一丁目",
       true},
      {"learned word not stored",
       {{u"渋谷区", u"代官山町"}},
       u"はち山町",
       u"",
       false,
       u"",
       3,
       u"",
       false},
  };
  for (const auto& c : cases)
    Check(c);
}

TEST_F(TownLookupTest, NoRegionDatabaseIsCodeOne) {
  db_->StrSelectedRegion.clear();
  Candidates({{u"港区", u"本町"}});
  engine::AddressResult result;
  std::u16string town = u"本町";
  EXPECT_EQ(db_->LookupOazaChome(u"東京都", {}, town, u"", result), 1);
}

TEST_F(TownLookupTest, LearningDictionaryFailureIsShownAndGivesMinusOne) {
  test::TestDatabaseBuilder::Exec(b_.Main(), "drop table 学習");
  Candidates({{u"港区", u"本町"}});
  engine::AddressResult result;
  std::u16string town = u"元町";
  EXPECT_EQ(db_->LookupOazaChome(u"東京都", {}, town, u"", result), -1);
  ASSERT_EQ(prompter_.records.size(), 1u);
  EXPECT_NE(prompter_.records[0].Utf8().find("学習"), std::string::npos)
      << prompter_.records[0].Utf8();
  EXPECT_FALSE(db_->CandidateRowsOpen);
}

}  // namespace
}  // namespace mok::db
