// The address data a program opens: the main database with its prefecture list, the region a
// run converts against (its file, number and katakana prefecture name) and the registration of
// learned words (whose rules main_store_test.cpp tests on both stores).
#include "db/address_database.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_database_builder.h"

namespace mok::db {
namespace {

using test::TestDatabaseBuilder;

using test::U8;

TEST(AddressDatabase, PrefectureListOrItsFailureNamingTheFile) {
  std::string fiftyOne = "('県', 'ｹﾝ', '県')";
  for (int i = 0; i < 50; ++i)
    fiftyOne += ", ('県', 'ｹﾝ', '県')";
  // The rows of a prefecture table that takes any value, and the list read from them: the name
  // completed by its type, the kana, the kana of the type.
  const std::pair<std::string, std::string> cases[] = {
      {"('北海', 'ﾎｯｶｲ', '道'), ('東京', 'ﾄｳｷｮｳ', '都'), ('大阪', 'ｵｵｻｶ', '府'),"
       " ('青森', 'ｱｵﾓﾘ', '県'), ('沖縄', 'ｵｷﾅﾜ', null), ('某', 'ﾎﾞｳ', '州')",
       "北海道 ﾎｯｶｲ |東京都 ﾄｳｷｮｳ ﾄ|大阪府 ｵｵｻｶ ﾌ|青森県 ｱｵﾓﾘ ｹﾝ|沖縄 ｵｷﾅﾜ ｹﾝ|某州 ﾎﾞｳ ｹﾝ|"},
      {"(null, 'ｱ', '県')", "Invalid use of Null (都道府県名.fldKanjiName)(94)"},
      {"('ア', null, '県')", "Invalid use of Null (都道府県名.fldKatakanaName)(94)"},
      {fiftyOne, "Subscript out of range (都道府県名 holds more than 50 rows)(9)"}};
  for (const auto& [rows, expected] : cases) {
    TestDatabaseBuilder b;
    TestDatabaseBuilder::Exec(b.Main(),
                              "drop table 都道府県名; create table 都道府県名 (fldKanjiName, "
                              "fldKatakanaName, fldPrefType); insert into 都道府県名 values " +
                                  rows);
    AddressDatabase db;
    const DbStatus s = db.Open(b.Dir());
    std::string shown;
    for (const engine::Prefecture& p : db.Prefectures())
      shown += U8(p.name + u" " + p.kana + u" " + p.kanaSuffix) + "|";
    EXPECT_EQ(s.ok() ? shown : U8(s.error().Text()), expected);
    EXPECT_EQ(s.ok() ? u"" : s.error().file, s.ok() ? u"" : MainDatabasePath(b.Dir()));
    EXPECT_EQ(db.IsOpen(), s.ok());
  }
  // A missing main database is a failure, and is not created.
  TestDatabaseBuilder b;
  AddressDatabase db;
  EXPECT_EQ(db.Open(b.Dir()).error().file, MainDatabasePath(b.Dir()));
  EXPECT_FALSE(std::filesystem::exists((b.folder() / "mok2.sqlite")));
}

TEST(AddressDatabase, SelectRegionOpensItsFileAndDecidesItsNumberAndKana) {
  TestDatabaseBuilder b;
  b.AddPrefecture(u"北海", u"ﾎｯｶｲﾄﾞｳ", u"道");
  b.AddPrefecture(u"青森", u"ｱｵﾓﾘ", u"県");
  b.AddPrefecture(u"東京", u"ﾄｳｷｮｳ", u"都");
  // The region list 関東, 東京都, B, C; Z has a file but is not listed.
  for (const auto& [name, id] :
       {std::pair<std::u16string, int>{u"関東", 3}, {u"東京都", 13}, {u"B", 2}, {u"C", 7}}) {
    b.AddRegion(name, id);
    b.Region(name);
  }
  b.Region(u"Z");
  AddressDatabase db;
  ASSERT_TRUE(db.Open(b.Dir()).ok());
  ASSERT_TRUE(db.ReloadRegionList().ok());
  EXPECT_EQ(db.RegionList().size(), 4u);
  // The kana of the prefecture named like the region; else of the prefecture at the region's
  // position in the list after the first; else none.
  for (const std::string expected : {"東京都 13 ﾄｳｷｮｳ", "B 2 ﾄｳｷｮｳ", "C 7 ", "関東 3 ", "Z 0 "}) {
    ASSERT_TRUE(db.SelectRegion(text::FromUtf8(expected.substr(0, expected.find(' ')))).ok());
    const engine::RegionSelection& r = db.Region();
    EXPECT_EQ(U8(r.name) + " " + std::to_string(r.number) + " " + U8(r.kana), expected);
    EXPECT_TRUE(db.RegionOpen());
  }
  // A missing region file fails, names the file, is not created and leaves no region chosen.
  const DbStatus missing = db.SelectRegion(u"京都府");
  EXPECT_EQ(missing.error().file, RegionDatabasePath(b.Dir(), u"京都府"));
  EXPECT_FALSE(db.RegionOpen());
  EXPECT_EQ(U8(db.Region().name), "");
  EXPECT_FALSE(std::filesystem::exists((b.folder() / "京都府.sqlite")));
}

TEST(AddressDatabase, RegistersLearnedWordsWhileOpen) {
  TestDatabaseBuilder b;
  b.Main();
  AddressDatabase db;
  ASSERT_TRUE(db.Open(b.Dir()).ok());
  EXPECT_EQ(*db.RegisterLearnedWord(0, engine::WordKind::City, u"a", u"b"), Registration::Added);
  db.Close();
  EXPECT_FALSE(db.RegisterLearnedWord(0, engine::WordKind::City, u"a", u"b").ok());
}

}  // namespace
}  // namespace mok::db
