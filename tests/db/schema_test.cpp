// The tables and indexes the data tool creates: made again they keep their rows, text compares
// without regard to ASCII case, and the lookup indexes cover the block tables named in POSITION
// whatever their names.
#include "db/schema.h"

#include <gtest/gtest.h>

#include "support/test_database_builder.h"

namespace mok::db {
namespace {

// One database with the main and the region tables.
struct SchemaTest : ::testing::Test {
  SchemaTest() {
    db = std::move(*Connection::Create(text::FromUtf8((folder / "R.sqlite").string())));
    EXPECT_TRUE(CreateMainSchema(db) && CreateRegionSchema(db));
  }
  int64_t Count(const std::string& sql, const std::u16string& value) {
    auto st = db.Compile(sql);
    return *st->BindText(1, value).Step() ? st->Int(0) : -1;
  }
  test::TempFolder folder;
  Connection db;
};

// Made again, the tables keep their rows; text compares without regard to ASCII case only. The
// lookup indexes cover the block tables named in POSITION, whatever characters the names hold.
TEST_F(SchemaTest, RowsKeptCaseIgnoredAndEveryBlockTableIndexed) {
  ASSERT_TRUE(db.Execute("insert into POSITION (fld大字・町丁目) values ('Tokyo')"));
  ASSERT_TRUE(CreateMainSchema(db) && CreateRegionSchema(db));
  const std::string sql = "select count(*) from POSITION where fld大字・町丁目 = ?";
  EXPECT_EQ(Count(sql, u"TOKYO"), 1);
  EXPECT_EQ(Count(sql, u"Ｔｏｋｙｏ"), 0);

  for (const std::u16string table : {u"NoSuchTable", u"千代田区", u"a\"b", u"x'y"}) {
    auto insert = db.Prepare("insert into POSITION (fldTableName, fldID) values (?, ?)");
    ASSERT_TRUE((*insert)->BindText(1, table).BindInt(2, 1).Run());
    ASSERT_TRUE(table == u"NoSuchTable" || CreateBlockTable(db, table));
  }
  ASSERT_TRUE(db.Execute("insert into POSITION (fldID) values (9)"));  // no block table named
  ASSERT_TRUE(CreateLookupIndexes(db));
  ASSERT_TRUE(CreateLookupIndexes(db));  // again: nothing to do
  for (const std::u16string table :
       {u"千代田区", u"a\"b", u"x'y", u"POSITION", u"POST", u"学習", u"ＤＢ一覧"}) {
    EXPECT_GT(
        Count("select count(*) from sqlite_master where type = 'index' and tbl_name = ?", table), 0)
        << text::ToUtf8(table);
  }
}

}  // namespace
}  // namespace mok::db
