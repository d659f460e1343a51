// The engine layer on real files: what it refuses to open, bound values, reading columns, the
// statement cache, transactions and read scopes. (Quoted identifiers: schema_test.)
#include "db/connection.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/test_database_builder.h"

namespace mok::db {
namespace {

// A missing file (never created by Open), an empty name, ":memory:" and a file that is not a
// database are errors at the open.
TEST(Connection, OpenRefusesWhatIsNotADatabaseFile) {
  test::TempFolder folder;
  std::ofstream((folder / "junk.sqlite")) << "not a database" << std::string(2000, 'x');
  const std::pair<std::u16string, int> cases[] = {
      {text::FromUtf8((folder / "ない.sqlite").string()), 14},  // SQLITE_CANTOPEN
      {u"", 14},
      {u":memory:", 14},
      {text::FromUtf8((folder / "junk.sqlite").string()), 26},  // SQLITE_NOTADB
  };
  for (const auto& [path, number] : cases) {
    for (bool readOnly : {false, true})
      EXPECT_EQ(Connection::Open(path, readOnly).error().number, number) << text::ToUtf8(path);
  }
  EXPECT_FALSE(std::filesystem::exists((folder / "ない.sqlite")));
}

struct ConnectionTest : ::testing::Test {
  ConnectionTest() {
    db = std::move(*Connection::Create(path));
    EXPECT_TRUE(db.Execute("create table t (name text, n integer, r real)"));
  }
  std::u16string Names(Connection& c) {
    auto st = c.Compile("select group_concat(name, '|') from t");
    return *st->Step() ? st->Text(0) : u"?";
  }
  test::TempFolder folder;
  const std::u16string path = text::FromUtf8((folder / "東京都.sqlite").string());
  Connection db;
};

// Values with quote characters and other SQL text are stored and matched as they are; an empty
// text is not Null.
TEST_F(ConnectionTest, BoundTextIsStoredAndMatchedLiterally) {
  for (const std::u16string v : {u"O'Brien", u"''", u"a' or '1'='1", u"\"x\"", u"--", u"%_", u""}) {
    auto insert = db.Prepare("insert into t (name) values (?)");
    ASSERT_TRUE((*insert)->BindText(1, v).Run());
    auto count = db.Prepare("select count(*) from t where name = ?");
    ASSERT_TRUE(*(*count)->BindText(1, v).Step());
    EXPECT_EQ((*count)->Int(0), 1) << text::ToUtf8(v);
  }
}

// Columns read through their text form, by number or by name (ASCII case ignored); Null and an
// unknown name read as "" and 0.
TEST_F(ConnectionTest, ColumnsReadThroughTheirTextForm) {
  ASSERT_TRUE(db.Execute("insert into t values ('Ab', 42, 35.6895), (null, null, null)"));
  auto st = db.Compile("select name, n, r from t order by rowid");
  ASSERT_TRUE(*st->Step());
  EXPECT_EQ(st->Text("NAME") + u"|" + st->Text(1) + u"|" + st->Text("r") + st->Text("x"),
            u"Ab|42|35.6895");
  EXPECT_EQ(st->Int("n") + st->Int("x"), 42);
  ASSERT_TRUE(*st->Step());
  EXPECT_TRUE(st->IsNull(0) && st->Text(1).empty() && st->Int(2) == 0);
}

// A cached statement comes back rewound and without its bindings; a failed bind shows at Step.
TEST_F(ConnectionTest, CachedStatementComesBackResetWithoutBindings) {
  auto first = db.Prepare("select ? is null");
  ASSERT_TRUE(*(*first)->BindText(1, u"a").Step());
  auto again = db.Prepare("select ? is null");
  EXPECT_EQ(*first, *again);
  EXPECT_TRUE(*(*again)->Step() && (*again)->Int(0) == 1);  // the binding is gone
  (*again)->Reset();
  EXPECT_EQ((*again)->BindText(5, u"x").Step().error().number, 25);  // SQLITE_RANGE
}

// A transaction rolls back unless committed, also when a read scope ran inside it; a read scope of
// its own lets another connection write once it ends. A read-only connection refuses to write.
TEST_F(ConnectionTest, TransactionsAndReadScopes) {
  for (const std::string name : {"lost", "kept"}) {
    auto tx = Transaction::Begin(db);
    ASSERT_TRUE(db.Execute("insert into t (name) values ('" + name + "')"));
    ReadScope(db).End();
    EXPECT_TRUE(name == "lost" || tx->Commit());
  }
  auto other = Connection::Open(path);
  {
    ReadScope scope(db);
    EXPECT_EQ(Names(db), u"kept");
  }
  EXPECT_TRUE(other->Execute("insert into t (name) values ('other')"));
  EXPECT_EQ(Names(*other), u"kept|other");
  EXPECT_FALSE(Connection::Open(path, true)->Execute("delete from t"));
}

}  // namespace
}  // namespace mok::db
