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
                             {u"金ｹ崎", u"金ケ崎"},
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
      {u"寺町通三条上るより四条下るまで米屋町1", "米屋町1|寺町通三条上るより四条下るまで"},
      {u"松原通大宮西入二丁目榎木町1", "榎木町1|松原通大宮西入二丁目"},
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
        rows,
        {{c.town, c.chome, !c.chomeSuffix.empty(), c.chomeSuffix}, c.further, c.blockWord, {}},
        none, VariantFold::Table());
    const std::string shown =
        m.match.outcome == TownMatchOutcome::NotFound ? "not found"
        : m.match.outcome == TownMatchOutcome::Ambiguous
            ? "ambiguous"
            : U8(m.match.townName) + (m.match.chomeInOaza ? " +chome" : "") + "|" + U8(m.moved);
    EXPECT_EQ(shown, c.expected) << U8(c.rows) << " / " << U8(c.town) << " " << U8(c.chome);
  }
}

// A small region for whole addresses: the towns of every class the extended matching reads.
class ExtendedMatch : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::pair<std::u16string, std::u16string> towns[] = {
        {u"東京都 千代田区", u"紀尾井町 六番町 本町 本町三 丸の内一丁目 丸の内二丁目"},
        {u"東京都 渋谷区", u"富ケ谷一丁目 本町一丁目"},
        {u"東京都 中野区", u"本町一丁目"},
        {u"東京都 港区", u"麻布十番二丁目 元麻布三丁目 六本木六丁目"},
        {u"東京都 調布市", u"国領町 国領町三丁目"},
        {u"東京都 稲城市", u"東長沼"},
        {u"東京都 八王子市", u"元本郷町三丁目"},
        {u"千葉県 香取市",
         u"柏木 大野 飯岡新田 宇気 宇気一丁目 金成 金成姉歯 八反畑 中 脇町 脇町大字猪尻 河井町 "
         u"日和田町 日和田町八丁目"},
        {u"千葉県 鎌ケ谷市", u"道野辺"},
        {u"岩手県 胆沢郡金ケ崎町", u"西根"},
        {u"北海道 札幌市白石区", u"菊水一条二丁目 菊水上町"},
        {u"北海道 札幌市中央区", u"南十二条西十二丁目"},
        {u"北海道 札幌市西区", u"西野 西野一条二丁目"},
        {u"北海道 札幌市手稲区", u"手稲前田"},
        {u"京都府 京都市中京区", u"亀屋町 一之船入町"},
        {u"京都府 京都市上京区", u"東裏辻町 元北小路町 二町目"},
        {u"京都府 京都市下京区", u"中堂寺前町"},
        {u"大阪府 大阪市中央区", u"久太郎町四丁目"},
        {u"大阪府 大阪市淀川区", u"加島三丁目"}};
    for (const auto& [where, names] : towns) {
      const auto place = test::Words(where);
      for (const auto& town : test::Words(names))
        d.AddTown(place[0], place[1], town);
    }
    d.b.AddLearned(0, 3, u"冨ヶ谷", u"富ケ谷");
    d.settings.prefOut = d.settings.townCombine = d.settings.cityCodeOut = d.settings.xyOut =
        d.settings.latLonOut = false;
    d.settings.cityOut = d.settings.remainOut = true;
    d.settings.extendedMatch = true;
    d.Open();
  }

  // "code municipality town|remainder field" (the block field left out), or the code alone.
  std::string Show(const std::u16string& address) {
    const Recognition r = d.Recognize(address);
    const auto fields = test::Words(r.outputFields, u',');
    const std::string code = std::to_string(CodeNumber(r.code));
    if (r.code != ResultCode::Converted || fields.size() != 4)
      return code + (r.outputFields.empty() ? "" : " " + U8(r.outputFields));
    return code + " " + U8(fields[0]) + " " + U8(fields[1]) + "|" + U8(fields[3]);
  }
  void Expect(std::initializer_list<std::pair<std::u16string, std::string>> cases) {
    for (const auto& [address, expected] : cases)
      EXPECT_EQ(Show(address), expected) << U8(address);
  }

  test::EngineDatabase d;
};

// Both modes: the standard one as it always was, the extended one reading more.
TEST_F(ExtendedMatch, BothModes) {
  const std::tuple<std::u16string, std::string, std::string> cases[] = {
      {u"東京都渋谷区富ヶ谷１丁目３－１５", "3", "0 渋谷区 富ケ谷一丁目|１５"},
      {u"東京都渋谷区冨ケ谷１丁目３", "3", "0 渋谷区 富ケ谷一丁目|"},
      {u"東京都港区麻布十番２丁目１６－６", "3", "0 港区 麻布十番二丁目|６"},
      {u"東京都港区元麻布３丁目以下 非公開", "3", "0 港区 元麻布三丁目|以下 非公開"},
      {u"東京都千代田区六番町の", "3", "0 千代田区 六番町|の"},
      // A level word after a stored name's last numeral makes it a number.
      {u"東京都千代田区本町三番地5", "0 千代田区 本町|５", "0 千代田区 本町|５"},
      {u"東京都調布市国領町３－８－１５", "0 調布市 国領町|８－１５", "0 調布市 国領町三丁目|１５"},
      {u"大阪府大阪市淀川区加島３丁目中５－１９", "3", "0 大阪市淀川区 加島三丁目|１９中"},
      {u"千葉県鎌ヶ谷市道野辺1", "2", "0 鎌ケ谷市 道野辺|"},
      {u"東京都千代田区六番町７", "3", "0 千代田区 六番町|"},
      {u"東京都調布市国領町３－８", "0 調布市 国領町|８", "5"},
      {u"京都府京都市上京区釜座通下立売下る東裏辻町398番地", "3",
       "0 京都市上京区 東裏辻町|釜座通下立売下る"},
      // A 区 after a 市 is a ward only as a stored name (both modes).
      {u"東京都稲城市東長沼２５００南山３５街区７２", "0 稲城市 東長沼|南山３５街区７２",
       "0 稲城市 東長沼|南山３５街区７２"},
      {u"東京都八王子市元本郷町三丁目２４－１　地区会館", "0 八王子市 元本郷町三丁目|１　地区会館",
       "0 八王子市 元本郷町三丁目|１　地区会館"},
      // The classes below, as the standard matching leaves them.
      {u"北海道札幌市西区西野1-2-3", "0 札幌市西区 西野|２－３", "5"},
      {u"北海道札幌市白石区菊水1-2-3-14", "3", "0 札幌市白石区 菊水一条二丁目|１４"},
      {u"紀尾井町1-3", "2", "0 千代田区 紀尾井町|３"},
      {u"金ｹ崎町西根2", "2", "0 胆沢郡金ケ崎町 西根|"},
      {u"千葉県香取市柏木五反田74-2", "3", "0 香取市 柏木|２五反田"},
      {u"千葉県香取市大野40番地2F", "0 香取市 大野|２F", "0 香取市 大野|2F"},
      // The text after the numbers as written, whatever their count (issue 21).
      {u"東京都千代田区丸の内2-1-1 三菱ビル", "0 千代田区 丸の内二丁目|１ 三菱ビル",
       "0 千代田区 丸の内二丁目|１ 三菱ビル"},
      {u"東京都港区六本木6-10-1六本木ヒルズ森タワー", "0 港区 六本木六丁目|１六本木ヒルズ森タワー",
       "0 港区 六本木六丁目|１六本木ヒルズ森タワー"},
      {u"東京都千代田区丸の内1-2 丸ビル", "0 千代田区 丸の内一丁目| 丸ビル",
       "0 千代田区 丸の内一丁目| 丸ビル"},
      {u"東京都千代田区丸の内1丁目2番 丸ビル", "0 千代田区 丸の内一丁目| 丸ビル",
       "0 千代田区 丸の内一丁目| 丸ビル"},
      {u"東京都千代田区丸の内1-2-3 101", "0 千代田区 丸の内一丁目|３ 101",
       "0 千代田区 丸の内一丁目|３ 101"},
      {u"千葉県香取市大野12番地 メゾン八幡 3号", "0 香取市 大野| メゾン八幡 3号",
       "0 香取市 大野| メゾン八幡 3号"},
      {u"千葉県香取市大野12番地", "0 香取市 大野|", "0 香取市 大野|"},
      {u"千葉県香取市大野1番2号", "0 香取市 大野|２", "0 香取市 大野|２"}};
  for (const auto& [address, standard, extended] : cases) {
    for (const bool mode : {false, true}) {
      d.settings.extendedMatch = mode;
      EXPECT_EQ(Show(address), mode ? extended : standard)
          << U8(address) << (mode ? " extended" : " standard");
    }
  }
}

// 小字, 地割 and other place names between the town and the numbers go to the remainder.
TEST_F(ExtendedMatch, PlaceNamesAfterTheTown) {
  Expect({{u"千葉県香取市柏木字五反田8番地", "0 香取市 柏木|字五反田"},
          {u"千葉県香取市飯岡新田第7地割12", "0 香取市 飯岡新田|第7地割"},
          {u"千葉県香取市飯岡新田第35地割", "0 香取市 飯岡新田|第35地割"},
          {u"千葉県香取市大野番外地", "0 香取市 大野|番外地"},
          {u"千葉県香取市宇気タ2386-7", "0 香取市 宇気|７タ"},
          {u"千葉県香取市大野ち1431番地", "0 香取市 大野|ち"},
          {u"千葉県香取市宇気丑2036-1", "0 香取市 宇気|１丑"},
          {u"千葉県香取市河井町元輪島町大字河井二十四部1-2",
           "0 香取市 河井町|２元輪島町大字河井二十四部"},
          {u"千葉県香取市元大野村大字柏木3部12", "0 香取市 柏木|元大野村大字3部"},
          {u"千葉県香取市日和田町八丁目字門前278番地", "0 香取市 日和田町八丁目|字門前"}});
}

// Hokkaido's 条 and 丁目 written with numbers only.
TEST_F(ExtendedMatch, GridOfJoAndChome) {
  Expect({{u"札幌市中央区南１２西１２－２－２７", "0 札幌市中央区 南十二条西十二丁目|２７"},
          {u"札幌市中央区南12西12丁目2-27", "0 札幌市中央区 南十二条西十二丁目|２７"},
          {u"札幌市白石区菊水上町1-2", "0 札幌市白石区 菊水上町|２"},
          {u"札幌市西区西野555-3", "0 札幌市西区 西野|３"}});
}

// A town written without its municipality, stored once in the region (or the prefecture named).
TEST_F(ExtendedMatch, TownsWithoutTheirMunicipality) {
  Expect({{u"東京都紀尾井町1-3", "0 千代田区 紀尾井町|３"},
          {u"大阪府久太郎町４丁目渡辺3号", "0 大阪市中央区 久太郎町四丁目|渡辺"},
          {u"北海道手稲前田555-3", "0 札幌市手稲区 手稲前田|３"},
          {u"北海道紀尾井町1-3", "2"},
          {u"東京都霞が関1-2", "2"}});
  EXPECT_EQ(U8(d.Recognize(u"手稲前田555-3").parts.ward), "手稲区");
}

TEST_F(ExtendedMatch, HalfWidthKatakana) {
  Expect({{u"胆沢郡金ｹ崎町西根2", "0 胆沢郡金ケ崎町 西根|"},
          {u"東京都渋谷区富ｹ谷1-2", "0 渋谷区 富ケ谷一丁目|"},
          {u"千葉県鎌ｹ谷市道野辺1", "0 鎌ケ谷市 道野辺|"}});
}

// A building's floor, room and bracketed text are no numbers of the address.
TEST_F(ExtendedMatch, FloorsAndRooms) {
  Expect(
      {{u"東京都千代田区丸の内1-2-3(小野ビル101号)", "0 千代田区 丸の内一丁目|３(小野ビル101号)"},
       {u"千葉県香取市大野40番地 2F", "0 香取市 大野| 2F"},
       {u"千葉県香取市大野40(小野ビル101号)", "0 香取市 大野|(小野ビル101号)"},
       {u"千葉県香取市大野40-23-2号室", "0 香取市 大野|２３-2号室"},
       {u"千葉県香取市大野40番地3階", "0 香取市 大野|3階"}});
}

TEST_F(ExtendedMatch, KyotoStreets) {
  Expect(
      {{u"京都府京都市中京区寺町通三条上るより四条下るまで亀屋町1",
        "0 京都市中京区 亀屋町|寺町通三条上るより四条下るまで"},
       {u"京都府京都市中京区河原町通二条下る二筋目西入一之船入町1",
        "0 京都市中京区 一之船入町|河原町通二条下る二筋目西入"},
       {u"京都府京都市下京区松原通大宮西入二丁中堂寺前町1",
        "0 京都市下京区 中堂寺前町|松原通大宮西入二丁"},
       {u"京都府京都市上京区今出川通大宮西入二町目元北小路町1",
        "0 京都市上京区 元北小路町|今出川通大宮西入二町目"},
       {u"京都府京都市上京区七本松通一条上る二町目123", "0 京都市上京区 二町目|七本松通一条上る"},
       {u"京都府京都市上京区釜座通下立売下る東裏辻町398番地",
        "0 京都市上京区 東裏辻町|釜座通下立売下る"}});
}

// Where a rule could read an address two ways, it fails (5); a town misspelt fails as before.
TEST_F(ExtendedMatch, AmbiguousFormsFail) {
  Expect({{u"北海道札幌市西区西野1-2-3", "5"},  // 西野 1-2-3 or 西野一条二丁目 3
          {u"東京都本町1丁目2-3", "5"},         // 本町一丁目 of 渋谷区 and of 中野区
          {u"千葉県香取市金成姉歯道才沢428-4", "5"},  // 金成 or 金成姉歯 and a place name
          {u"千葉県香取市柏木大野12", "5"},           // the place name is the town 大野
          {u"千葉県香取市中反畑1234番地5", "5"},      // 中 and 反畑, or 八反畑 misspelt
          {u"千葉県香取市脇町大字猪尻古作1440番地", "5"},  // 脇町 and its 大字, or 脇町大字猪尻
          {u"東京都調布市国領町３－８", "5"},              // 国領町 3-8 or 国領町三丁目 8
          {u"千葉県香取市柏木沢12", "3"},                  // one character more
          {u"千葉県香取市柏木東3-5-1", "3"}});             // a town the region lacks
}

}  // namespace
}  // namespace mok::engine
