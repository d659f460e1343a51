// The dictionary editor's row set over a real main database: the search clause (scope, kind,
// keyword taken literally), the region list, and the failures handed back as values.
#include "db/learning_dict_records.h"

#include <gtest/gtest.h>

#include "db/learning_dict_sample.h"

namespace mok::db {
namespace {

using test::TestDatabaseBuilder;

class LearningDictRecordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddLearningDictSample(b);
    ASSERT_TRUE(records.Open(b.Dir() + u"/mok2.sqlite"));
  }

  std::vector<std::string> Words() {
    std::vector<std::string> words;
    for (int32_t i = 0; i < records.Count(); ++i)
      words.push_back(text::ToUtf8(records.Row(i).registeredWord.value_or(u"<Null>")));
    return words;
  }

  TestDatabaseBuilder b;
  LearningDictRecords records;
};

TEST_F(LearningDictRecordsTest, SearchSelectsScopeKindAndKeyword) {
  using enum KeywordField;
  struct Case {
    const char* what;
    LearningDictSearch search;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"common cities", {.commonOnly = true}, {"札幌", "50%"}},
      {"region 13 cities", {.regionNo = 13}, {"渋谷", "O'Hare"}},
      {"region 13 both kinds", {.regionNo = 13, .town = true}, {"渋谷", "はち山", "O'Hare"}},
      {"common wins over a region", {.commonOnly = true, .regionNo = 13}, {"札幌", "50%"}},
      {"any scope, towns", {.city = false, .town = true}, {"はち山", "大通"}},
      {"unknown region", {.regionNo = 99, .town = true}, {}},
      {"札幌 in either word",
       {.city = false, .keyword = u"札幌", .field = Either},
       {"札幌", "中央", "大通"}},
      {"札幌 in the registered word", {.city = false, .keyword = u"札幌"}, {"札幌"}},
      {"札幌 in the converted word",
       {.city = false, .keyword = u"札幌", .field = Converted},
       {"札幌", "中央", "大通"}},
      {"keyword with a quote", {.town = true, .keyword = u"'"}, {"O'Hare"}},
      {"letter case ignored", {.town = true, .keyword = u"o'h"}, {"O'Hare"}},
      {"a % is a character, not a wildcard", {.town = true, .keyword = u"%"}, {"50%"}},
      {"an _ is a character too", {.town = true, .keyword = u"_"}, {}},
      {"keyword and scope",
       {.commonOnly = true, .town = true, .keyword = u"札幌", .field = Converted},
       {"札幌", "大通"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(records.Search(c.search));
    EXPECT_EQ(Words(), c.expected);
  }
}

TEST_F(LearningDictRecordsTest, RegionsInTableOrder) {
  const auto regions = records.ReadRegions();
  ASSERT_TRUE(regions);
  ASSERT_EQ(regions->size(), 2u);
  EXPECT_EQ((*regions)[1].name, u"東京都");
  EXPECT_EQ((*regions)[1].id, u"13");
}

TEST_F(LearningDictRecordsTest, FailuresComeBackAsValues) {
  ASSERT_TRUE(records.Search({.commonOnly = true}));
  for (const int32_t outside : {-1, 2}) {
    const DbStatus stored = records.Store(outside, {});
    ASSERT_FALSE(stored);
    EXPECT_EQ(stored.error().Text(), u"カレント レコードがありません。(3021)");
    EXPECT_FALSE(records.Delete(outside));
  }
  LearningDictRecords closed;
  EXPECT_FALSE(closed.Open(b.Dir() + u"/missing.sqlite"));
  EXPECT_FALSE(closed.Search({}));
  EXPECT_FALSE(closed.ReadRegions());
}

}  // namespace
}  // namespace mok::db
