#include <gtest/gtest.h>

#include "db/import/ken_all_cleaner.h"
#include "db/import/main_database_import.h"
#include "db/import/postal_import.h"
#include "import_test_support.h"

namespace mok::import_test {
namespace {

using db::KenAllLine;
using db::PostalRecord;

// A KEN_ALL line's fields: code, old code, postal code, three kana, three kanji, six flags.
std::vector<std::u16string> Fields(const std::u16string& postal, const std::u16string& cityKana,
                                   const std::u16string& placeKana, const std::u16string& city,
                                   const std::u16string& place) {
  return {u"13101", u"100  ", postal, u"ﾄｳｷｮｳﾄ", cityKana, placeKana, u"東京都", city,
          place,    u"0",     u"0",   u"0",      u"0",     u"0",      u"0"};
}

std::u16string Line(const std::vector<std::u16string>& fields) {
  std::u16string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0)
      line += u',';
    line += i == 0 || i >= 9 ? fields[i] : u"\"" + fields[i] + u"\"";
  }
  return line;
}

std::string Show(const PostalRecord& r) {
  return U8(r.postalCode + u"|" + r.city + u"|" + r.place + u"|" + r.cityKana + u"|" + r.placeKana);
}

struct CleanCase {
  const char* what;
  std::vector<std::vector<std::u16string>> lines;
  std::vector<PostalRecord> expected;
};

TEST(ImportKenAll, CleaningTable) {
  const std::vector<CleanCase> cases = {
      {"plain record kept as published",
       {Fields(u"1020072", u"ﾁﾖﾀﾞｸ", u"ｲｲﾀﾞﾊﾞｼ", u"千代田区", u"飯田橋")},
       {{u"1020072", u"千代田区", u"飯田橋", u"ﾁﾖﾀﾞｸ", u"ｲｲﾀﾞﾊﾞｼ"}}},
      {"以下に掲載がない場合 dropped",
       {Fields(u"1000000", u"ﾁﾖﾀﾞｸ", u"ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ", u"千代田区", u"以下に掲載がない場合")},
       {}},
      {"annotations dropped in kanji and kana",
       {Fields(u"1006801", u"ﾁﾖﾀﾞｸ", u"ｵｵﾃﾏﾁｼﾞｪｲｴｲﾋﾞﾙ(1ｶｲ)", u"千代田区",
               u"大手町ＪＡビル（１階）")},
       {{u"1006801", u"千代田区", u"大手町ＪＡビル", u"ﾁﾖﾀﾞｸ", u"ｵｵﾃﾏﾁｼﾞｪｲｴｲﾋﾞﾙ"}}},
      {"record split over three lines joined, then cleaned",
       {Fields(u"1900001", u"ｱｷｼﾏｼ", u"ｻｶｴﾁｮｳ(1", u"昭島市", u"栄町（１"),
        Fields(u"1900001", u"ｱｷｼﾏｼ", u"-3ﾁｮｳﾒ､", u"昭島市", u"～３丁目、"),
        Fields(u"1900001", u"ｱｷｼﾏｼ", u"5ﾁｮｳﾒ)", u"昭島市", u"５丁目）"),
        Fields(u"1900002", u"ｱｷｼﾏｼ", u"ﾐﾂﾞｷ", u"昭島市", u"瑞樹")},
       {{u"1900001", u"昭島市", u"栄町", u"ｱｷｼﾏｼ", u"ｻｶｴﾁｮｳ"},
        {u"1900002", u"昭島市", u"瑞樹", u"ｱｷｼﾏｼ", u"ﾐﾂﾞｷ"}}},
      {"an unclosed parenthesis followed by another postal code is not joined",
       {Fields(u"1900001", u"ｱｷｼﾏｼ", u"ｻｶｴﾁｮｳ(1", u"昭島市", u"栄町（１"),
        Fields(u"1900002", u"ｱｷｼﾏｼ", u"ﾐﾂﾞｷ", u"昭島市", u"瑞樹")},
       {{u"1900001", u"昭島市", u"栄町", u"ｱｷｼﾏｼ", u"ｻｶｴﾁｮｳ"},
        {u"1900002", u"昭島市", u"瑞樹", u"ｱｷｼﾏｼ", u"ﾐﾂﾞｷ"}}},
      {"records equal after cleaning kept once",
       {Fields(u"1000004", u"ﾁﾖﾀﾞｸ", u"ｵｵﾃﾏﾁ(ﾂｷﾞﾉﾋﾞﾙｦﾉｿﾞｸ)", u"千代田区",
               u"大手町（次のビルを除く）"),
        Fields(u"1000004", u"ﾁﾖﾀﾞｸ", u"ｵｵﾃﾏﾁ", u"千代田区", u"大手町")},
       {{u"1000004", u"千代田区", u"大手町", u"ﾁﾖﾀﾞｸ", u"ｵｵﾃﾏﾁ"}}},
      {"the whole municipality (一円) keeps the municipality with an empty place",
       {Fields(u"1000301", u"ﾄｼﾏﾑﾗ", u"ﾄｼﾏﾑﾗｲﾁｴﾝ", u"利島村", u"利島村一円")},
       {{u"1000301", u"利島村", u"", u"ﾄｼﾏﾑﾗ", u""}}},
      {"a place really called 一円 stays",
       {Fields(u"5221341", u"ｲﾇｶﾐｸﾞﾝﾀｶﾞﾁｮｳ", u"ｲﾁｴﾝ", u"犬上郡多賀町", u"一円")},
       {{u"5221341", u"犬上郡多賀町", u"一円", u"ｲﾇｶﾐｸﾞﾝﾀｶﾞﾁｮｳ", u"ｲﾁｴﾝ"}}},
      {"a municipality followed by the lot number names no place",
       {Fields(u"3060433", u"ｻｼﾏｸﾞﾝｻｶｲﾏﾁ", u"ｻｶｲﾏﾁﾉﾂｷﾞﾆﾊﾞﾝﾁｶﾞｸﾙﾊﾞｱｲ", u"猿島郡境町",
               u"境町の次に番地がくる場合")},
       {{u"3060433", u"猿島郡境町", u"", u"ｻｼﾏｸﾞﾝｻｶｲﾏﾁ", u""}}},
      {"a name that is only an annotation becomes empty",
       {Fields(u"1001211", u"ﾊﾁｼﾞｮｳｼﾞﾏ", u"(ｾﾞﾝｲｷ)", u"八丈島", u"（全域）")},
       {{u"1001211", u"八丈島", u"", u"ﾊﾁｼﾞｮｳｼﾞﾏ", u""}}},
  };
  for (const auto& c : cases) {
    std::vector<KenAllLine> lines;
    for (const auto& f : c.lines)
      lines.push_back({f, static_cast<int64_t>(lines.size() + 1)});
    const auto cleaned = db::CleanKenAll(lines);
    ASSERT_EQ(cleaned.records.size(), c.expected.size()) << c.what;
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
      EXPECT_EQ(Show(cleaned.records[i]), Show(c.expected[i])) << c.what;
    }
  }
}

class ImportPostalTest : public ::testing::Test {
 protected:
  void SetUp() override { db::CreateMainDatabase(folder_.path(), BundledData("prefectures.csv")); }
  fs::path Region() const { return folder_.File("東京都.sqlite"); }
  DataFolder folder_;
};

TEST_F(ImportPostalTest, ImportsCleanedRecordsOnce) {
  const auto file = folder_.File("KEN.CSV");
  WriteCp932Lines(
      file,
      {Line(Fields(u"1000000", u"ﾁﾖﾀﾞｸ", u"ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ", u"千代田区", u"以下に掲載がない場合")),
       Line(Fields(u"1900001", u"ｱｷｼﾏｼ", u"ｻｶｴﾁｮｳ(1", u"昭島市", u"栄町（１")),
       Line(Fields(u"1900001", u"ｱｷｼﾏｼ", u"-3ﾁｮｳﾒ)", u"昭島市", u"～３丁目）")),
       Line(Fields(u"1020072", u"ﾁﾖﾀﾞｸ", u"ｲｲﾀﾞﾊﾞｼ", u"千代田区", u"飯田橋"))});
  const auto report = db::ImportPostal(folder_.path(), u"東京都", file);
  EXPECT_EQ(report.sourceLines, 4);
  EXPECT_EQ(report.records, 2);
  EXPECT_EQ(report.joinedLines, 1);
  EXPECT_EQ(report.droppedOthers, 1);
  const Rows rows = Query(Region(),
                          "select fld郵便番号, fld市区町村, fld地名, fldシクチョウソン, fldチメイ "
                          "from POST order by fld郵便番号");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][2].value_or(u""), u"飯田橋");
  EXPECT_EQ(rows[1][0].value_or(u""), u"1900001");
  EXPECT_EQ(rows[1][2].value_or(u""), u"栄町");
  EXPECT_EQ(rows[1][4].value_or(u""), u"ｻｶｴﾁｮｳ");

  const auto again = db::ImportPostal(folder_.path(), u"東京都", file);
  EXPECT_EQ(again.records, 0);
  EXPECT_EQ(again.alreadyPresent, 2);
  EXPECT_EQ(Number(Region(), "select count(*) from POST"), 2);
  EXPECT_EQ(Number(folder_.File("mok2.sqlite"), "select count(*) from ＤＢ一覧"), 1);
}

TEST_F(ImportPostalTest, BadFilesAreNamedAndStoreNothing) {
  struct Case {
    const char* what;
    std::string bytes;
    std::u16string expected;
  };
  const std::string good =
      text::EncodeCp932(Line(Fields(u"1020072", u"ﾁﾖﾀﾞｸ", u"ｲｲﾀﾞﾊﾞｼ", u"千代田区", u"飯田橋")))
          .value_or("") +
      "\r\n";
  const std::vector<Case> cases = {
      {"undecodable line", good + good + "13101,\"\x81\x20\"\r\n" + good, u"line 3"},
      {"too few columns", good + "13101,\"100\",\"1000000\"\r\n", u"line 2: expected 15 columns"},
      {"empty file", "", u"the file is empty"},
  };
  for (const auto& c : cases) {
    const auto file = folder_.File("KEN.CSV");
    WriteBytes(file, c.bytes);
    const std::u16string message =
        ImportFailure([&] { db::ImportPostal(folder_.path(), u"東京都", file); });
    EXPECT_NE(message.find(c.expected), std::u16string::npos)
        << c.what << ": expected \"" << U8(c.expected) << "\" in \"" << U8(message) << "\"";
    EXPECT_FALSE(fs::exists(Region())) << c.what;
  }
}

}  // namespace
}  // namespace mok::import_test
