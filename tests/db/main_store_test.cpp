// The main database's behaviour, tested once and run against both stores, the folder's file and
// a server: which learned word applies, its use counted in the store, the duplicate check of a
// registration, the lists, the dictionary editor's rows, the content a copy moves, and four
// programs registering and counting at once.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "db/address_database.h"
#include "db/import/main_copy.h"
#include "db/learning_dict_records.h"
#include "db/learning_dict_sample.h"
#include "db/main_store_open.h"
#include "support/test_server.h"

namespace mok::db {
namespace {

using engine::WordKind;
using test::U8;

enum class Store { File, Server };

class MainStoreTest : public ::testing::TestWithParam<Store> {
 protected:
  // The builder's main database as the store under test: the file, or a copy on the server.
  std::u16string Name() {
    b.Main();
    b.CloseAll();
    if (GetParam() == Store::File)
      return MainDatabasePath(b.Dir());
    test::TestServer* server = test::TestServer::Get();
    if (server == nullptr)
      return u"postgresql:///no-server";
    const std::u16string name = server->NewDatabase();
    CopyMainDatabase(b.Dir(), name, false);
    return name;
  }
  std::unique_ptr<MainStore> Open(const std::u16string& name) {
    auto store = OpenMainStore(name);
    EXPECT_TRUE(store.ok()) << (store ? "" : U8(store.error().Text()));
    return store ? std::move(*store) : nullptr;
  }

  test::TestDatabaseBuilder b;
};

TEST_P(MainStoreTest, RegionsOwnThenMostUsedThenOldestPrefixAndItsUsesCounted) {
  b.AddLearned(0, 2, u"仙台", u"仙台市", 50);        // common and used often...
  b.AddLearned(13, 2, u"仙台", u"仙台市青葉区", 0);  // ...but the region's own row comes first
  b.AddLearned(14, 2, u"仙台", u"他地域", 99);
  b.AddLearned(0, 2, u"札幌", u"札幌市", 0);
  b.AddLearned(0, 2, u"札幌中", u"札幌市中", 0);  // as used as 札幌 but newer
  b.AddLearned(0, 2, u"函", u"函館", 1);
  b.AddLearned(0, 2, u"函館", u"函館市", 0);  // a longer prefix has no precedence
  b.AddLearned(0, 3, u"abc", u"エービーシー", 0);
  b.AddLearned(0, 3, u"長い", u"短", 0);
  b.AddLearned(0, 3, u"東", u"東A", 0);          // a Null count comes after every count...
  b.AddLearned(0, 3, u"東", u"東B", 0);          // ...so the newer row with 0 uses wins
  b.AddLearned(0, 3, u"𠮷野", std::nullopt, 0);  // a character of two code units; Null → ""
  test::TestDatabaseBuilder::Exec(b.Main(),
                                  "update 学習 set fld参照回数 = null where rowid in (9, 10)");
  const auto store = Open(Name());
  ASSERT_TRUE(store);
  // region, kind, word, and the row that applies (registered → converted) or "".
  const std::tuple<int16_t, int, std::u16string, std::string> cases[] = {
      {13, 2, u"仙台青葉", "仙台 → 仙台市青葉区"},
      {0, 2, u"仙台青葉", "仙台 → 仙台市"},
      {14, 2, u"仙台", "仙台 → 他地域"},
      {0, 2, u"札幌中央区", "札幌 → 札幌市"},
      {0, 2, u"函館本町", "函 → 函館"},
      {0, 3, u"札幌中央区", ""},                // a municipality word
      {0, 3, u"ABCdef", "abc → エービーシー"},  // ASCII letter case ignored, width not
      {0, 3, u"ＡＢＣ", ""},
      {0, 3, u"長", ""},  // a registered word longer than the word
      {0, 3, u"東町", "東 → 東B"},
      {0, 3, u"𠮷野家", "𠮷野 → "}};
  for (const auto& [region, kind, word, expected] : cases) {
    auto found = store->FindLearnedWord(region, static_cast<WordKind>(kind), word);
    ASSERT_TRUE(found.ok()) << U8(found.error().Text());
    EXPECT_EQ(*found ? U8((*found)->registered + u" → " + (*found)->converted) : "", expected)
        << U8(word);
  }
  // Counted in the store, from Null; the count then orders the rows.
  ASSERT_TRUE(store->CountLearnedWordUse(10).ok() && store->CountLearnedWordUse(10).ok());
  EXPECT_EQ(U8((*store->FindLearnedWord(0, WordKind::Town, u"東"))->converted), "東A");
  auto words = store->SearchLearnedRows({.city = false, .keyword = u"東"});
  ASSERT_TRUE(words.ok() && words->size() == 2);
  EXPECT_EQ((*words)[0].referenceCount, 2);
  auto registered = store->RegisteredWords(13, WordKind::City);
  ASSERT_TRUE(registered.ok());
  EXPECT_EQ(registered->size(), 6u);  // all but region 14's
}

TEST_P(MainStoreTest, RegisterLearnedWordOnceForItsFourValues) {
  b.AddLearned(0, 2, u"札幌", u"札幌市");
  b.AddLearned(0, 3, u"abc", u"エービーシー");
  const auto store = Open(Name());
  ASSERT_TRUE(store);
  auto add = [&](int32_t scope, WordKind kind, std::u16string word, std::u16string to) {
    auto added = store->RegisterLearnedWord(scope, kind, word, to);
    EXPECT_TRUE(added.ok()) << (added ? "" : U8(added.error().Text()));
    return added.ok() && *added == Registration::Added;
  };
  const auto city = WordKind::City;
  EXPECT_FALSE(add(0, city, u"札幌", u"札幌市"));
  EXPECT_TRUE(add(0, city, u"札幌", u"札幌市北区"));                // another converted word
  EXPECT_TRUE(add(13, city, u"札幌", u"札幌市"));                   // another scope
  EXPECT_TRUE(add(0, WordKind::Town, u"札幌", u"札幌市"));          // another kind
  EXPECT_FALSE(add(0, WordKind::Town, u"ABC", u"エービーシー"));    // letter case ignored
  EXPECT_TRUE(add(0, WordKind::Town, u"ＡＢＣ", u"エービーシー"));  // width not
  EXPECT_FALSE(add(13, city, u"札幌", u"札幌市"));
  EXPECT_EQ(U8((*store->FindLearnedWord(13, city, u"札幌"))->converted), "札幌市");
}

TEST_P(MainStoreTest, PrefecturesAndRegionsInTableOrder) {
  b.AddPrefecture(u"北海", u"ﾎｯｶｲﾄﾞｳ", u"道");
  b.AddPrefecture(u"東京", u"ﾄｳｷｮｳ", u"都");
  b.AddPrefecture(u"沖縄", u"ｵｷﾅﾜ", std::nullopt);
  b.AddRegion(u"東京都", 13);
  b.AddRegion(u"Abc", 7);
  b.AddRegion(u"ABC", 8);
  const auto store = Open(Name());
  ASSERT_TRUE(store);
  const auto prefectures = ReadPrefectures(*store);
  ASSERT_TRUE(prefectures.ok());
  std::string shown;
  for (const engine::Prefecture& p : *prefectures)
    shown += U8(p.name + u" " + p.kana + u" " + p.kanaSuffix) + "|";
  EXPECT_EQ(shown, "北海道 ﾎｯｶｲﾄﾞｳ |東京都 ﾄｳｷｮｳ ﾄ|沖縄 ｵｷﾅﾜ ｹﾝ|");
  EXPECT_EQ(ReadRegionList(*store)->size(), 3u);
  EXPECT_EQ(*RegionNumber(*store, u"abc"), 7);  // the first of the names equal without case
  EXPECT_EQ(*RegionNumber(*store, u"ａｂｃ"), 0);
}

TEST_P(MainStoreTest, DictionaryEditorSearchesStoresAndDeletes) {
  test::AddLearningDictSample(b);
  LearningDictRecords records;
  const std::u16string name = Name();
  ASSERT_TRUE(records.Open(name));
  auto words = [&] {
    std::vector<std::string> found;
    for (int32_t i = 0; i < records.Count(); ++i)
      found.push_back(U8(records.Row(i).registeredWord.value_or(u"<Null>")));
    return found;
  };
  using enum KeywordField;
  const std::tuple<const char*, LearningDictSearch, std::vector<std::string>> cases[] = {
      {"common cities", {.commonOnly = true}, {"札幌", "50%"}},
      {"region 13 both kinds", {.regionNo = 13, .town = true}, {"渋谷", "はち山", "O'Hare"}},
      {"common wins over a region", {.commonOnly = true, .regionNo = 13}, {"札幌", "50%"}},
      {"any scope, towns", {.city = false, .town = true}, {"はち山", "大通"}},
      {"札幌 in either word",
       {.city = false, .keyword = u"札幌", .field = Either},
       {"札幌", "中央", "大通"}},
      {"札幌 in the converted word",
       {.commonOnly = true, .town = true, .keyword = u"札幌", .field = Converted},
       {"札幌", "大通"}},
      {"letter case ignored, a quote", {.town = true, .keyword = u"o'h"}, {"O'Hare"}},
      {"a % is a character, not a wildcard", {.town = true, .keyword = u"%"}, {"50%"}},
      {"an _ is a character too", {.town = true, .keyword = u"_"}, {}},
  };
  for (const auto& [what, search, expected] : cases) {
    ASSERT_TRUE(records.Search(search)) << what;
    EXPECT_EQ(words(), expected) << what;
  }
  const auto regions = records.ReadRegions();
  ASSERT_TRUE(regions && regions->size() == 2u);
  EXPECT_EQ(U8((*regions)[1].name + u" " + (*regions)[1].id), "東京都 13");

  // Stored, added and deleted rows are what the next search reads.
  ASSERT_TRUE(records.Search({.regionNo = 13}));  // 渋谷, O'Hare
  LearningDictRow changed = records.Row(0);
  changed.convertedWord = std::nullopt;
  changed.referenceCount = 7;
  ASSERT_TRUE(records.Store(0, changed));
  records.AddNew();
  ASSERT_TRUE(records.Store(
      2, {.scope = 13, .kind = 2, .registeredWord = u"新", .convertedWord = u"新宿"}));
  ASSERT_TRUE(records.Delete(1));
  ASSERT_TRUE(records.Search({.regionNo = 13}));
  EXPECT_EQ(words(), (std::vector<std::string>{"渋谷", "新"}));
  EXPECT_EQ(records.Row(0).convertedWord, std::nullopt);
  EXPECT_EQ(records.Row(0).referenceCount, 7);

  // A row another desk deleted is not stored, and the row set keeps it as it was.
  LearningDictRecords other;
  ASSERT_TRUE(other.Open(name) && other.Search({.regionNo = 13}) && other.Delete(1));
  const DbStatus stored = records.Store(1, {.scope = 13, .kind = 2, .registeredWord = u"x"});
  ASSERT_FALSE(stored);
  EXPECT_EQ(stored.error().number, 3021);
  EXPECT_EQ(records.Row(1).registeredWord, u"新");
  EXPECT_FALSE(records.Store(2, {}));  // outside the set
  EXPECT_EQ(records.Store(-1, {}).error().Text(), u"カレント レコードがありません。(3021)");
}

TEST_P(MainStoreTest, ContentReplacedWholeRowIdsAndNullsIncluded) {
  b.AddLearned(0, 2, u"古", u"古い", 3);
  const auto store = Open(Name());
  ASSERT_TRUE(store);
  const MainContent content{{{1, u"北海", u"ﾎｯｶｲﾄﾞｳ", u"道"}, {5, u"沖縄", u"ｵｷﾅﾜ", std::nullopt}},
                            {{2, u"全国", 48}, {3, u"東京都", std::nullopt}},
                            {{4, 0, 2, u"a'b\"c\\%_", u"", 9'000'000'000},
                             {9, std::nullopt, 3, u"𠮷", std::nullopt, {}}}};
  ASSERT_TRUE(store->ReplaceContent(content).ok());
  EXPECT_EQ(*ReadMainContent(*store), content);
  // New rows follow the highest row id.
  auto added = store->StoreLearnedRow({.scope = 0, .kind = 2, .registeredWord = u"新"});
  ASSERT_TRUE(added.ok());
  EXPECT_GT(*added, 9);
}

TEST_P(MainStoreTest, FourProgramsRegisteringAndCountingAtOnceLoseNothing) {
  // Words 0 to 999; program p registers those whose number leaves p or p + 1 (mod 4) when
  // divided by 4, so every word is registered by two programs racing each other, then counts
  // one use of every word.
  const std::u16string name = Name();
  // Of one length, so that none is the beginning of another.
  auto word = [](int n) { return text::FromUtf8("語" + std::to_string(10000 + n)); };
  std::vector<pid_t> programs;
  for (int p = 0; p < 4; ++p) {
    const pid_t pid = fork();
    if (pid != 0) {
      programs.push_back(pid);
      continue;
    }
    auto store = OpenMainStore(name);
    bool ok = store.ok();
    for (int n = 0; ok && n < 1000; ++n) {
      if (n % 4 == p || n % 4 == (p + 1) % 4)
        ok = (*store)->RegisterLearnedWord(0, WordKind::City, word(n), u"町").ok();
    }
    for (int n = 0; ok && n < 1000; ++n) {
      // The other program registering the word may not have done so yet.
      auto found = (*store)->FindLearnedWord(0, WordKind::City, word(n));
      for (int wait = 0; found.ok() && !*found && wait < 1000; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        found = (*store)->FindLearnedWord(0, WordKind::City, word(n));
      }
      ok = found.ok() && *found && (*store)->CountLearnedWordUse((*found)->id).ok();
    }
    if (!ok)
      std::fprintf(stderr, "program %d: %s\n", p, store ? "" : U8(store.error().Text()).c_str());
    _exit(ok ? 0 : 1);
  }
  for (const pid_t pid : programs) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const auto store = Open(name);
  ASSERT_TRUE(store);
  const auto rows = store->SearchLearnedRows({});
  ASSERT_TRUE(rows.ok());
  EXPECT_EQ(rows->size(), 1000u);
  EXPECT_EQ(std::count_if(rows->begin(), rows->end(),
                          [](const LearningDictRow& row) { return row.referenceCount == 4; }),
            1000);
}

INSTANTIATE_TEST_SUITE_P(BothStores, MainStoreTest, ::testing::Values(Store::File, Store::Server),
                         [](const auto& info) {
                           return info.param == Store::File ? "File" : "Server";
                         });

}  // namespace
}  // namespace mok::db
