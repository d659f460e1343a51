// Addresses written as a katakana reading: 「ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-2-3」 (often half-width, as older
// systems stored them) carry no kanji for the recognition to cut at 市 区 町 村. The prefecture is
// found by its katakana name, the reading of municipality and place is looked up in the postal
// table, and the address is rewritten as 「東京都,千代田区,丸の内1-2-3」 before the normal
// recognition. The reading may be spread over up to three fields (prefecture, municipality,
// place). Addresses that are not kana addresses pass unchanged.
#include "engine/recognition/address_context.h"
#include "engine/recognition/prefecture.h"
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

std::optional<std::u16string> Recognizer::KanaAddressToKanji(AddressContext& context,
                                                             const std::u16string& address) const {
  AddressFields& fields = context.fields;
  AddressStore& store = context.store;
  fields.Split(address, settings_.delimiter);
  if (fields.Count() == 0)
    return address;

  const std::u16string first = text::ToNarrow(fields.NextAddressField());
  const KanaPart kana = CutKanaPart(first);
  if (!kana.isKana)
    return address;
  std::u16string tail = AfterKana(first, kana.firstOther);

  const PrefectureMatch found = FindPrefectureByKana(kana.kana, store.Prefectures());
  std::u16string prefecture = found.name;
  std::u16string cityKana;
  std::u16string placeKana;
  if (!prefecture.empty()) {
    if (static_cast<int32_t>(kana.kana.size()) < found.next) {
      // The first field holds only the prefecture: municipality and place follow.
      const std::u16string second = text::ToNarrow(fields.NextAddressField());
      const KanaPart k2 = CutKanaPart(second);
      if (!k2.isKana)
        return std::nullopt;
      if (k2.firstOther > 0) {
        tail = AfterKana(second, k2.firstOther);
        cityKana = k2.kana;
      } else {
        cityKana = second;
        const std::u16string third = text::ToNarrow(fields.NextAddressField());
        const KanaPart k3 = CutKanaPart(third);
        if (!k3.isKana)
          return std::nullopt;
        if (k3.firstOther > 0) {
          tail = AfterKana(third, k3.firstOther);
          placeKana = k3.kana;
        } else {
          placeKana = third;
          tail = fields.NextAddressField();
        }
      }
    } else {
      cityKana = text::Mid(kana.kana, static_cast<std::size_t>(found.next));
    }
  } else {
    if (store.Region().kana.empty())
      return std::nullopt;
    prefecture = store.Region().name;
    cityKana = kana.kana;
  }

  // The parts are joined with the field delimiter, so that the recognition splits them into
  // fields again whatever the delimiter is (joined by a comma under another delimiter, the
  // municipality would be looked for as 「,千代田区」 and never found).
  const std::u16string& delimiter = settings_.delimiter.empty() ? u"," : settings_.delimiter;
  std::u16string names;
  auto postal = store.FindPostalNames(cityKana, placeKana);
  if (!postal) {
    context.Fail(postal.error());
  } else if (*postal) {
    if (context.AddLog(u"郵便番号:" + (*postal)->code))
      names = (*postal)->city + delimiter + (*postal)->place;
  }
  // The fields after the ones read (a building name, a room) stay as they were written.
  std::u16string rest;
  while (!fields.AtEnd())
    rest += delimiter + fields.NextAddressField();
  return prefecture + delimiter + names + tail + rest;
}

}  // namespace mok::engine
