// The learning dictionary: which replacement applies to a word, what it logs and counts, and the
// registration of new replacements with its duplicate rule.
#include <gtest/gtest.h>

#include "db/address_database_fixture.h"
#include "db/connection.h"

namespace mok::db {
namespace {

std::string U8(const std::u16string& s) {
  return text::ToUtf8(s);
}

class LearnedWords : public test::AddressDatabaseTest {
 protected:
  void SetUp() override {
    builder.AddLearned(0, 2, u"札幌", u"札幌市");
    builder.AddLearned(0, 2, u"仙台", u"仙台市", 50);        // common and used often...
    builder.AddLearned(13, 2, u"仙台", u"仙台市青葉区", 0);  // ...but the region's row wins
    builder.AddLearned(14, 2, u"仙台", u"他地域", 99);       // another region's row never applies
    builder.AddLearned(0, 3, u"大字", std::nullopt);         // deletes the prefix
    builder.AddLearned(0, 3, u"O'", u"オー");
    builder.AddLearned(0, 3, u"abc", u"エービーシー");
    builder.AddLearned(0, 3, u"長い", u"短");
    db.IntRegionNumber = 13;
    ASSERT_TRUE(db.OpenMainDatabase());
  }

  // The stored reference count of the row with this registered and converted word.
  int64_t Count(const std::u16string& registered, const test::OptText& converted) {
    auto st = builder.Main().Compile(
        "select fld参照回数 from 学習 where fld登録字句 = ? and fld変換字句 is ?");
    st->BindText(1, registered);
    if (converted) {
      st->BindText(2, *converted);
    } else {
      st->BindNull(2);
    }
    auto row = st->Step();
    EXPECT_TRUE(row.ok() && *row) << U8(registered);
    return st->Int(0);
  }

  int64_t Rows() {
    auto st = builder.Main().Compile("select count(*) from 学習");
    EXPECT_TRUE(*st->Step());
    return st->Int(0);
  }

  engine::AddressResult result;
};

TEST_F(LearnedWords, ReplacementsOfTheBeginningOfAWord) {
  struct Case {
    int kind;
    std::u16string word;
    std::u16string expected;
    std::u16string log;  // "" = no log entry
  };
  const Case cases[] = {
      {2, u"札幌中央区", u"札幌市中央区", u"札幌中央区 → 札幌市"},
      {2, u"札幌市", u"札幌市", u""},  // the converted word is the whole word
      {2, u"札幌市中央区", u"札幌市市中央区", u"札幌市中央区 → 札幌市"},
      {2, u"仙台", u"仙台市青葉区", u"仙台 → 仙台市青葉区"},
      {3, u"札幌中央区", u"", u""},  // a city word is not used for towns
      {2, u"函館", u"", u""},
      {3, u"大字丸の内", u"丸の内", u"大字丸の内 → "},
      {3, u"大字", u"", u"大字 → "},  // the whole word deleted: callers see no hit
      {3, u"O'Brien", u"オーBrien", u"O'Brien → オー"},
      {3, u"' or '1'='1", u"", u""},
      {3, u"ABCdef", u"エービーシーdef", u"ABCdef → エービーシー"},  // case ignored
      {3, u"長", u"", u""},      // a registered word longer than the word is no prefix
      {3, u"ＡＢＣ", u"", u""},  // the database ignores letter case only, not width
  };
  for (const auto& c : cases) {
    result = engine::AddressResult{};
    DbError error;
    auto got = db.LookupLearnedWord(c.kind, c.word, result, &error);
    const std::string label = "kind " + std::to_string(c.kind) + " word " + U8(c.word);
    ASSERT_TRUE(got.has_value()) << label << ": " << U8(error.Text());
    EXPECT_EQ(U8(*got), U8(c.expected)) << label;
    if (c.log.empty()) {
      EXPECT_EQ(result.LogCount, 0) << label;
    } else {
      ASSERT_EQ(result.LogCount, 1) << label;
      EXPECT_EQ(U8(result.LogEntries[1]), U8(c.log)) << label;
    }
  }
  EXPECT_TRUE(prompter.records.empty());
}

TEST_F(LearnedWords, AnAppliedReplacementIsCountedOnce) {
  ASSERT_EQ(*db.LookupLearnedWord(2, u"札幌中央区", result), u"札幌市中央区");
  EXPECT_EQ(Count(u"札幌", u"札幌市"), 1);
  result = engine::AddressResult{};
  ASSERT_EQ(*db.LookupLearnedWord(2, u"札幌市", result), u"札幌市");  // not applied
  EXPECT_EQ(Count(u"札幌", u"札幌市"), 1);
  ASSERT_EQ(*db.LookupLearnedWord(3, u"大字丸の内", result), u"丸の内");
  EXPECT_EQ(Count(u"大字", std::nullopt), 1);
  ASSERT_EQ(*db.LookupLearnedWord(2, u"仙台", result), u"仙台市青葉区");
  EXPECT_EQ(Count(u"仙台", u"仙台市青葉区"), 1);
  EXPECT_EQ(Count(u"仙台", u"仙台市"), 50);
  EXPECT_EQ(Count(u"仙台", u"他地域"), 99);
}

TEST_F(LearnedWords, WithoutARegionOnlyCommonRowsApply) {
  db.IntRegionNumber = 0;
  EXPECT_EQ(*db.LookupLearnedWord(2, u"仙台", result), u"仙台市");
}

TEST_F(LearnedWords, AnEleventhLogEntryIsAFailureAndCountsNothing) {
  for (int i = 0; i < engine::kMaxLogEntries; ++i)
    ASSERT_TRUE(result.AddLog(u"x"));
  DbError error;
  auto got = db.LookupLearnedWord(2, u"札幌中央区", result, &error);
  EXPECT_FALSE(got.has_value());
  EXPECT_FALSE(error.description.empty());
  EXPECT_EQ(result.LogCount, engine::kMaxLogEntries);
  EXPECT_EQ(Count(u"札幌", u"札幌市"), 0);
  EXPECT_TRUE(prompter.records.empty());  // the calling lookup reports it
}

TEST_F(LearnedWords, MissingMainDatabaseIsAFailureForTheCaller) {
  db.DatabasePath = RegionFile(u"ない");
  DbError error;
  EXPECT_FALSE(db.LookupLearnedWord(2, u"札幌中央区", result, &error).has_value());
  EXPECT_NE(error.number, 0);
  EXPECT_TRUE(prompter.records.empty());
}

TEST_F(LearnedWords, RegistrationAndItsDuplicateRule) {
  struct Case {
    int scope, kind;
    std::u16string registered, converted;
    bool added;
  };
  const Case cases[] = {
      {0, 2, u"札幌", u"札幌市", false},       // all four values equal
      {0, 2, u"札幌", u"札幌市北区", true},    // another converted word
      {13, 2, u"札幌", u"札幌市", true},       // another scope
      {0, 3, u"札幌", u"札幌市", true},        // another kind
      {0, 3, u"ABC", u"エービーシー", false},  // text equality ignores letter case
      {0, 3, u"O'", u"オー", false},
      {0, 3, u"Mc'Neil", u"マク'ニール", true},
      {0, 3, u"Mc'Neil", u"マク'ニール", false},
  };
  for (const auto& c : cases) {
    prompter.Clear();
    const int64_t before = Rows();
    const bool added = db.RegisterLearnedWord(c.scope, c.kind, c.registered, c.converted);
    const std::string label = U8(c.registered) + " -> " + U8(c.converted);
    EXPECT_EQ(added, c.added) << label;
    EXPECT_EQ(Rows(), before + (c.added ? 1 : 0)) << label;
    if (c.added) {
      EXPECT_TRUE(prompter.records.empty()) << label;
    } else {
      ASSERT_EQ(prompter.records.size(), 1u) << label;
      EXPECT_EQ(U8(prompter.records[0].text),
                "'" + U8(c.registered) + "' → '" + U8(c.converted) + "'は既に登録されています。");
    }
  }
  // A new row starts unused and is found by the next lookup.
  EXPECT_EQ(Count(u"Mc'Neil", u"マク'ニール"), 0);
  EXPECT_EQ(*db.LookupLearnedWord(3, u"Mc'Neil通り", result), u"マク'ニール通り");
}

// The lookup's own connection and the shared one work on the same file: a count stored by the
// lookup does not block a registration, and a registration is seen by the next lookup.
TEST_F(LearnedWords, LookupsAndRegistrationsInterleave) {
  for (int i = 0; i < 3; ++i) {
    result = engine::AddressResult{};
    ASSERT_EQ(*db.LookupLearnedWord(2, u"札幌中央区", result), u"札幌市中央区");
    ASSERT_TRUE(
        db.RegisterLearnedWord(0, 2, u"函館" + text::FromUtf8(std::to_string(i)), u"函館市"))
        << ::testing::PrintToString(Messages());
  }
  EXPECT_EQ(*db.LookupLearnedWord(2, u"函館2本町", result), u"函館市本町");
  EXPECT_EQ(Count(u"札幌", u"札幌市"), 3);
}

TEST_F(LearnedWords, RegistrationFailuresNameTheDictionary) {
  db.CloseMainDatabase();
  EXPECT_FALSE(db.RegisterLearnedWord(0, 2, u"a", u"b"));
  ASSERT_EQ(prompter.records.size(), 1u);
  const auto& closed = prompter.records[0].text;
  EXPECT_EQ(closed.substr(closed.size() - 7), u")\r\n学習辞書") << U8(closed);

  test::TestDatabaseBuilder::Exec(builder.Main(), "drop table 学習");
  ASSERT_TRUE(db.OpenMainDatabase());
  prompter.Clear();
  EXPECT_FALSE(db.RegisterLearnedWord(0, 2, u"a", u"b"));
  ASSERT_EQ(prompter.records.size(), 1u);
  EXPECT_EQ(U8(prompter.records[0].text), "no such table: 学習(1)\r\n学習辞書");
}

}  // namespace
}  // namespace mok::db
