// The main database moved between a folder and a server and back (`mok2 db copy-main`), and a
// server store that loses its server during a run and finds it again at the next.
#include <gtest/gtest.h>

#include "db/address_database.h"
#include "db/import/import_error.h"
#include "db/import/main_copy.h"
#include "db/main_store_open.h"
#include "db/server_main_database.h"
#include "support/test_database_builder.h"
#include "support/test_server.h"

namespace mok::db {
namespace {

using engine::WordKind;
using test::U8;

MainContent ContentOf(const std::u16string& name) {
  auto store = OpenMainStore(name);
  EXPECT_TRUE(store.ok()) << (store ? "" : U8(store.error().Text()));
  if (!store)
    return {};
  auto content = ReadMainContent(**store);
  EXPECT_TRUE(content.ok());
  return content ? *content : MainContent{};
}

TEST(MainServer, CopyRoundTripsTenThousandWordsRowForRow) {
  test::TestServer* server = test::TestServer::Get();
  ASSERT_TRUE(server);
  test::TestDatabaseBuilder b;
  b.AddPrefecture(u"東京", u"ﾄｳｷｮｳ", u"都");
  b.AddPrefecture(u"沖縄", u"ｵｷﾅﾜ", std::nullopt);
  b.AddRegion(u"東京都", 13);
  b.AddRegion(u"全国", std::nullopt);
  // Words that quote, escape and match as patterns would, characters of two code units, empty
  // texts and Nulls, every scope and kind, counts of any size; a gap in the row ids.
  const std::u16string odd[] = {u"O'Hare", u"a\"b", u"c\\d", u"50%", u"_", u"𠮷野", u"", u"ＡＢ"};
  test::TestDatabaseBuilder::Exec(b.Main(), "begin");
  for (int i = 0; i < 10'000; ++i) {
    const std::u16string word = odd[i % 8] + text::FromUtf8(std::to_string(i));
    b.AddLearned(i % 3 == 0 ? 0 : 13, 1 + i % 3, word,
                 i % 7 == 0 ? std::nullopt : std::optional(u"変" + word), i * 1'000'003LL);
  }
  test::TestDatabaseBuilder::Exec(b.Main(),
                                  "update 学習 set fld参照回数 = null where rowid % 11 = 0;"
                                  "delete from 学習 where rowid = 5000; commit");
  b.CloseAll();
  const MainContent original = ContentOf(MainDatabasePath(b.Dir()));
  ASSERT_EQ(original.words.size(), 9'999u);

  const std::u16string name = server->NewDatabase();
  const test::TempFolder back;
  const MainCopyReport there = CopyMainDatabase(b.Dir(), name, false);
  EXPECT_EQ(there.words, 9'999u);
  CopyMainDatabase(name, back.Text(), false);
  EXPECT_EQ(ContentOf(name), original);
  EXPECT_EQ(ContentOf(MainDatabasePath(back.Text())), original);

  // A main database with learned words is replaced only when forced.
  EXPECT_THROW(CopyMainDatabase(back.Text(), name, false), ImportError);
  EXPECT_NO_THROW(CopyMainDatabase(back.Text(), name, true));
  EXPECT_THROW(CopyMainDatabase(name, name, true), ImportError);
}

TEST(MainServer, LookupsOutliveTheServerAndTheNextRunConnectsAgain) {
  test::TestServer* server = test::TestServer::Get();
  ASSERT_TRUE(server);
  test::TestDatabaseBuilder b;
  b.AddLearned(0, 2, u"札幌", u"札幌市", 0);
  b.AddLearned(0, 2, u"札幌", u"札幌市北区", 0);
  b.CloseAll();
  const std::u16string name = server->NewDatabase();
  CopyMainDatabase(b.Dir(), name, false);
  auto store = ServerMainDatabase::Open(name);
  ASSERT_TRUE(store.ok());
  ServerMainDatabase& main = **store;
  main.Refresh();                                 // a run begins
  ASSERT_TRUE(main.CountLearnedWordUse(2).ok());  // 札幌市北区 is now the most used

  server->Stop();
  // The words read when the run began still apply, in the order the counts had given them.
  auto found = main.FindLearnedWord(0, WordKind::City, u"札幌中央区");
  ASSERT_TRUE(found.ok() && *found);
  EXPECT_EQ(U8((*found)->converted), "札幌市北区");
  EXPECT_EQ(main.RegisteredWords(0, WordKind::City)->size(), 2u);
  const DbStatus counted = main.CountLearnedWordUse(1);
  ASSERT_FALSE(counted.ok());
  EXPECT_EQ(counted.error().file, name);
  EXPECT_FALSE(counted.error().sqlState.empty());
  main.Refresh();  // the next run, the server still away: the failure at its first query
  EXPECT_FALSE(ReadRegionList(main).ok());

  server->Start();
  main.Refresh();
  EXPECT_TRUE(main.CountLearnedWordUse(1).ok());
  EXPECT_EQ(U8((*main.FindLearnedWord(0, WordKind::City, u"札幌"))->converted), "札幌市");
}

}  // namespace
}  // namespace mok::db
