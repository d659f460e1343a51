// The extended matching (MATCHMODE 1), step by step: the fold of variant spellings and its data,
// stored town names with numerals, Kyoto street parts, the town match around the standard one,
// and whole addresses in both modes against a small region database.
#include <gtest/gtest.h>

#include "engine/recognition/street_name.h"
#include "engine/recognition/town_match_extended.h"
#include "engine/recognition/town_prefix.h"
#include "support/engine_database.h"

namespace mok::engine {

extern const char kVariantSpellings[];

namespace {

using test::U8;

std::vector<TownRow> Rows(std::u16string_view towns, std::u16string_view city = u"港区") {
  std::vector<TownRow> rows;
  for (const auto& town : test::Words(towns))
    rows.push_back({u"東京都", std::u16string(city), town});
  return rows;
}

TEST(VariantFold, TheDataAndTheFold) {
  std::vector<int> errors;
  EXPECT_GE(VariantFold::Parse(kVariantSpellings, &errors).ClassCount(), 9u);
  EXPECT_TRUE(errors.empty()) << "malformed lines in data/variant-spellings.txt";
  // No source, a character in two classes, one class member only, a character beyond the BMP.
  VariantFold::Parse("# c\nケ\tヶ\t地名\n沢\t澤\nヵ\tヶ\tx\n高\t\tx\n吉\t𠮷\tx\n", &errors);
  EXPECT_EQ(errors, (std::vector<int>{3, 4, 5, 6}));

  const VariantFold& fold = VariantFold::Table();
  for (const auto& [a, b] : {std::pair(u"富ヶ谷", u"富ケ谷"),
                             {u"霞が関", u"霞ヵ関"},
                             {u"渡邉", u"渡辺"},
                             {u"渡邊", u"渡邉"},
                             {u"﨑", u"崎"},
                             {u"髙島", u"高島"},
                             {u"龍ケ崎", u"竜ヶ崎"},
                             {u"abc", u"ABC"}})
    EXPECT_TRUE(fold.Equals(a, b)) << U8(a) << " " << U8(b);
  for (const auto& [a, b] : {std::pair(u"本町", u"本丁"), {u"中島", u"中嶋"}, {u"ケ", u"ケケ"}})
    EXPECT_FALSE(fold.Equals(a, b)) << U8(a) << " " << U8(b);
  EXPECT_EQ(fold.Spellings(u"富ヶ谷", 16),
            (std::vector<std::u16string>{u"富ケ谷", u"富ヵ谷", u"富が谷"}));
  EXPECT_EQ(fold.Spellings(u"澤辺", 16).size(), 5u);  // 2 x 3 spellings less the written one
  EXPECT_EQ(fold.Spellings(u"澤辺", 2).size(), 2u);
}

TEST(TownPrefix, StoredNamesWithNumeralsBeginTheText) {
  const auto rows =
      Rows(u"麻布十番一丁目 麻布十番二丁目 六番町 大字甲子園三番町 本町三丁目東 本町");
  EXPECT_EQ(U8(std::u16string(TownBase(u"大字本町三丁目東"))), "本町");
  const std::pair<std::u16string, std::size_t> cases[] = {
      {u"麻布十番２丁目１６", 4}, {u"六番町７", 3},     {u"甲子園三番町１－２５", 6},
      {u"大字甲子園三番町", 8},   {u"本町三丁目東", 2}, {u"六本木", 0}};
  for (const auto& [text, length] : cases)
    EXPECT_EQ(TownPrefixLength(text, rows, VariantFold::Table()), length) << U8(text);
}

TEST(StreetName, KyotoStreetPartsBeforeOrAfterTheTown) {
  const auto rows = Rows(u"東裏辻町 榎木町 米屋町", u"京都市上京区");
  const std::pair<std::u16string, std::string> cases[] = {
      {u"釜座通下立売下る東裏辻町398番地", "東裏辻町398番地|釜座通下立売下る"},
      {u"押小路通河原町西入ル榎木町450", "榎木町450|押小路通河原町西入ル"},
      {u"寺町通四条下る西入米屋町1", "米屋町1|寺町通四条下る西入"},  // two directions
      {u"東裏辻町釜座通下立売下る398", "東裏辻町398|釜座通下立売下る"},
      // No stored town next to it, no street, or the numbers would go with it: unchanged.
      {u"烏丸通下る姉小路町1", "烏丸通下る姉小路町1|"},
      {u"上る東裏辻町1", "上る東裏辻町1|"},
      {u"東裏辻町398番地釜座通下る", "東裏辻町398番地釜座通下る|"}};
  for (const auto& [text, expected] : cases) {
    const StreetCut cut = CutStreetName(text, rows, VariantFold::Table());
    EXPECT_EQ(U8(cut.text + u"|" + cut.street), expected) << U8(text);
  }
}

TEST(TownMatchExtended, AroundTheStandardMatch) {
  struct Case {
    std::u16string rows, town, chome = {}, chomeSuffix = {};
    std::size_t further = 0;
    bool blockWord = false;
    std::string expected;  // stored name, "+chome", then "|" and the moved text
  };
  const Case cases[] = {
      {.rows = u"富ケ谷一丁目",
       .town = u"富ヶ谷",
       .chome = u"１",
       .chomeSuffix = u"丁目",
       .expected = "富ケ谷一丁目 +chome|"},
      {.rows = u"加島三丁目",
       .town = u"加島",
       .chome = u"３",
       .chomeSuffix = u"丁目中",
       .expected = "加島三丁目 +chome|中"},
      {.rows = u"西小松川町", .town = u"西小松川", .expected = "西小松川町|"},
      {.rows = u"西小松川町 西小松川村", .town = u"西小松川", .expected = "not found"},
      // 丁目 left out: two further numbers choose the chome, fewer leave it undecided; a 番
      // after the first number makes it the block.
      {.rows = u"国領町 国領町三丁目",
       .town = u"国領町",
       .chome = u"３",
       .further = 2,
       .expected = "国領町三丁目 +chome|"},
      {.rows = u"国領町 国領町三丁目",
       .town = u"国領町",
       .chome = u"３",
       .further = 1,
       .expected = "ambiguous"},
      {.rows = u"国領町 国領町三丁目",
       .town = u"国領町",
       .chome = u"３",
       .further = 1,
       .blockWord = true,
       .expected = "国領町|"},
      {.rows = u"国領町 国領町三丁目",
       .town = u"国領町",
       .chome = u"１２３",
       .further = 1,
       .expected = "国領町|"},
  };
  const TownWordLookup none = [](const std::u16string&) {
    return std::optional<std::u16string>(std::u16string());
  };
  for (const Case& c : cases) {
    const auto rows = Rows(c.rows);
    const ExtendedTownMatch m = FindTownExtended(
        rows, {{c.town, c.chome, !c.chomeSuffix.empty(), c.chomeSuffix}, c.further, c.blockWord},
        none, VariantFold::Table());
    const std::string shown =
        m.match.outcome == TownMatchOutcome::NotFound ? "not found"
        : m.match.outcome == TownMatchOutcome::Ambiguous
            ? "ambiguous"
            : U8(m.match.townName) + (m.match.chomeInOaza ? " +chome" : "") + "|" + U8(m.moved);
    EXPECT_EQ(shown, c.expected) << U8(c.rows) << " / " << U8(c.town) << " " << U8(c.chome);
  }
}

TEST(ExtendedMatch, WholeAddressesInBothModes) {
  test::EngineDatabase d;
  d.AddTown(u"東京都", u"渋谷区", u"富ケ谷一丁目");
  d.AddTown(u"東京都", u"港区", u"麻布十番二丁目");
  d.AddTown(u"東京都", u"港区", u"元麻布三丁目");
  d.AddTown(u"東京都", u"千代田区", u"六番町");
  d.AddTown(u"東京都", u"千代田区", u"本町");
  d.AddTown(u"東京都", u"千代田区", u"本町三");
  d.AddTown(u"東京都", u"調布市", u"国領町");
  d.AddTown(u"東京都", u"調布市", u"国領町三丁目");
  d.AddTown(u"東京都", u"稲城市", u"東長沼", {u"2500"});
  d.AddTown(u"東京都", u"八王子市", u"元本郷町三丁目", {u"24"});
  d.AddTown(u"京都府", u"京都市上京区", u"東裏辻町");
  d.AddTown(u"大阪府", u"大阪市淀川区", u"加島三丁目");
  d.AddTown(u"千葉県", u"鎌ケ谷市", u"道野辺");
  d.b.AddLearned(0, 3, u"冨ヶ谷", u"富ケ谷");
  d.settings.prefOut = d.settings.cityOut = d.settings.remainOut = true;
  d.settings.cityCodeOut = d.settings.xyOut = d.settings.latLonOut = false;
  d.Open();
  // Standard matching, then extended: the code and the fields.
  const std::tuple<std::u16string, std::string, std::string> cases[] = {
      {u"東京都渋谷区富ヶ谷１丁目３－１５", "3 ", "0 東京都,渋谷区,富ケ谷一丁目１,１５"},
      {u"東京都渋谷区冨ケ谷１丁目３", "3 ", "0 東京都,渋谷区,富ケ谷一丁目１,"},
      {u"東京都港区麻布十番２丁目１６－６", "3 ", "0 東京都,港区,麻布十番二丁目１,６"},
      {u"東京都港区元麻布３丁目以下 非公開", "3 ", "0 東京都,港区,元麻布三丁目１,以下 非公開"},
      {u"東京都千代田区六番町７", "3 ", "0 東京都,千代田区,六番町１,"},
      {u"東京都千代田区六番町の", "3 ", "0 東京都,千代田区,六番町１,の"},
      // A level word after a stored name's last numeral makes it a number.
      {u"東京都千代田区本町三番地5", "0 東京都,千代田区,本町１,５", "0 東京都,千代田区,本町１,５"},
      {u"東京都調布市国領町３－８－１５", "0 東京都,調布市,国領町１,８－１５",
       "0 東京都,調布市,国領町三丁目１,１５"},
      {u"東京都調布市国領町３－８", "0 東京都,調布市,国領町１,８", "3 "},
      {u"京都府京都市上京区釜座通下立売下る東裏辻町398番地", "3 ",
       "0 京都府,京都市上京区,東裏辻町１,釜座通下立売下る"},
      {u"大阪府大阪市淀川区加島３丁目中５－１９", "3 ",
       "0 大阪府,大阪市淀川区,加島三丁目１,１９中"},
      {u"千葉県鎌ヶ谷市道野辺1", "2 ", "0 千葉県,鎌ケ谷市,道野辺１,"},
      // A 区 after a 市 is a ward only as a stored name (both modes).
      {u"東京都稲城市東長沼２５００南山３５街区７２",
       "0 東京都,稲城市,東長沼２５００,南山３５街区７２",
       "0 東京都,稲城市,東長沼２５００,南山３５街区７２"},
      {u"東京都八王子市元本郷町三丁目２４－１　地区会館",
       "0 東京都,八王子市,元本郷町三丁目２４,１　地区会館",
       "0 東京都,八王子市,元本郷町三丁目２４,１　地区会館"}};
  for (const auto& [address, standard, extended] : cases) {
    for (const bool mode : {false, true}) {
      d.settings.extendedMatch = mode;
      const Recognition r = d.Recognize(address);
      EXPECT_EQ(std::to_string(CodeNumber(r.code)) + " " + U8(r.outputFields),
                mode ? extended : standard)
          << U8(address) << (mode ? " extended" : " standard");
    }
  }
}

}  // namespace
}  // namespace mok::engine
