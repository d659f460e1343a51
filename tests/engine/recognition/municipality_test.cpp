// Prefecture and municipality recognition against a small region database: the prefecture by
// kanji name or kana reading, the municipality cut at 市 区 郡 町 村 (the last occurrence of a
// suffix first), the prefecture filter and the stored spelling of the parts.
#include <gtest/gtest.h>

#include "engine/forwarding_store.h"
#include "engine/recognition/prefecture.h"
#include "support/engine_database.h"

namespace mok::engine {
namespace {

using test::U8;

class Municipality : public ::testing::Test {
 protected:
  void SetUp() override {
    d.AddTown(u"東京都", u"港区", u"芝公園一丁目");
    d.AddTown(u"東京都", u"町田市", u"原町田一丁目");
    d.AddTown(u"東京都", u"北区", u"赤羽一丁目");
    d.AddTown(u"大阪府", u"大阪市北区", u"梅田一丁目");
    d.AddTown(u"北海道", u"虻田郡倶知安町", u"北町");
    d.AddTown(u"北海道", u"札幌市中央区", u"大通西");
    d.AddTown(u"北海道", u"余市郡余市町", u"黒川町");
    d.AddTown(u"千葉県", u"船橋市", u"市場一丁目");
    d.AddTown(u"千葉県", u"市川市", u"市川一丁目");
    d.AddTown(u"千葉県", u"千葉市中央区", u"中央一丁目");
    d.AddTown(u"京都府", u"京都市中京区", u"河原町");
    d.AddTown(u"三重県", u"四日市市", u"諏訪町");
    d.Open();
  }

  // "prefecture|city|ward|town" when split, else the code.
  std::string Split(const std::u16string& address) {
    const AddressSplit s = d.recognizer->SplitAddress(address, *d.database);
    if (s.code != ResultCode::Converted)
      return std::to_string(CodeNumber(s.code));
    const AddressParts& p = s.parts;
    return U8(p.prefecture + u"|" + p.city + u"|" + p.ward + u"|" + p.townName);
  }

  test::EngineDatabase d;
};

TEST_F(Municipality, PrefectureByKanjiNameOrKanaReading) {
  // The prefecture list as read from the main database: name with its type, kana, type reading.
  const std::vector<Prefecture>& list = d.database->Prefectures();
  auto show = [](const PrefectureMatch& m) { return U8(m.name) + " " + std::to_string(m.next); };
  // A text shorter than a name matches the first name it begins.
  const std::pair<std::u16string, std::string> kanji[] = {
      {u"東京都港区", "東京都 4"}, {u"京都府京都市", "京都府 4"}, {u"北海道", "北海道 4"},
      {u"東", "東京都 2"},         {u"港区芝公園", " 1"},         {u"", " 1"}};
  for (const auto& [text, expected] : kanji)
    EXPECT_EQ(show(FindPrefecture(text, list)), expected) << U8(text);
  // 道 has no reading; the type's reading may be left out; width and kana type are ignored.
  const std::pair<std::u16string, std::string> kana[] = {
      {u"ﾎｯｶｲﾄﾞｳｻｯﾎﾟﾛｼ", "北海道 8"},        {u"ﾁﾊﾞｹﾝﾁﾊﾞｼ", "千葉県 6"},
      {u"ｷｮｳﾄﾌｷｮｳﾄｼ", "京都府 6"},           {u"ﾄｳｷｮｳﾁﾖﾀﾞｸ", "東京都 6"},
      {u"トウキョウトチヨダク", "東京都 7"}, {u"ﾄｳｷｮ", " 1"}};
  for (const auto& [text, expected] : kana)
    EXPECT_EQ(show(FindPrefectureByKana(text, list)), expected) << U8(text);
}

TEST_F(Municipality, CutsAtTheSuffixesConfirmedByTheRegion) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"東京都港区芝公園1", "東京都|港区||芝公園"},
      {u"大阪府大阪市北区梅田1", "大阪府|大阪市|北区|梅田"},  // not 東京都's 北区
      {u"北海道虻田郡倶知安町北町1", "北海道|虻田郡|倶知安町|北町"},
      {u"京都府京都市中京区河原町", "京都府|京都市|中京区|河原町"},
      // 「船橋市市」 is tried first and not confirmed; 「四日市」 alone is no municipality.
      {u"千葉県船橋市市場1丁目", "千葉県|船橋市||市場"},
      {u"三重県四日市市諏訪町", "三重県|四日市市||諏訪町"},
      // Names holding another suffix are found through 市, which is tried first.
      {u"東京都町田市原町田1", "東京都|町田市||原町田"},
      {u"千葉県市川市市川1", "千葉県|市川市||市川"},
      // Without a prefecture the first fitting row supplies it and the stored spelling.
      {u"港区芝公園1", "東京都|港区||芝公園"},
      {u"倶知安町北町", "北海道|虻田郡倶知安町||北町"},
      {u"中央区大通西", "北海道|札幌市中央区||大通西"},
      {u"札幌市中央区大通西", "北海道|札幌市|中央区|大通西"},
      {u"大阪市港区芝公園1", "東京都||港区|芝公園"},  // the stored name is the ward alone
      // A named prefecture keeps the other prefectures' municipalities out.
      {u"千葉県中央区中央1", "千葉県|千葉市中央区||中央"}};
  for (const auto& [address, expected] : cases)
    EXPECT_EQ(Split(address), expected) << U8(address);
  // Other prefectures' municipalities; not in the region; no suffix after the prefecture; no
  // municipality at all.
  for (const std::u16string address : {u"京都府港区芝公園1", u"京都府北区赤羽1",
                                       u"東京都渋谷区道玄坂1", u"東京都六本木1-2", u"東京都", u""})
    EXPECT_EQ(Split(address), "2") << U8(address);
  // No town name; 六 opens the town text and no later number starts the block.
  EXPECT_EQ(Split(u"東京都港区"), "3");
  EXPECT_EQ(Split(u"東京都港区六本木"), "3");
  // Nine towns after the county are tried as county + town; ten are more than are tried, and
  // the municipality is then found at 町 alone.
  const std::u16string seven(7, u'町');
  EXPECT_EQ(Split(u"北海道余市郡余市町" + seven + u"黒川町1"),
            U8(u"北海道|余市郡|余市町|" + seven + u"黒川町"));
  EXPECT_EQ(Split(u"北海道余市郡余市町町" + seven + u"黒川町1"),
            U8(u"北海道|余市郡余市町||町" + seven + u"黒川町"));
}

TEST_F(Municipality, AddressOverSeveralFields) {
  // The prefecture fills the first field: the municipality is in the next one, and the town
  // continues over the fields after it, up to an empty one. A municipality name may be split
  // over two fields.
  const Recognition a = d.Recognize(u"東京都,港区芝公園1-1-1,ビル");
  EXPECT_EQ(U8(a.parts.townName + u"|" + a.parts.remainder), "芝公園一丁目|ビル");
  // An empty field ends the address.
  EXPECT_TRUE(d.Recognize(u"東京都港区,芝公園1-1-1,,ビル").parts.remainder.empty());
  const Recognition b = d.Recognize(u"東京都町,田市原町田1");
  EXPECT_EQ(U8(b.parts.city + u"|" + b.parts.townName), "町田市|原町田一丁目");
  EXPECT_EQ(a.code, ResultCode::Converted);
  EXPECT_EQ(b.code, ResultCode::Converted);
}

// A store that counts the municipality lookups the city step makes.
struct CountingStore : ForwardingStore {
  using ForwardingStore::ForwardingStore;
  DbResult<std::vector<std::size_t>> FindMunicipalities(std::u16string_view name,
                                                        bool endsWith) override {
    ++lookups;
    return ForwardingStore::FindMunicipalities(name, endsWith);
  }
  int lookups = 0;
};

// Thousands of 市 in one address (a hostile record) cost a bounded number of cuts, not one per
// occurrence: the municipality must end within its first characters.
TEST(MunicipalityCuts, AreBoundedWhateverTheAddressHolds) {
  test::EngineDatabase d;
  d.AddTown(u"東京都", u"港区", u"芝公園一丁目");
  d.Open();
  CountingStore store(*d.database);
  const Recognition r =
      d.recognizer->RecognizeAddress(u"東京都港区芝公園" + std::u16string(20000, u'市'), store);
  EXPECT_EQ(r.code, ResultCode::NoTown);
  EXPECT_LT(store.lookups, 200);
}

}  // namespace
}  // namespace mok::engine
