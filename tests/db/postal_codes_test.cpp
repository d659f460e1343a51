// The postal-code lookup: katakana city and place texts to kanji names, the prefix and joined
// forms, the one log entry, and its failures.
#include <gtest/gtest.h>

#include "db/address_database_fixture.h"

namespace mok::db {
namespace {

std::string U8(const std::u16string& s) {
  return text::ToUtf8(s);
}

class PostalCodes : public test::AddressDatabaseTest {
 protected:
  void SetUp() override {
    const std::u16string r = u"北海道";
    builder.AddPost(r, {u"0600001", u"札幌市中央区", u"北一条西", u"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", u"ｷﾀ1ｼﾞｮｳﾆｼ"});
    builder.AddPost(r, {u"0600002", u"札幌市中央区", u"北二条西", u"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", u"ｷﾀ2ｼﾞｮｳﾆｼ"});
    builder.AddPost(
        r, {u"0600011", u"札幌市中央区", u"北一条西十丁目", u"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", u"ｷﾀ1ｼﾞｮｳﾆｼ10ﾁｮｳﾒ"});
    builder.AddPost(r, {u"0400001", u"函館市", u"旭町", u"ﾊｺﾀﾞﾃｼ", u"ｱｻﾋﾁｮｳ"});
    builder.AddPost(r, {u"0400002", u"函館市", u"O'町", u"ﾊｺﾀﾞﾃｼ", u"O'ﾁｮｳ"});
    builder.AddPost(r, {u"0400003", u"函館市", u"Null町", u"ﾊｺﾀﾞﾃｼ", std::nullopt});
  }

  std::u16string Lookup(const std::u16string& city, const std::u16string& place) {
    result = engine::AddressResult{};
    return db.LookupPostalCode(u"北海道", city, place, result);
  }

  engine::AddressResult result;
};

TEST_F(PostalCodes, PrefixAndJoinedForms) {
  struct Case {
    std::u16string city, place, expected, code;
  };
  const Case cases[] = {
      // Several rows begin with these texts: the first stored is taken.
      {u"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", u"ｷﾀ1ｼﾞｮｳﾆｼ", u"札幌市中央区,北一条西", u"0600001"},
      {u"ｻｯﾎﾟﾛｼ", u"ｷﾀ2", u"札幌市中央区,北二条西", u"0600002"},
      {u"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", u"ｷﾀ1ｼﾞｮｳﾆｼ10", u"札幌市中央区,北一条西十丁目", u"0600011"},
      {u"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", u"ﾐﾅﾐ", u"", u""},
      // Without a place text the joined names must equal the city text exactly.
      {u"ﾊｺﾀﾞﾃｼｱｻﾋﾁｮｳ", u"", u"函館市,旭町", u"0400001"},
      {u"ﾊｺﾀﾞﾃｼｱｻﾋ", u"", u"", u""},
      {u"ﾊｺﾀﾞﾃｼ", u"", u"", u""},  // a Null place name joins to nothing
      {u"ﾊｺﾀﾞﾃｼO'ﾁｮｳ", u"", u"函館市,O'町", u"0400002"},
      {u"ﾊｺﾀﾞﾃｼo'ﾁｮｳ", u"", u"函館市,O'町", u"0400002"},  // letter case ignored
      {u"ﾊｺﾀﾞﾃｼ", u"O'", u"函館市,O'町", u"0400002"},
      {u"' or '1'='1", u"", u"", u""},
      {u"ﾊｺﾀﾞﾃｼ", u"' or ''='", u"", u""},
  };
  for (const auto& c : cases) {
    const std::u16string got = Lookup(c.city, c.place);
    const std::string label = "[" + U8(c.city) + "] [" + U8(c.place) + "]";
    EXPECT_EQ(U8(got), U8(c.expected)) << label;
    if (c.code.empty()) {
      EXPECT_EQ(result.LogCount, 0) << label;
    } else {
      ASSERT_EQ(result.LogCount, 1) << label;
      EXPECT_EQ(U8(result.LogEntries[1]), "郵便番号:" + U8(c.code)) << label;
    }
  }
  EXPECT_TRUE(prompter.records.empty()) << ::testing::PrintToString(Messages());
  EXPECT_EQ(db.StrOpenRegion, u"北海道");
}

TEST_F(PostalCodes, ChosenRegionFileIsSearched) {
  builder.AddPost(u"道央", {u"0000000", u"札幌市", u"どこか", u"ｻｯﾎﾟﾛｼ", u"ﾄﾞｺｶ"});
  db.StrSelectedRegion = u"道央";
  EXPECT_EQ(Lookup(u"ｻｯﾎﾟﾛｼ", u"ﾄﾞｺ"), u"札幌市,どこか");
  EXPECT_EQ(Lookup(u"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", u"ｷﾀ1"), u"");
}

TEST_F(PostalCodes, MissingRegionFileGivesEmptyAfterItsMessage) {
  result = engine::AddressResult{};
  EXPECT_EQ(db.LookupPostalCode(u"青森県", u"ｱｵﾓﾘｼ", u"", result), u"");
  ASSERT_EQ(prompter.records.size(), 1u);  // shown by the region open, with the path
  EXPECT_EQ(result.LogCount, 0);
}

TEST_F(PostalCodes, MissingTableIsReported) {
  test::TestDatabaseBuilder::Exec(builder.Region(u"北海道"), "drop table POST");
  EXPECT_EQ(Lookup(u"ﾊｺﾀﾞﾃｼ", u"ｱｻﾋ"), u"");
  ASSERT_EQ(prompter.records.size(), 1u);
  EXPECT_EQ(U8(prompter.records[0].text), "no such table: POST(1)\r\n");
}

}  // namespace
}  // namespace mok::db
