// The engine layer: opening files, binding values, reading columns, transactions, the statement
// cache and quoted identifiers, on real database files.
#include "db/connection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/test_database_builder.h"
#include "text/text.h"

namespace mok::db {
namespace {

using test::TempFolder;

std::string U8(const std::u16string& s) {
  return text::ToUtf8(s);
}
std::u16string PathOf(const TempFolder& folder, const std::u16string& file) {
  return text::FromUtf8(folder.File(file).string());
}

TEST(ConnectionOpen, MissingFileIsAnErrorAndIsNotCreated) {
  TempFolder folder;
  const auto path = PathOf(folder, u"ない.sqlite");
  for (bool readOnly : {false, true}) {
    auto db = Connection::Open(path, readOnly);
    ASSERT_FALSE(db.ok()) << "readOnly=" << readOnly;
    EXPECT_NE(db.error().number, 0);
    EXPECT_FALSE(db.error().description.empty());
    EXPECT_FALSE(std::filesystem::exists(folder.File(u"ない.sqlite")));
  }
}

TEST(ConnectionOpen, EmptyOrMemoryNameIsNotADatabaseFile) {
  for (const std::u16string path : {u"", u":memory:"}) {
    auto db = Connection::Open(path);
    ASSERT_FALSE(db.ok()) << U8(path);
    EXPECT_EQ(db.error().number, 14) << U8(path);  // SQLITE_CANTOPEN
  }
}

TEST(ConnectionOpen, FileThatIsNotADatabaseIsAnErrorAtOpen) {
  TempFolder folder;
  std::ofstream(folder.File(u"junk.sqlite")) << "this is not a database file, just some text\n"
                                             << std::string(2000, 'x');
  auto db = Connection::Open(PathOf(folder, u"junk.sqlite"));
  ASSERT_FALSE(db.ok());
  EXPECT_EQ(db.error().number, 26) << U8(db.error().Text());  // SQLITE_NOTADB
}

TEST(ConnectionOpen, CreatedFileOpensAgainWithItsData) {
  TempFolder folder;
  const auto path = PathOf(folder, u"東京都.sqlite");
  {
    auto db = Connection::Create(path);
    ASSERT_TRUE(db.ok()) << U8(db.error().Text());
    ASSERT_TRUE(db->Execute("create table t (a text); insert into t values ('x')").ok());
  }
  auto db = Connection::Open(path, /*readOnly=*/true);
  ASSERT_TRUE(db.ok());
  EXPECT_EQ(db->path(), path);
  auto st = db->Compile("select a from t");
  ASSERT_TRUE(st.ok());
  ASSERT_TRUE(*st->Step());
  EXPECT_EQ(st->Text("a"), u"x");
  // A read-only connection refuses to write.
  EXPECT_FALSE(db->Execute("insert into t values ('y')").ok());
}

TEST(ConnectionError, TextIsDescriptionWithNumberInParentheses) {
  DbError e = MakeError(u"unable to open database file", 14);
  EXPECT_EQ(e.Text(), u"unable to open database file(14)");
  TempFolder folder;
  auto db = Connection::Create(PathOf(folder, u"a.sqlite"));
  ASSERT_TRUE(db.ok());
  auto st = db->Compile("select * from 学習");
  ASSERT_FALSE(st.ok());
  EXPECT_EQ(U8(st.error().Text()), "no such table: 学習(1)");
}

class StatementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto c = Connection::Create(PathOf(folder_, u"t.sqlite"));
    ASSERT_TRUE(c.ok());
    db_ = std::move(*c);
    ASSERT_TRUE(db_.Execute("create table t (name text collate nocase, n integer, r real)").ok());
  }
  TempFolder folder_;
  Connection db_;
};

// Values with quote characters and other SQL-significant text are stored and matched as they are.
TEST_F(StatementTest, BoundTextIsStoredAndMatchedLiterally) {
  const std::u16string values[] = {u"O'Brien", u"'",    u"''", u"a' or '1'='1", u"\"x\"",
                                   u"--",      u"％_%", u"",   u"大手町１丁目"};
  for (const auto& v : values) {
    auto ins = db_.Prepare("insert into t (name) values (?)");
    ASSERT_TRUE(ins.ok());
    (*ins)->BindText(1, v);
    ASSERT_TRUE((*ins)->Run().ok()) << U8(v);
  }
  for (const auto& v : values) {
    auto st = db_.Prepare("select count(*) from t where name = ?");
    ASSERT_TRUE(st.ok());
    (*st)->BindText(1, v);
    ASSERT_TRUE(*(*st)->Step());
    EXPECT_EQ((*st)->Int(0), 1) << "value [" << U8(v) << "]";
  }
}

TEST_F(StatementTest, EmptyTextIsNotNull) {
  auto ins = db_.Prepare("insert into t (name) values (?)");
  (*ins)->BindText(1, std::u16string_view());
  ASSERT_TRUE((*ins)->Run().ok());
  auto st = db_.Compile("select name, name is null from t");
  ASSERT_TRUE(*st->Step());
  EXPECT_FALSE(st->IsNull(0));
  EXPECT_EQ(st->Int(1), 0);
}

TEST_F(StatementTest, ColumnsReadThroughTheirTextForm) {
  ASSERT_TRUE(db_.Execute("insert into t values ('Ab', 42, 35.6895), (null, null, null)").ok());
  auto st = db_.Compile("select name, n, r from t order by rowid");
  ASSERT_TRUE(st.ok());
  ASSERT_TRUE(*st->Step());
  EXPECT_EQ(st->Text("n"), u"42");
  EXPECT_EQ(st->Text("R"), u"35.6895");  // column names ignore ASCII case
  EXPECT_EQ(st->Int("n"), 42);
  EXPECT_FALSE(st->IsNull("name"));
  EXPECT_TRUE(st->IsNull("nosuchcolumn"));
  EXPECT_EQ(st->Text("nosuchcolumn"), u"");
  ASSERT_TRUE(*st->Step());
  for (int c = 0; c < 3; ++c) {
    EXPECT_TRUE(st->IsNull(c));
    EXPECT_EQ(st->Text(c), u"");
    EXPECT_EQ(st->Int(c), 0);
  }
  EXPECT_FALSE(*st->Step());
}

TEST_F(StatementTest, NoCaseColumnsIgnoreAsciiCaseOnly) {
  ASSERT_TRUE(db_.Execute("insert into t (name) values ('Tokyo')").ok());
  for (const auto& [probe, expected] : std::vector<std::pair<std::u16string, int>>{
           {u"TOKYO", 1}, {u"tokyo", 1}, {u"Ｔｏｋｙｏ", 0}}) {
    auto s = db_.Prepare("select count(*) from t where name = ?");
    (*s)->BindText(1, probe);
    ASSERT_TRUE(*(*s)->Step());
    EXPECT_EQ((*s)->Int(0), expected) << U8(probe);
  }
}

TEST_F(StatementTest, CachedStatementComesBackResetWithoutBindings) {
  ASSERT_TRUE(db_.Execute("insert into t (name) values ('a'), ('b')").ok());
  auto first = db_.Prepare("select count(*) from t where name = ?");
  ASSERT_TRUE(first.ok());
  (*first)->BindText(1, u"a");
  ASSERT_TRUE(*(*first)->Step());
  EXPECT_EQ((*first)->Int(0), 1);
  auto again = db_.Prepare("select count(*) from t where name = ?");
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(*first, *again);  // the same compiled statement
  ASSERT_TRUE(*(*again)->Step());
  EXPECT_EQ((*again)->Int(0), 0);  // the old binding is gone: name = Null matches nothing
}

TEST_F(StatementTest, BindOutOfRangeIsReportedByStep) {
  auto st = db_.Prepare("select count(*) from t where name = ?");
  (*st)->BindText(5, u"x");
  auto row = (*st)->Step();
  ASSERT_FALSE(row.ok());
  EXPECT_EQ(row.error().number, 25);  // SQLITE_RANGE
}

TEST_F(StatementTest, TransactionRollsBackUnlessCommitted) {
  {
    auto tx = Transaction::Begin(db_);
    ASSERT_TRUE(tx.ok());
    ASSERT_TRUE(db_.Execute("insert into t (name) values ('lost')").ok());
  }
  {
    auto tx = Transaction::Begin(db_);
    ASSERT_TRUE(tx.ok());
    ASSERT_TRUE(db_.Execute("insert into t (name) values ('kept')").ok());
    ASSERT_TRUE(tx->Commit().ok());
  }
  auto st = db_.Compile("select group_concat(name) from t");
  ASSERT_TRUE(*st->Step());
  EXPECT_EQ(st->Text(0), u"kept");
}

TEST(QuoteIdentifier, NamesWithQuotesAndJapaneseRoundTrip) {
  TempFolder folder;
  auto db = Connection::Create(PathOf(folder, u"q.sqlite"));
  ASSERT_TRUE(db.ok());
  const std::u16string names[] = {u"T13101", u"千代田区", u"a\"b", u"x'; drop table t; --", u"a b"};
  for (const auto& name : names) {
    EXPECT_TRUE(db->Execute("create table " + QuoteIdentifier(name) + " (a)").ok()) << U8(name);
    auto exists = db->TableExists(name);
    ASSERT_TRUE(exists.ok());
    EXPECT_TRUE(*exists) << U8(name);
  }
  EXPECT_EQ(QuoteIdentifier(u"a\"b"), "\"a\"\"b\"");
  auto missing = db->TableExists(u"x' or '1'='1");
  ASSERT_TRUE(missing.ok());
  EXPECT_FALSE(*missing);
}

}  // namespace
}  // namespace mok::db
