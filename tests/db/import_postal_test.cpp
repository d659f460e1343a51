// Japan Post's KEN_ALL file: the cleaning of its lines into POST records, and their import.
#include "db/import/ken_all_cleaner.h"
#include "db/import/postal_import.h"
#include "import_test_support.h"

namespace mok::import_test {
namespace {

TEST(ImportKenAll, CleaningTable) {
  const Strings lines = {
      "13101|1020072|東京都|千代田区|飯田橋|ﾁﾖﾀﾞｸ|ｲｲﾀﾞﾊﾞｼ",
      // "Any other place of the municipality" names no place.
      "13101|1000000|東京都|千代田区|以下に掲載がない場合|ﾁﾖﾀﾞｸ|ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ",
      // Annotations go, in kanji and in kana.
      "13101|1006801|東京都|千代田区|大手町ＪＡビル（１階）|ﾁﾖﾀﾞｸ|ｵｵﾃﾏﾁｼﾞｪｲｴｲﾋﾞﾙ(1ｶｲ)",
      // A record split inside its annotation is joined, then cleaned; an unclosed parenthesis
      // followed by another postal code is not joined.
      "13101|1900001|東京都|昭島市|栄町（１|ｱｷｼﾏｼ|ｻｶｴﾁｮｳ(1",
      "13101|1900001|東京都|昭島市|～３丁目、|ｱｷｼﾏｼ|-3ﾁｮｳﾒ､",
      "13101|1900001|東京都|昭島市|５丁目）|ｱｷｼﾏｼ|5ﾁｮｳﾒ)",
      "13101|1900002|東京都|昭島市|瑞樹（|ｱｷｼﾏｼ|ﾐﾂﾞｷ(",
      "13101|1900003|東京都|昭島市|玉川町|ｱｷｼﾏｼ|ﾀﾏｶﾞﾜﾁｮｳ",
      // A split record that repeats its whole kana on every line keeps it once (issue 20).
      "13101|1900004|東京都|昭島市|中神町（１|ｱｷｼﾏｼ|ﾅｶｶﾞﾐﾁｮｳ",
      "13101|1900004|東京都|昭島市|～２丁目）|ｱｷｼﾏｼ|ﾅｶｶﾞﾐﾁｮｳ",
      // Records equal after the cleaning are kept once.
      "13101|1000004|東京都|千代田区|大手町（次のビルを除く）|ﾁﾖﾀﾞｸ|ｵｵﾃﾏﾁ(ﾂｷﾞﾉﾋﾞﾙｦﾉｿﾞｸ)",
      "13101|1000004|東京都|千代田区|大手町|ﾁﾖﾀﾞｸ|ｵｵﾃﾏﾁ",
      // The whole municipality (一円), the lot number after the municipality's name, and a name
      // that is only an annotation name no place; a place really called 一円 stays.
      "13101|1000301|東京都|利島村|利島村一円|ﾄｼﾏﾑﾗ|ﾄｼﾏﾑﾗｲﾁｴﾝ",
      "13101|3060433|東京都|猿島郡境町|境町の次に番地がくる場合|ｻｼﾏｸﾞﾝｻｶｲﾏﾁ|ｻｶｲﾏﾁﾉﾂｷﾞﾆﾊﾞﾝﾁｶﾞｸﾙﾊﾞｱｲ",
      "13101|1001211|東京都|八丈島|（全域）|ﾊﾁｼﾞｮｳｼﾞﾏ|(ｾﾞﾝｲｷ)",
      "13101|5221341|東京都|犬上郡多賀町|一円|ｲﾇｶﾐｸﾞﾝﾀｶﾞﾁｮｳ|ｲﾁｴﾝ",
  };
  TempFolder folder;
  WriteBytes(folder.path() / "KEN_ALL.CSV", KenAll(lines));
  Strings records;
  for (const auto& r : db::CleanKenAll(db::ReadKenAll(folder.path() / "KEN_ALL.CSV")).records) {
    records.push_back(text::ToUtf8(r.postalCode + u"|" + r.city + u"|" + r.place + u"|" +
                                   r.cityKana + u"|" + r.placeKana));
  }
  EXPECT_EQ(records,
            (Strings{"1020072|千代田区|飯田橋|ﾁﾖﾀﾞｸ|ｲｲﾀﾞﾊﾞｼ",
                     "1006801|千代田区|大手町ＪＡビル|ﾁﾖﾀﾞｸ|ｵｵﾃﾏﾁｼﾞｪｲｴｲﾋﾞﾙ",
                     "1900001|昭島市|栄町|ｱｷｼﾏｼ|ｻｶｴﾁｮｳ", "1900002|昭島市|瑞樹|ｱｷｼﾏｼ|ﾐﾂﾞｷ",
                     "1900003|昭島市|玉川町|ｱｷｼﾏｼ|ﾀﾏｶﾞﾜﾁｮｳ", "1900004|昭島市|中神町|ｱｷｼﾏｼ|ﾅｶｶﾞﾐﾁｮｳ",
                     "1000004|千代田区|大手町|ﾁﾖﾀﾞｸ|ｵｵﾃﾏﾁ", "1000301|利島村||ﾄｼﾏﾑﾗ|",
                     "3060433|猿島郡境町||ｻｼﾏｸﾞﾝｻｶｲﾏﾁ|", "1001211|八丈島||ﾊﾁｼﾞｮｳｼﾞﾏ|",
                     "5221341|犬上郡多賀町|一円|ｲﾇｶﾐｸﾞﾝﾀｶﾞﾁｮｳ|ｲﾁｴﾝ"}));
}

// The cleaned records are imported once; a bad file is named and stores nothing.
using ImportPostal = DataFolderTest;

TEST_F(ImportPostal, ImportsCleanedRecordsOnce) {
  const fs::path file = dir / "KEN.CSV";
  const std::string good = KenAll({"13101|1020072|東京都|千代田区|飯田橋|ﾁﾖﾀﾞｸ|ｲｲﾀﾞﾊﾞｼ"});
  const std::pair<std::string, std::string> bad[] = {
      {good + good + "13101,\"\x81\x20\"\r\n", "KEN.CSV line 3"},
      {good + "13101,\"100\",\"1000000\"\r\n", "line 2: expected 15 columns"},
      {"", "the file is empty"},
  };
  for (const auto& [bytes, expected] : bad) {
    WriteBytes(file, bytes);
    EXPECT_THAT(ImportFailure([&] { db::ImportPostal(dir, u"東京都", file); }),
                HasSubstr(expected));
    EXPECT_FALSE(fs::exists(region));
  }

  WriteBytes(file, KenAll({"13207|1900001|東京都|昭島市|栄町（１|ｱｷｼﾏｼ|ｻｶｴﾁｮｳ(1",
                           "13207|1900001|東京都|昭島市|～３丁目）|ｱｷｼﾏｼ|-3ﾁｮｳﾒ)"}) +
                       good);
  const auto report = db::ImportPostal(dir, u"東京都", file);
  EXPECT_EQ(report.records, 2);
  EXPECT_EQ(report.joinedLines, 1);
  const Strings rows = {"1020072|千代田区|飯田橋|ﾁﾖﾀﾞｸ|ｲｲﾀﾞﾊﾞｼ",
                        "1900001|昭島市|栄町|ｱｷｼﾏｼ|ｻｶｴﾁｮｳ"};
  EXPECT_EQ(Rows(region, "select * from POST order by fld郵便番号"), rows);
  const auto again = db::ImportPostal(dir, u"東京都", file);
  EXPECT_EQ(again.records, 0);
  EXPECT_EQ(again.alreadyPresent, 2);
  EXPECT_EQ(Rows(region, "select * from POST order by fld郵便番号"), rows);
  EXPECT_EQ(Rows(main, "select * from ＤＢ一覧"), Strings{"東京都|1"});
}

}  // namespace
}  // namespace mok::import_test
