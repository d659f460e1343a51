// The per-address pipeline: result codes, the output fields for the output settings, the
// learning dictionary and the kana pre-pass, against a small region database.
#include <gtest/gtest.h>

#include <string>

#include "engine/recognition/recognizer.h"
#include "engine_test_db.h"

namespace mok::engine {
namespace {

using test::U8;

class RecognizeAddressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& d = db_;
    d.AddTown(u"東京都", u"千代田区", u"丸の内一丁目", {u"2", u"5"});  // id 1
    d.AddTown(u"東京都", u"千代田区", u"丸の内二丁目", {});            // id 2: no block numbers
    d.AddTown(u"東京都", u"千代田区", u"甲", {u"12", u"1"});           // id 3
    d.AddTown(u"東京都", u"千代田区", u"乙", {u"3", u"8"});            // id 4
    d.AddTown(u"東京都", u"渋谷区", u"鉢山町", {u"1"});                // id 5
    d.AddTown(u"東京都", u"港区", u"六本木一丁目", {u"1"});            // id 6
    d.AddTown(u"東京都", u"千代田区", u"鉢山町", {u"1"});              // id 7
    d.AddPost(u"1000005", u"千代田区", u"丸の内", u"ﾁﾖﾀﾞｸ", u"ﾏﾙﾉｳﾁ");
    d.AddPost(u"1000099", u"ちよだ区", u"はち山町", u"ﾁﾖﾀﾞｸ", u"ﾊﾁﾔﾏﾁｮｳ");
    d.Open();
  }

  int16_t Recognize(const std::u16string& address, std::u16string& out) {
    return db_.recognizer->RecognizeAddress(address, out);
  }
  std::string Fields(const std::u16string& address) {
    std::u16string out;
    const int16_t code = Recognize(address, out);
    EXPECT_EQ(code, kConverted) << U8(address);
    return U8(out);
  }
  const AddressResult& Result() { return db_.recognizer->Result(); }

  test::EngineDatabase db_;
};

TEST_F(RecognizeAddressTest, ResultCodes) {
  struct Case {
    std::u16string address;
    int16_t code;
  };
  const Case cases[] = {
      {u"", kEmptyAddress},
      {u"東京都千代田区丸の内1丁目2番3号", kConverted},
      {u"東京都目黒区目黒1-2", kNoCity},         // municipality not in the database
      {u"東京都港区1-2-3", kNoTown},             // no town name
      {u"東京都港区赤坂1-2-3", kNoTown},         // town not among the candidates
      {u"東京都千代田区丸の内3丁目1", kNoTown},  // no such chome
      {u"ｱｲｳ1-2", kFailure},  // kana address, no prefecture reading, no region kana
      {u"1-2-3", kFailure},   // begins with a digit: an empty kana part
      {u"大阪府大阪市北区梅田1-1-1", kNoCity},  // another prefecture's municipality
  };
  for (const auto& c : cases) {
    std::u16string out = u"stale";
    EXPECT_EQ(Recognize(c.address, out), c.code) << U8(c.address);
    if (c.code != kConverted) {
      EXPECT_EQ(U8(out), "") << U8(c.address);
    }
  }
}

TEST_F(RecognizeAddressTest, ChomeAddressTakesTheSecondNumberAsBlock) {
  db_.settings.remainOut = true;
  db_.settings.townCombine = false;
  EXPECT_EQ(Fields(u"東京都千代田区丸の内1丁目2番3号"),
            "丸の内一丁目,２,３号,C1,9,X1-2,Y1,LAT1,LON1");
  EXPECT_TRUE(Result().ChomeInOaza);
  EXPECT_EQ(U8(Result().TownParts[1]), "１");
}

TEST_F(RecognizeAddressTest, ChomeFoundByTheTownLookupMovesTheBlockToTheSecondNumber) {
  // 「丸の内1-5」: no 丁目 in the text, but the town lookup takes 1 into 丸の内一丁目.
  db_.settings.townCombine = false;
  EXPECT_EQ(Fields(u"東京都千代田区丸の内1-5"), "丸の内一丁目,５,C1,9,X1-5,Y1,LAT1,LON1");
}

TEST_F(RecognizeAddressTest, BlockMatching) {
  // Nearest block: 3 and 8 stored, 5 asked -> 3.
  EXPECT_EQ(Fields(u"東京都千代田区乙5"), "乙３,C4,9,X4-3,Y4,LAT4,LON4");
  db_.settings.completeMatch = true;
  std::u16string out;
  EXPECT_EQ(Recognize(u"東京都千代田区乙5", out), kNoBlock);
  EXPECT_EQ(Fields(u"東京都千代田区乙8"), "乙８,C4,9,X4-8,Y4,LAT4,LON4");
}

TEST_F(RecognizeAddressTest, OutputFieldsFollowTheSettings) {
  struct Case {
    const char* what;
    int16_t pref, city, remain, cityCode, coordNo, xy, latLon;
    bool combine;
    std::u16string address;
    std::string expected;
  };
  const std::u16string chome = u"東京都千代田区丸の内1丁目2番3号ビル";
  const Case cases[] = {
      {"defaults", 0, 0, 0, 1, 1, 1, 1, true, chome, "丸の内一丁目２,C1,9,X1-2,Y1,LAT1,LON1"},
      {"everything", 1, 1, 1, 1, 1, 1, 1, false, chome,
       "東京都,千代田区,丸の内一丁目,２,３号ビル,C1,9,X1-2,Y1,LAT1,LON1"},
      {"town only", 0, 0, 0, 0, 1, 0, 0, true, chome, "丸の内一丁目２"},
      {"coordinate number needs XY", 0, 0, 0, 1, 1, 0, 1, true, chome,
       "丸の内一丁目２,C1,LAT1,LON1"},
      {"XY without its number", 0, 0, 0, 0, 0, 1, 0, true, chome, "丸の内一丁目２,X1-2,Y1"},
      {"empty block keeps its field", 0, 0, 0, 0, 0, 0, 0, false, u"東京都千代田区丸の内2丁目",
       "丸の内二丁目,"},
      {"remainder of a plain block", 0, 0, 1, 0, 0, 0, 0, false, u"東京都千代田区甲12-3-4ビル",
       "甲,１２,３－４ビル"},
      // Numbers after the third are kept in the remainder field rather than dropped.
      {"every further number", 0, 0, 1, 0, 0, 0, 0, false, u"東京都千代田区甲1-2-3-4-5",
       "甲,１,２－３－４－５"},
  };
  for (const auto& c : cases) {
    Settings& s = db_.settings;
    s.prefOut = c.pref;
    s.cityOut = c.city;
    s.remainOut = c.remain;
    s.cityCodeOut = c.cityCode;
    s.coordNoOut = c.coordNo;
    s.xyOut = c.xy;
    s.latLonOut = c.latLon;
    s.townCombine = c.combine;
    EXPECT_EQ(Fields(c.address), c.expected) << c.what;
  }
}

TEST_F(RecognizeAddressTest, NothingOfAnEarlierAddressReachesTheNext) {
  EXPECT_EQ(Fields(u"東京都千代田区乙8"), "乙８,C4,9,X4-8,Y4,LAT4,LON4");
  std::u16string out;
  EXPECT_EQ(Recognize(u"東京都千代田区丙8", out), kNoTown);
  EXPECT_EQ(U8(Result().CityCode), "");
  EXPECT_EQ(U8(Result().CoordX), "");
  EXPECT_EQ(U8(Result().TownParts[1]), "８");
  EXPECT_EQ(Result().LogCount, 0);
}

TEST_F(RecognizeAddressTest, LearnedTownWordConvertsAndIsLogged) {
  std::u16string out;
  ASSERT_EQ(Recognize(u"東京都渋谷区はち山町1-1", out), kNoTown);
  ASSERT_TRUE(db_.database->RegisterLearnedWord(test::kRegionNumber, 3, u"はち山", u"鉢山"));
  db_.settings.logOut = true;
  EXPECT_EQ(Fields(u"東京都渋谷区はち山町1-1"),
            "鉢山町１,C5,9,X5-1,Y5,LAT5,LON5,［変換ログ］はち山町 → 鉢山");
  // A word of another region is not used here.
  ASSERT_TRUE(db_.database->RegisterLearnedWord(99, 3, u"ろく", u"六"));
  EXPECT_EQ(Recognize(u"東京都港区ろく本木1丁目1", out), kNoTown);
}

TEST_F(RecognizeAddressTest, ThreeLogEntriesGiveThreeFieldsAndOneLabel) {
  ASSERT_TRUE(db_.database->RegisterLearnedWord(0, 2, u"ちよだ区", u"千代田区"));
  ASSERT_TRUE(db_.database->RegisterLearnedWord(0, 3, u"はち山", u"鉢山"));
  db_.database->StrRegionKana = u"ﾄｳｷｮｳ";
  db_.settings.logOut = true;
  db_.settings.cityCodeOut = false;
  db_.settings.xyOut = false;
  db_.settings.latLonOut = false;
  EXPECT_EQ(Fields(u"ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾊﾁﾔﾏﾁｮｳ1-1"),
            "鉢山町１,［変換ログ］郵便番号:1000099,ちよだ区 → 千代田区,はち山町 → 鉢山");
  EXPECT_EQ(Result().LogCount, 3);
}

TEST_F(RecognizeAddressTest, KanaAddressConvertsThroughThePostalTable) {
  db_.settings.prefOut = true;
  db_.settings.cityOut = true;
  db_.settings.logOut = true;
  db_.settings.cityCodeOut = false;
  db_.settings.xyOut = false;
  db_.settings.latLonOut = false;
  EXPECT_EQ(Fields(u"ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-2"),
            "東京都,千代田区,丸の内一丁目２,［変換ログ］郵便番号:1000005");
}

TEST_F(RecognizeAddressTest, DelimiterSplitsTheAddressIntoFields) {
  db_.settings.delimiter = u"/";
  EXPECT_EQ(Fields(u"東京都/千代田区/乙/8"), "乙８,C4,9,X4-8,Y4,LAT4,LON4");
  // A kana address rewritten under another delimiter still splits into its fields.
  EXPECT_EQ(Fields(u"ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-5"), "丸の内一丁目５,C1,9,X1-5,Y1,LAT1,LON1");
  std::u16string address = u"ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-5";
  ASSERT_TRUE(db_.recognizer->KanaAddressToKanji(address));
  EXPECT_EQ(U8(address), "東京都/千代田区/丸の内1-5");
}

// The kana pre-pass on its own: what it makes of an address.
class KanaAddressTest : public RecognizeAddressTest {
 protected:
  bool Rewrite(std::u16string& address) { return db_.recognizer->KanaAddressToKanji(address); }
};

TEST_F(KanaAddressTest, Rewrites) {
  struct Case {
    std::u16string address;
    bool ok;
    std::u16string rewritten;
  };
  const Case cases[] = {
      {u"東京都千代田区丸の内1-2-3", true, u"東京都千代田区丸の内1-2-3"},  // not a kana address
      {u"ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-2-3", true, u"東京都,千代田区,丸の内1-2-3"},
      {u"トウキョウトチヨダクマルノウチ１－２－３", true, u"東京都,千代田区,丸の内1-2-3"},
      {u"ﾄｳｷｮｳﾄ,ﾁﾖﾀﾞｸ,ﾏﾙﾉｳﾁ1-2-3", true, u"東京都,千代田区,丸の内1-2-3"},
      {u"ﾄｳｷｮｳﾄ,ﾁﾖﾀﾞｸ,ﾏﾙﾉｳﾁ,1-2-3", true, u"東京都,千代田区,丸の内1-2-3"},
      {u"ﾄｳｷｮｳﾄ,ﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-2-3", true, u"東京都,千代田区,丸の内1-2-3"},
      // The prefecture reading without its type reading is accepted too.
      {u"ﾄｳｷｮｳﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1", true, u"東京都,千代田区,丸の内1"},
      // Nothing found in the postal table: prefecture, comma and the tail.
      {u"ﾄｳｷｮｳﾄｱｲｳ1-2-3", true, u"東京都,1-2-3"},
      {u"ﾄｳｷｮｳﾄ,東京", false, u"ﾄｳｷｮｳﾄ,東京"},
      {u"1-2-3", false, u"1-2-3"},
      {u"ｱｲｳ1", false, u"ｱｲｳ1"},
  };
  for (const auto& c : cases) {
    std::u16string address = c.address;
    EXPECT_EQ(Rewrite(address), c.ok) << U8(c.address);
    EXPECT_EQ(U8(address), U8(c.rewritten)) << U8(c.address);
  }
}

TEST_F(KanaAddressTest, WithoutPrefectureReadingTheRegionIsUsed) {
  db_.database->StrRegionKana = u"ﾄｳｷｮｳ";
  std::u16string address = u"ﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-2";
  ASSERT_TRUE(Rewrite(address));
  EXPECT_EQ(U8(address), "テスト,千代田区,丸の内1-2");
  EXPECT_EQ(Result().LogCount, 1);
  EXPECT_EQ(U8(Result().LogEntries[1]), "郵便番号:1000005");
}

}  // namespace
}  // namespace mok::engine
