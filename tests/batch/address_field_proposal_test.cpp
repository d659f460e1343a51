// The address field found from the records: the sample customer files, the signs of an address
// in one value, and the hint that names the right field when most records fail (issue 23).
#include <gtest/gtest.h>

#include "batch/address_field_hint.h"
#include "batch/address_field_proposal.h"
#include "batch/region_place_names.h"
#include "batch_test_util.h"

namespace mok::batch {
namespace {

// The names of the Tokyo sample database: prefectures and Tokyo's municipalities.
const PlaceNames& TokyoNames() {
  static const PlaceNames names = [] {
    db::AddressDatabase database;
    EXPECT_TRUE(database.Open(text::FromUtf8(MOK_SAMPLE_DB)));
    return RegionPlaceNames(database, u"東京都");
  }();
  return names;
}

std::u16string DataFile(const char* name) {
  return text::FromUtf8(std::string(MOK_DATA_DIR) + "/" + name);
}

TEST(AddressFieldProposal, TheSampleCustomerFilesProposeTheirAddressFields) {
  ASSERT_GT(TokyoNames().municipalities.size(), 50u);
  const PlaceNames prefecturesOnly{TokyoNames().prefectures, {}};
  struct Case {
    const char* file;
    std::vector<int32_t> fields;  // 0-based
  };
  const Case cases[] = {
      {"customers-excel-cp932.csv", {4}},  // 住所 after 郵便番号, before 電話
      {"customers-utf8-bom.csv", {3, 4}},  // 住所1 + 住所2
      {"customers-surnames.csv", {2}},     // 住所 after surnames with 村, 町, 市
      {"sample-input.csv", {2}},
  };
  for (const Case& c : cases) {
    const auto sample = SampleInput(DataFile(c.file), 2);
    ASSERT_TRUE(sample) << c.file;
    for (const PlaceNames* names : {&TokyoNames(), &prefecturesOnly}) {
      const auto proposal = ProposeAddressFields(*sample, AddressSigns(*names));
      ASSERT_TRUE(proposal) << c.file;
      EXPECT_EQ(proposal->fields, c.fields)
          << c.file << (names == &prefecturesOnly ? " (prefectures only)" : "");
    }
  }
}

TEST(AddressFieldProposal, PointsForEachSignOfAnAddress) {
  const AddressSigns signs(TokyoNames());
  const std::pair<std::u16string, int> cases[] = {
      {u"東京都町田市森野2-2-22", 3},
      {u"東京都日野市", 2},
      {u"西多摩郡瑞穂町", 1},
      {u"瑞穂町", 1},                   // a town of a county, named without it
      {u"程久保685-18 ハイツ若葉", 1},  // numbers after a letter
      {u"中川三丁目", 1},
      {u"大沢1丁目2の17", 1},
      {u"丸の内 1-1-1", 1},
      {u"中村 さくら", 0},  // surnames: no municipality although 村, 町, 市
      {u"町田 健一", 0},
      {u"市川 花子", 0},
      {u"03-1234-5678", 0},        // a telephone number
      {u"132-9915", 0},            // a postal code
      {u"携帯 090-1234-5678", 0},  // after a letter, but it begins with 0
      {u"請求書第2号", 0},
      {u"", 0},
  };
  for (const auto& [value, points] : cases)
    EXPECT_EQ(signs.Points(value), points) << text::ToUtf8(value);
}

// The hint names the field the records propose whenever the chosen one holds less of an
// address: surnames, an ID, or only the first of two address fields.
TEST(AddressFieldProposal, HintNamesTheProposedFieldWhenTheChosenOneHoldsLess) {
  const AddressSigns signs(TokyoNames());
  struct Case {
    const char* file;
    std::vector<int32_t> chosen;
    std::string hint;  // "" for none
  };
  const Case cases[] = {
      {"customers-surnames.csv",
       {1},
       "住所フィールドに指定した2番目のフィールド（見出し「氏名」）には住所らしい文字列があり"
       "ません。住所は3番目のフィールド（見出し「住所」）にあるようです。"},
      {"customers-utf8-bom.csv",
       {3},
       "住所フィールドに指定した4番目のフィールド（見出し「住所1」）には住所らしい文字列がわずか"
       "しかありません。住所は4番目のフィールド（見出し「住所1」）と5番目のフィールド（見出し"
       "「住所2」）にあるようです。"},
      {"customers-surnames.csv", {2}, ""},  // the right field: its failures are the addresses'
      {"customers-excel-cp932.csv", {4, 5}, ""},  // holds the address, nothing holds more
  };
  for (const Case& c : cases) {
    const RunFiles run{DataFile(c.file), u"", 2, c.chosen, {}, {}};
    const auto hint = AddressFieldHint(run, signs);
    EXPECT_EQ(hint ? text::ToUtf8(hint->substr(0, hint->find(u"\r\n"))) : "", c.hint) << c.file;
  }
}

}  // namespace
}  // namespace mok::batch
