// The learning dictionary in a file: the write-ahead log asked for only once a word's use is
// counted, another program reading the count at once and writing while the file is open, and
// failures naming the file. (Which word applies, and the counting, main_store_test.cpp tests on
// both stores.)
#include <gtest/gtest.h>

#include <fstream>

#include "db/address_database.h"
#include "db/main_database.h"
#include "support/test_database_builder.h"

namespace mok::db {
namespace {

TEST(LearnedWords, WriteAheadLogOnlyOnceAUseIsCounted) {
  test::TestDatabaseBuilder b;
  b.AddLearned(0, 3, u"長い", u"短", 0);
  test::TestDatabaseBuilder::Exec(b.Main(), "update 学習 set fld参照回数 = null");
  b.CloseAll();
  const std::u16string file = MainDatabasePath(b.Dir());
  auto db = MainDatabase::Open(file);
  ASSERT_TRUE(db.ok());
  // Byte 18 of the file header: 1 for the rollback journal, 2 for the write-ahead log, which is
  // asked for at the first use counted.
  auto journal = [&] {
    char header[20] = {};
    std::ifstream(std::filesystem::path(file), std::ios::binary).read(header, sizeof header);
    return static_cast<int>(header[18]);
  };
  auto used = (*db)->FindLearnedWord(0, engine::WordKind::Town, u"長い");
  ASSERT_TRUE(used.ok() && *used);
  EXPECT_EQ(journal(), 1);
  for (int i = 0; i < 2; ++i)
    ASSERT_TRUE((*db)->CountLearnedWordUse((*used)->id).ok());
  EXPECT_EQ(journal(), 2);
  // Another connection reads the count (from Null) at once and may write while this one stays
  // open; failures name the file.
  {
    auto other = Connection::Open(file);
    ASSERT_TRUE(other.ok() && other->Execute("pragma busy_timeout = 0").ok());
    auto count = other->Compile("select fld参照回数 from 学習");
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
