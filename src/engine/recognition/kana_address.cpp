// Addresses written as a katakana reading: 「ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-2-3」 (often half-width, as older
// systems stored them) carry no kanji for the recognition to cut at 市 区 町 村. The prefecture is
// found by its katakana name, the reading of municipality and place is looked up in the postal
// table, and the address is rewritten as 「東京都,千代田区,丸の内1-2-3」 before the normal
// recognition. The reading may be spread over up to three fields (prefecture, municipality,
// place). Addresses that are not kana addresses pass unchanged.
#include "engine/recognition/recognizer.h"
#include "text/text.h"

namespace mok::engine {

namespace {

// The text after the kana part of a narrowed field (from its first digit on); "" when the field
// is kana to its end.
std::u16string AfterKana(const std::u16string& narrowed, int32_t firstOther) {
  return firstOther > 0 ? text::Mid(narrowed, static_cast<std::size_t>(firstOther))
                        : std::u16string();
}

}  // namespace

bool Recognizer::KanaAddressToKanji(std::u16string& address) {
  fields_.Split(address, settings_.delimiter);
  if (fields_.FieldCount == 0)
    return true;

  const std::u16string first = text::ToNarrow(fields_.NextAddressField());
  std::u16string kana = first;
  int32_t firstOther = 0;
  if (!CutKanaPart(kana, firstOther))
    return true;  // not a kana address
  std::u16string tail = AfterKana(first, firstOther);

  int32_t nextPos = 0;
  std::u16string prefecture = database_.FindPrefectureByKana(kana, nextPos);
  std::u16string cityKana;
  std::u16string placeKana;
  if (!prefecture.empty()) {
    if (static_cast<int32_t>(kana.size()) < nextPos) {
      // The first field holds only the prefecture: municipality and place follow.
      const std::u16string second = text::ToNarrow(fields_.NextAddressField());
      std::u16string k2 = second;
      int32_t other2 = 0;
      if (!CutKanaPart(k2, other2))
        return false;
      if (other2 > 0) {
        tail = AfterKana(second, other2);
        cityKana = k2;
      } else {
        cityKana = second;
        const std::u16string third = text::ToNarrow(fields_.NextAddressField());
        std::u16string k3 = third;
        int32_t other3 = 0;
        if (!CutKanaPart(k3, other3))
          return false;
        if (other3 > 0) {
          tail = AfterKana(third, other3);
          placeKana = k3;
        } else {
          placeKana = third;
          tail = fields_.NextAddressField();
        }
      }
    } else {
      cityKana = text::Mid(kana, static_cast<std::size_t>(nextPos));
    }
  } else {
    if (database_.StrRegionKana.empty())
      return false;
    prefecture = database_.StrSelectedRegion;
    cityKana = kana;
  }

  // The parts are joined with the field delimiter, so that the recognition splits them into
  // fields again whatever the delimiter is (joined by a comma under another delimiter, the
  // municipality would be looked for as 「,千代田区」 and never found).
  std::u16string names = database_.LookupPostalCode(prefecture, cityKana, placeKana, result_);
  const std::u16string& delimiter = settings_.delimiter.empty() ? u"," : settings_.delimiter;
  if (const std::size_t comma = names.find(u','); comma != std::u16string::npos)
    names.replace(comma, 1, delimiter);
  address = prefecture + delimiter + names + tail;
  return true;
}

}  // namespace mok::engine
