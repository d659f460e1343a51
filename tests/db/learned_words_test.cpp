// The learning dictionary store: which learned word applies to a word, its use counted in the
// file, and the write-ahead log asked for only once a word is used.
#include <gtest/gtest.h>

#include <fstream>

#include "db/address_database.h"
#include "support/test_database_builder.h"

namespace mok::db {
namespace {

using test::U8;

TEST(LearnedWords, RegionsOwnThenMostUsedThenOldestPrefixAndItsUsesCounted) {
  test::TestDatabaseBuilder b;
  b.AddLearned(0, 2, u"仙台", u"仙台市", 50);        // common and used often...
  b.AddLearned(13, 2, u"仙台", u"仙台市青葉区", 0);  // ...but the region's own row comes first
  b.AddLearned(14, 2, u"仙台", u"他地域", 99);
  b.AddLearned(0, 2, u"札幌", u"札幌市", 0);
  b.AddLearned(0, 2, u"札幌中", u"札幌市中", 0);  // as used as 札幌 but newer
  b.AddLearned(0, 2, u"函", u"函館", 1);
  b.AddLearned(0, 2, u"函館", u"函館市", 0);  // a longer prefix has no precedence
  b.AddLearned(0, 3, u"abc", u"エービーシー", 0);
  b.AddLearned(0, 3, u"長い", u"短", 0);
  test::TestDatabaseBuilder::Exec(b.Main(), "update 学習 set fld参照回数 = null where rowid = 9");
  b.CloseAll();
  const std::u16string file = MainDatabasePath(b.Dir());
  auto db = MainDatabase::Open(file);
  ASSERT_TRUE(db.ok());
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
      {0, 3, u"長", ""}};  // a registered word longer than the word
  for (const auto& [region, kind, word, expected] : cases) {
    auto found = (*db)->FindLearnedWord(region, static_cast<engine::WordKind>(kind), word);
    ASSERT_TRUE(found.ok()) << U8(found.error().Text());
    EXPECT_EQ(*found ? U8((*found)->registered + u" → " + (*found)->converted) : "", expected);
  }
  // Byte 18 of the file header: 1 for the rollback journal, 2 for the write-ahead log, which is
  // asked for at the first use counted.
  auto journal = [&] {
    char header[20] = {};
    std::ifstream(std::filesystem::path(file), std::ios::binary).read(header, sizeof header);
    return static_cast<int>(header[18]);
  };
  EXPECT_EQ(journal(), 1);
  auto used = (*db)->FindLearnedWord(0, engine::WordKind::Town, u"長い");
  for (int i = 0; i < 2; ++i)
    ASSERT_TRUE((*db)->CountLearnedWordUse((*used)->id).ok());
  EXPECT_EQ(journal(), 2);
  // Another connection reads the count (from Null) at once and may write while this one stays
  // open; failures name the file.
  {
    auto other = Connection::Open(file);
    ASSERT_TRUE(other.ok() && other->Execute("pragma busy_timeout = 0").ok());
    auto count = other->Compile("select fld参照回数 from 学習 where rowid = 9");
    ASSERT_TRUE(count.ok() && *count->Step());
    EXPECT_EQ(count->Int(0), 2);
    count->Reset();
    ASSERT_TRUE(other->Execute("drop table 学習").ok());
    EXPECT_EQ((*db)->FindLearnedWord(0, engine::WordKind::City, u"札幌").error().file, file);
  }
  // A file a killed run left in write-ahead-log mode gets its rollback journal back at the next
  // opening that has the file to itself (issue 20, fault G8).
  db->reset();
  ASSERT_TRUE(Connection::Open(file)->Execute("pragma journal_mode = wal").ok());
  ASSERT_EQ(journal(), 2);
  EXPECT_TRUE(MainDatabase::Open(file).ok());
  EXPECT_EQ(journal(), 1);
}

}  // namespace
}  // namespace mok::db
