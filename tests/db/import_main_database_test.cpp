// The main database of a data folder: the prefectures of prefectures.csv, an empty region list and
// dictionary, and replacing an existing one only on request and only completely.
#include "import_test_support.h"

namespace mok::import_test {
namespace {

// The prefectures in file order, an empty type stored as Null; no region, no learned word.
TEST(ImportMainDatabase, PrefecturesInFileOrderWithEmptyListAndDictionary) {
  TempFolder folder;
  const fs::path main = folder.path() / "mok2.sqlite", file = folder.path() / "two.csv";
  EXPECT_EQ(db::CreateMainDatabase(folder.path(), BundledData("prefectures.csv")).prefectures, 47);
  EXPECT_EQ(Rows(main, "select * from 都道府県名 where rowid in (1, 13, 47)"),
            (Strings{"北海|ﾎｯｶｲﾄﾞｳ|道", "東京|ﾄｳｷｮｳ|都", "沖縄|ｵｷﾅﾜ|県"}));
  WriteBytes(file, Encode({u"code,fldKanjiName,fldPrefType,fldKatakanaName", u"01,北海道,,ﾎｯｶｲﾄﾞｳ",
                           u"13,東京,都,ﾄｳｷｮｳ"},
                          false));
  EXPECT_EQ(db::CreateMainDatabase(folder.path(), file, true).prefectures, 2);
  EXPECT_EQ(Rows(main, "select * from 都道府県名"),
            (Strings{"北海道|ﾎｯｶｲﾄﾞｳ|NULL", "東京|ﾄｳｷｮｳ|都"}));
  EXPECT_EQ(Value(main, "select (select count(*) from ＤＢ一覧) + (select count(*) from 学習)"),
            "0");
}

// An existing main database holds the region list and the learning dictionary: it is replaced
// only on request, a failed replacement keeps it, and a write-ahead log left beside the old file
// (by a program that ended without closing it) is not played into the new one.
TEST(ImportMainDatabase, ExistingDatabaseIsReplacedOnlyWithForceAndCompletely) {
  TempFolder folder;
  const fs::path main = folder.path() / "mok2.sqlite", wal = main.string() + "-wal";
  const fs::path prefectures = BundledData("prefectures.csv");
  db::CreateMainDatabase(folder.path(), prefectures);
  {
    auto db = db::Connection::Open(db::PathText(main));
    ASSERT_TRUE(
        db->Execute("pragma journal_mode = wal; insert into 学習 (fldDbNo, fldType, "
                    "fld登録字句, fld変換字句) values (0, 2, '千代田', '千代田区')"));
    fs::copy_file(wal, folder.path() / "left-over-wal");
    ASSERT_TRUE(db->Execute("pragma journal_mode = delete"));
  }
  EXPECT_THAT(ImportFailure([&] { db::CreateMainDatabase(folder.path(), prefectures); }),
              HasSubstr("already exists"));
  WriteBytes(folder.path() / "broken.csv", "code,name\r\n");
  EXPECT_THAT(ImportFailure([&] {
                db::CreateMainDatabase(folder.path(), folder.path() / "broken.csv", true);
              }),
              HasSubstr("fldKanjiName"));
  EXPECT_FALSE(fs::exists(main.string() + ".new"));
  EXPECT_EQ(Value(main, "select count(*) from 学習"), "1");

  fs::copy_file(folder.path() / "left-over-wal", wal);
  db::CreateMainDatabase(folder.path(), prefectures, true);
  EXPECT_FALSE(fs::exists(wal));
  EXPECT_EQ(Value(main, "select count(*) from 学習"), "0");
  EXPECT_EQ(Value(main, "select count(*) from 都道府県名"), "47");
}

}  // namespace
}  // namespace mok::import_test
