// The per-address pipeline against a small region database: result codes, the block taken, the
// learning dictionary with its log and counts, the kana pre-pass, failures of the address data
// coming back in the answer, addresses made of random pieces of real ones, and one recognizer
// shared by two stores.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "support/engine_database.h"

namespace mok::engine {
namespace {

using test::U8;

class RecognizeAddressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    d.AddTown(u"東京都", u"千代田区", u"丸の内一丁目", {u"2", u"5"});  // id 1
    d.AddTown(u"東京都", u"千代田区", u"丸の内二丁目", {});            // id 2: no block numbers
    d.AddTown(u"東京都", u"千代田区", u"甲", {u"12", u"1"});           // id 3
    d.AddTown(u"東京都", u"千代田区", u"乙", {u"3", u"8"});            // id 4
    d.AddTown(u"東京都", u"渋谷区", u"鉢山町");                        // id 5
    d.AddTown(u"東京都", u"港区", u"六本木一丁目");                    // id 6
    d.AddTown(u"北海道", u"札幌市中央区", u"大通西");                  // id 7
    d.AddTown(u"東京都", u"中央区", u"銀座一丁目", {u"1"});            // id 8
    d.AddPost(u"1000005", u"千代田区", u"丸の内", u"ﾁﾖﾀﾞｸ", u"ﾏﾙﾉｳﾁ");
    d.AddPost(u"1500099", u"しぶや区", u"はち山町", u"ｼﾌﾞﾔｸ", u"ﾊﾁﾔﾏﾁｮｳ");
    d.Open();
  }

  // "code fields", then the log entries after " / " and the failures after " ! ".
  std::string Run(const std::u16string& address) {
    const Recognition r = d.Recognize(address);
    EXPECT_EQ(r.code == ResultCode::Converted, !r.outputFields.empty()) << U8(address);
    std::string shown = std::to_string(CodeNumber(r.code)) + " " + U8(r.outputFields);
    for (std::size_t i = 0; i < r.log.size(); ++i)
      shown += (i ? ", " : " / ") + U8(r.log[i]);
    for (const DbError& e : r.errors)
      shown += " ! " + U8(e.Text() + u" in " + e.file);
    return shown;
  }
  // The stored use count of the learned word registered as `registered`.
  int64_t Uses(const std::u16string& registered) {
    auto st = d.b.Main().Compile("select fld参照回数 from 学習 where fld登録字句 = ?");
    st->BindText(1, registered);
    return st->Step().value() ? st->Int(0) : -1;
  }

  test::EngineDatabase d;
};

TEST_F(RecognizeAddressTest, ResultCodesAndTheBlockTaken) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"", "4 "},
      {u"東京都千代田区丸の内1丁目2番3号", "0 丸の内一丁目２,C1,9,X1-2,Y1,LAT1,LON1"},
      // No 丁目 written: the town match takes 1 into the name, 5 is the block.
      {u"東京都千代田区丸の内1-5", "0 丸の内一丁目５,C1,9,X1-5,Y1,LAT1,LON1"},
      // The nearest block, or no number: the first row. The address keeps its numbers; the
      // log names the block the point comes from.
      {u"東京都千代田区乙5", "0 乙５,C4,9,X4-3,Y4,LAT4,LON4 / 位置レベル:街区３（近似）"},
      {u"東京都千代田区甲", "0 甲,C3,9,X3-12,Y3,LAT3,LON3 / 位置レベル:街区１２（近似）"},
      // Two municipalities fit; the block is looked up in the one whose town fits (issue 20).
      {u"中央区銀座1-1-1", "0 銀座一丁目１,C8,9,X8-1,Y8,LAT8,LON8"},
      {u"東京都千代田区丸の内2丁目", "0 丸の内二丁目,C2,9,X2,Y2,LAT2,LON2"}};  // a Null number
  for (const auto& [address, expected] : cases)
    EXPECT_EQ(Run(address), expected) << U8(address);
  // Not in the region, or another prefecture's municipality; no town name, a town not among
  // the candidates, no such chome; a kana address without prefecture reading (the region has no
  // kana) or with an empty kana part.
  const std::pair<std::u16string, std::string> failures[] = {{u"東京都目黒区目黒1-2", "2"},
                                                             {u"大阪府大阪市北区梅田1-1-1", "2"},
                                                             {u"東京都港区1-2-3", "3"},
                                                             {u"東京都港区赤坂1-2-3", "3"},
                                                             {u"東京都千代田区丸の内3丁目1", "3"},
                                                             {u"ｱｲｳ1-2", "-1"},
                                                             {u"1-2-3", "-1"}};
  for (const auto& [address, code] : failures)
    EXPECT_EQ(Run(address), code + " ") << U8(address);
  d.settings.completeMatch = true;
  EXPECT_EQ(Run(u"東京都千代田区乙5"), "6 ");
  EXPECT_EQ(Run(u"東京都千代田区乙8"), "0 乙８,C4,9,X4-8,Y4,LAT4,LON4");
  // Numbers the numeral rules cannot read fail the address instead of naming another town.
  for (const char16_t* unreadable :
       {u"東京都千代田区丸の内99999999999丁目1-1", u"東京都千代田区丸の内2000000丁目1-1",
        u"東京都千代田区丸の内十万丁目", u"東京都千代田区丸の内百万"})
    EXPECT_EQ(Run(unreadable), "3 ") << U8(unreadable);
  // A region name that would name a file outside the folder (or none) is refused.
  for (const char16_t* name : {u"", u"../x", u"mok2"})
    EXPECT_FALSE(d.database->SelectRegion(name).ok()) << U8(name);
}

TEST_F(RecognizeAddressTest, LearnedWordsRewriteTheBeginningAndAreLoggedAndCounted) {
  d.settings.cityCodeOut = d.settings.xyOut = d.settings.latLonOut = false;
  EXPECT_EQ(Run(u"東京都渋谷区はち山町1"), "3 ");
  EXPECT_EQ(Run(u"北海道札幌中央区大通西1"), "2 ");
  d.b.AddLearned(99, 3, u"はち", u"鉢");  // another region's word is not used
  EXPECT_EQ(Run(u"東京都渋谷区はち山町1"), "3 ");
  d.b.AddLearned(test::kRegionNumber, 3, u"はち山", u"鉢山");
  d.b.AddLearned(0, 2, u"札幌", u"札幌市");
  // The rest of the word is kept after the replacement: 札幌中央区 becomes 札幌市中央区.
  EXPECT_EQ(Run(u"東京都渋谷区はち山町1"), "0 鉢山町１ / はち山町 → 鉢山");
  EXPECT_EQ(Run(u"北海道札幌中央区大通西1"), "0 大通西１ / 札幌中央区 → 札幌市");
  // A replacement that equals the word is neither logged nor counted.
  EXPECT_EQ(Run(u"北海道札幌市大通西1"), "2 ");
  EXPECT_EQ(Uses(u"はち山"), 1);
  EXPECT_EQ(Uses(u"札幌"), 1);
  // A municipality word whose rewrite leaves no municipality part: no municipality, and the
  // town is not split (issue 20).
  d.b.AddLearned(0, 2, u"ちよだ区", u"東京都千代田区");
  const Recognition noCity = d.Recognize(u"東京都ちよだ区丸の内1丁目1");
  EXPECT_EQ(CodeNumber(noCity.code), 2);
  EXPECT_EQ(U8(noCity.parts.townName + noCity.parts.numbers[0]), "");
  // The kana pre-pass, a municipality word and a town word in one address.
  d.b.AddLearned(0, 2, u"しぶや区", u"渋谷区");
  EXPECT_EQ(Run(u"ﾄｳｷｮｳﾄｼﾌﾞﾔｸﾊﾁﾔﾏﾁｮｳ1"),
            "0 鉢山町１ / 郵便番号:1500099, しぶや区 → 渋谷区, はち山町 → 鉢山");
}

TEST_F(RecognizeAddressTest, KanaAddressesGoThroughThePostalTable) {
  d.settings.prefOut = d.settings.cityOut = true;
  d.settings.cityCodeOut = d.settings.xyOut = d.settings.latLonOut = false;
  const std::string done = "0 東京都,千代田区,丸の内一丁目２ / 郵便番号:1000005";
  // Width, the type's reading left out, the parts over two, three or four fields.
  for (const std::u16string address :
       {u"ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-2", u"トウキョウトチヨダクマルノウチ１－２", u"ﾄｳｷｮｳﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-2",
        u"ﾄｳｷｮｳﾄ,ﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-2", u"ﾄｳｷｮｳﾄ,ﾁﾖﾀﾞｸ,ﾏﾙﾉｳﾁ1-2", u"ﾄｳｷｮｳﾄ,ﾁﾖﾀﾞｸ,ﾏﾙﾉｳﾁ,1-2"})
    EXPECT_EQ(Run(address), done) << U8(address);
  EXPECT_EQ(Run(u"ﾄｳｷｮｳﾄｱｲｳ1-2"), "2 ");  // not in the postal table
  EXPECT_EQ(Run(u"ﾄｳｷｮｳﾄ,東京"), "-1 ");  // the second field is no kana
  // Issue 20: the fields after the ones read are kept.
  d.settings.remainOut = true;
  for (const std::u16string address :
       {u"ﾄｳｷｮｳﾄ,ﾁﾖﾀﾞｸ,ﾏﾙﾉｳﾁ,1-2-3,ﾋﾞﾙ", u"ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-2-3,ﾋﾞﾙ"})
    EXPECT_EQ(Run(address), "0 東京都,千代田区,丸の内一丁目２,３ﾋﾞﾙ / 郵便番号:1000005")
        << U8(address);
  d.settings.remainOut = false;
  // The rewritten parts are split again at the delimiter, whatever it is.
  d.settings.delimiter = u"/";
  EXPECT_EQ(Run(u"ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-2"), done);
  EXPECT_EQ(Run(u"東京都/千代田区/乙/8"), "0 東京都,千代田区,乙８");
}

TEST_F(RecognizeAddressTest, FailuresOfTheAddressDataComeBackInTheAnswer) {
  const std::string region = " in " + U8(db::RegionDatabasePath(d.b.Dir(), test::kRegion));
  d.b.AddPosition(test::kRegion, {u"東京都", u"千代田区", u"幻町", u"NoSuchTable", 99, u"C"});
  test::TestDatabaseBuilder::Exec(d.b.Main(), "drop table 学習");
  EXPECT_EQ(Run(u"東京都千代田区幻町1"), "6  ! no such table: NoSuchTable(1)" + region);
  EXPECT_EQ(Run(u"東京都千代田区丙町1"),
            "-1  ! no such table: 学習(1) in " + U8(db::MainDatabasePath(d.b.Dir())));
  // Nothing of a failed address reaches the next one.
  EXPECT_EQ(Run(u"東京都千代田区乙8"), "0 乙８,C4,9,X4-8,Y4,LAT4,LON4");
  test::TestDatabaseBuilder::Exec(d.b.Region(test::kRegion), "drop table POSITION");
  EXPECT_EQ(Run(u"東京都千代田区乙8"), "2  ! no such table: POSITION(1)" + region);
}

TEST_F(RecognizeAddressTest, RandomPiecesOfAddresses) {
  // Every call ends with one of the result codes, with output fields exactly when converted and
  // at most ten log entries.
  d.b.AddLearned(0, 2, u"ちよだ", u"千代田");
  d.b.AddLearned(0, 3, u"ま", u"");  // a replacement that deletes
  d.b.AddLearned(0, 2, u"", u"区");  // applies to every municipality text
  const std::vector<std::u16string> pieces = test::Words(
      u"東京都|北海道|東|千代田区|港区|虻田郡|倶知安町|市|区|郡|町|村|丸の内|大字|字|北町|1|２|十|"
      u"百|万|〇|99999999999|丁目|ちょうめ|番地|番|号|ｺﾞｳ|の|-|－|ー|ﾉ| |　|\"|'|,|ﾄｳｷｮｳﾄ|ﾁﾖﾀﾞｸ|"
      u"ﾏﾙﾉｳﾁ|ビル|a|Ａ|一番町|\t|市場|ちよだ区|千代田区丸の内1-2",
      u'|');
  std::set<ResultCode> seen;
  std::mt19937 random(20261207);
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  for (int i = 0; i < 1500; ++i) {
    std::u16string address;
    for (int n = static_cast<int>(random() % 15); n > 0; --n)
      address += pieces[pick(random)];
    const Recognition r = d.Recognize(address);
    seen.insert(r.code);
    ASSERT_EQ(r.code == ResultCode::Converted, !r.outputFields.empty()) << U8(address);
    ASSERT_LE(r.log.size(), kMaxLogEntries) << U8(address);
  }
  // The pieces reach every stage of the pipeline.
  for (ResultCode code : {ResultCode::Converted, ResultCode::NoCity, ResultCode::NoTown,
                          ResultCode::EmptyAddress, ResultCode::Failure})
    EXPECT_TRUE(seen.count(code)) << CodeNumber(code);
}

// One recognizer serves several stores (a conversion's workers have one each): every answer
// comes from the store it was given, also where the extended matching folds the municipality
// names of the store.
TEST(SharedRecognizer, AnswersFromTheStoreItIsGiven) {
  test::EngineDatabase a;
  test::EngineDatabase b;
  a.AddTown(u"東京都", u"港区", u"芝公園");
  a.AddTown(u"千葉県", u"鎌ヶ谷市", u"道野辺");  // C2
  b.AddTown(u"千葉県", u"鎌ヶ谷市", u"道野辺");  // C1
  b.AddTown(u"東京都", u"港区", u"芝公園");
  a.Open();
  b.Open();
  a.settings.extendedMatch = true;
  const Recognizer& shared = *a.recognizer;
  for (int round = 0; round < 2; ++round) {
    for (const test::EngineDatabase* d : {&a, &b}) {
      const Recognition r = shared.RecognizeAddress(u"千葉県鎌ケ谷市道野辺1", *d->database);
      EXPECT_EQ(U8(r.position.cityCode), d == &a ? "C2" : "C1");
    }
  }
}

}  // namespace
}  // namespace mok::engine
