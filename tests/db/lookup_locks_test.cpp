// How the lookups share the database files with other connections and programs: the learning
// dictionary's reference counts reach the database file and are seen by other connections, and
// the block lookup holds no lock on the region file once it has returned or while its message
// waits for the user.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "db/address_database_fixture.h"
#include "db/connection.h"

namespace mok::db {
namespace {

namespace fs = std::filesystem;

std::string U8(const std::u16string& s) {
  return text::ToUtf8(s);
}

// Whether another connection can write the file at once (it does not wait for a lock).
bool CanWriteNow(const std::u16string& path) {
  auto other = Connection::Open(path);
  if (!other || !other->Execute("pragma busy_timeout = 0"))
    return false;
  return static_cast<bool>(other->Execute("insert into probe values (1)"));
}

int64_t StoredCount(Connection& db, const std::u16string& registered) {
  auto st = db.Compile("select fld参照回数 from 学習 where fld登録字句 = ?");
  if (!st)
    return -1;
  st->BindText(1, registered);
  auto row = st->Step();
  return row && *row ? st->Int(0) : -1;
}

class LearnedWordCounts : public test::AddressDatabaseTest {
 protected:
  void SetUp() override {
    builder.AddPrefecture(u"東京", u"ﾄｳｷｮｳ", u"都");
    builder.AddRegion(u"東京都", 13);
    builder.AddLearned(0, 2, u"札幌", u"札幌市");
    ASSERT_TRUE(db.OpenMainDatabase());
  }

  std::u16string Hit(const std::u16string& word) {
    engine::AddressResult result;
    DbError error;
    auto rewritten = db.LookupLearnedWord(2, word, result, &error);
    EXPECT_TRUE(rewritten.has_value()) << U8(error.Text());
    return rewritten.value_or(u"");
  }

  fs::path MainFile() const { return builder.folder().File(u"mok2.sqlite"); }
};

TEST_F(LearnedWordCounts, SeenByOtherConnectionsAndKeptInTheFileAfterClosing) {
  EXPECT_EQ(U8(Hit(u"札幌中央区")), "札幌市中央区");
  EXPECT_EQ(U8(Hit(u"札幌北区")), "札幌市北区");
  // Another connection (the dictionary editor, another program) reads the counts at once.
  EXPECT_EQ(StoredCount(builder.Main(), u"札幌"), 2);

  db.CloseMainDatabase();
  builder.CloseAll();
  // The last connection to close leaves everything in the database file itself, so that the
  // file alone can be copied or backed up.
  EXPECT_FALSE(fs::exists(MainFile().string() + "-wal"));
  test::TempFolder elsewhere;
  const fs::path copy = elsewhere.File(u"mok2.sqlite");
  fs::copy_file(MainFile(), copy);
  auto copied = Connection::Open(text::FromUtf8(copy.string()), /*readOnly=*/true);
  ASSERT_TRUE(copied) << U8(copied.error().Text());
  EXPECT_EQ(StoredCount(*copied, u"札幌"), 2);
}

TEST_F(LearnedWordCounts, LookupsThatChangeNothingLeaveTheFileFormatAsItIs) {
  // Byte 18 of the header: 1 for the rollback journal the data tool creates, 2 for the log.
  auto format = [&] {
    std::ifstream in(MainFile(), std::ios::binary);
    char header[20] = {};
    in.read(header, sizeof header);
    return static_cast<int>(header[18]);
  };
  builder.CloseAll();
  ASSERT_EQ(format(), 1);
  EXPECT_EQ(U8(Hit(u"函館")), "");
  EXPECT_EQ(U8(Hit(u"札")), "");
  db.CloseMainDatabase();
  EXPECT_EQ(format(), 1);
}

TEST_F(LearnedWordCounts, OtherConnectionsWriteAndReadWhileTheLookupsKeepTheirsOpen) {
  ASSERT_EQ(U8(Hit(u"札幌中央区")), "札幌市中央区");
  // A registration through the main connection and one by another connection (no waiting for
  // a lock) are both found by the next lookup.
  ASSERT_TRUE(db.RegisterLearnedWord(0, 2, u"仙台", u"仙台市"))
      << testing::PrintToString(Messages());
  auto editor = Connection::Open(text::FromUtf8(MainFile().string()));
  ASSERT_TRUE(editor);
  ASSERT_TRUE(editor->Execute("pragma busy_timeout = 0"));
  ASSERT_TRUE(
      editor->Execute("insert into 学習 (fldDbNo, fldType, fld登録字句, fld変換字句,"
                      " fld参照回数) values (0, 2, '函館', '函館市', 0)"));
  EXPECT_EQ(U8(Hit(u"仙台青葉区")), "仙台市青葉区");
  EXPECT_EQ(U8(Hit(u"函館")), "函館市");
  EXPECT_EQ(StoredCount(*editor, u"仙台"), 1);
  EXPECT_EQ(StoredCount(*editor, u"函館"), 1);

  // The lists read through connections of their own, opened read-only.
  ASSERT_TRUE(db.LoadPrefectureNames());
  EXPECT_EQ(db.PrefCount, 1);
  std::vector<std::u16string> combo;
  ASSERT_TRUE(db.LoadRegionList(combo));
  EXPECT_EQ(combo.size(), 1u);
  EXPECT_EQ(db.RegionNumber(u"東京都").value_or(-1), 13);
  EXPECT_TRUE(prompter.records.empty()) << testing::PrintToString(Messages());
}

// A prompter that, while a message is shown, tries to write the region file from another
// connection, as a data import in another program would.
class WritingPrompter : public Prompter {
 public:
  explicit WritingPrompter(std::u16string path) : path_(std::move(path)) {}
  void ShowMessage(const std::u16string& text, MessageIcon, const std::u16string&) override {
    messages.push_back(U8(text));
    writable.push_back(CanWriteNow(path_));
  }
  Answer Ask(const std::u16string&, MessageButtons, MessageIcon, const std::u16string&) override {
    return Answer::Ok;
  }
  std::vector<std::string> messages;
  std::vector<bool> writable;

 private:
  std::u16string path_;
};

class RegionLocks : public test::AddressDatabaseTest {
 protected:
  void SetUp() override {
    const std::u16string r = u"東京都";
    builder.AddPosition(r, {r, u"千代田区", u"丸の内一丁目", u"T13101", 1, u"13101"});
    builder.AddPosition(r, {r, u"千代田区", u"欠町", u"T13101", 2, std::nullopt});
    builder.AddPosition(r, {r, u"千代田区", u"幻町", u"NoSuchTable", 3, u"13101"});
    builder.AddBlock(r, u"T13101", {1, u"3", u"9", u"X3", u"Y3", u"35.1", u"139.1"});
    builder.AddBlock(r, u"T13101", {2, u"1", u"9", u"X1", u"Y1", u"35.2", u"139.2"});
    test::TestDatabaseBuilder::Exec(builder.Region(r), "create table probe (x)");
    builder.CloseAll();
    settings.dbDir = builder.Dir();
    lookups.StrSelectedRegion = r;
  }

  WritingPrompter writing{RegionFile(u"東京都")};
  AddressDatabase lookups{settings, writing};
};

TEST_F(RegionLocks, NoLockOnTheRegionFileAfterALookupOrDuringItsMessage) {
  struct Case {
    std::u16string town;
    bool found;
    bool message;
  };
  const Case cases[] = {
      {u"丸の内一丁目", true, false}, {u"無い町", false, false},  // no POSITION row
      {u"欠町", false, true},                                     // a Null in the row that was read
      {u"幻町", false, true},  // the named block table is missing
      {u"丸の内一丁目", true, false},
  };
  for (const auto& c : cases) {
    writing.messages.clear();
    writing.writable.clear();
    engine::AddressResult result;
    std::u16string block = u"３";
    EXPECT_EQ(lookups.LookupBlockCoordinates(u"東京都", u"千代田区", c.town, block, result),
              c.found)
        << U8(c.town);
    ASSERT_EQ(writing.messages.size(), c.message ? 1u : 0u)
        << U8(c.town) << testing::PrintToString(writing.messages);
    if (c.message) {
      EXPECT_TRUE(writing.writable[0]) << "locked while the message of " << U8(c.town) << " shows";
    }
    EXPECT_TRUE(CanWriteNow(RegionFile(u"東京都"))) << "locked after " << U8(c.town);
  }
}

TEST(ReadScope, InsideTheCallersTransactionNeitherCommitsNorEndsIt) {
  test::TempFolder folder;
  auto db = Connection::Create(text::FromUtf8(folder.File(u"t.sqlite").string()));
  ASSERT_TRUE(db);
  ASSERT_TRUE(db->Execute("create table t (x)"));
  ASSERT_TRUE(db->Execute("begin"));
  ASSERT_TRUE(db->Execute("insert into t values (1)"));
  {
    ReadScope scope(*db);
    auto st = db->Compile("select count(*) from t");
    ASSERT_TRUE(st && *st->Step());
    EXPECT_EQ(st->Int(0), 1);
  }
  ASSERT_TRUE(db->Execute("rollback"));  // fails when the scope had ended the transaction
  auto st = db->Compile("select count(*) from t");
  ASSERT_TRUE(st && *st->Step());
  EXPECT_EQ(st->Int(0), 0);
}

}  // namespace
}  // namespace mok::db
