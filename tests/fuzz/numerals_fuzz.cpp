// The numeral rules and the field cleaning on any text: a number written in kanji reads back as
// itself, and the number block and numeral runs lie inside the text.
#include <algorithm>

#include "engine/rules/address_fields.h"
#include "engine/rules/numerals.h"
#include "fuzz/fuzz_target.h"

namespace mok::engine {

MOK_FUZZ_TARGET(numerals) {
  const std::u16string s = fuzz::InputText(input);
  MOK_FUZZ_CHECK(NumeralToNumber(s) >= -1);

  // The digits of the text, as one number: up to five significant digits have a kanji form that
  // reads back as the same value; more are kept as written.
  std::u16string digits;
  for (const char16_t c : s) {
    if ((c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９'))
      digits += c;
  }
  if (!digits.empty()) {
    const std::u16string kanji = NumberToKanji(digits);
    const int32_t value = NumeralToNumber(digits);
    if (value >= 0 && value < 100000)
      MOK_FUZZ_CHECK(NumeralToNumber(kanji) == value);
    else
      MOK_FUZZ_CHECK(kanji == digits);
  }
  const std::u16string kanjiRuns = DigitRunsToKanji(s);
  MOK_FUZZ_CHECK(DigitRunsToKanji(kanjiRuns) == kanjiRuns);

  const NumeralRuns runs = FindNumeralRuns(s);
  MOK_FUZZ_CHECK(runs.count <= kMaxNumeralRuns);
  for (std::size_t i = 0; i < runs.count; ++i) {
    MOK_FUZZ_CHECK(runs[i].start >= 1 && runs[i].length >= 1 &&
                   static_cast<std::size_t>(runs[i].End()) <= s.size());
    MOK_FUZZ_CHECK(i == 0 || runs[i].start > runs[i - 1].End() + 1);
  }
  if (const auto block = FindNumberBlock(s)) {
    MOK_FUZZ_CHECK(block->start >= 0 && block->start <= block->end &&
                   static_cast<std::size_t>(block->end) <= s.size());
  }

  // The fields hand out their cleaned texts once each, without quotes.
  AddressFields fields;
  fields.Split(s, s.size() % 2 ? u"," : u"");
  MOK_FUZZ_CHECK(fields.Count() >= 1);
  for (std::size_t i = 0; i < fields.Count(); ++i) {
    const std::u16string field = fields.NextAddressField();
    MOK_FUZZ_CHECK(field.find_first_of(u"\"'’＂＇") == field.npos);
  }
  MOK_FUZZ_CHECK(fields.AtEnd() && fields.NextAddressField().empty());
  const KanaPart kana = CutKanaPart(s);
  MOK_FUZZ_CHECK(std::all_of(kana.kana.begin(), kana.kana.end(),
                             [](char16_t c) { return c >= 0xFF61 && c <= 0xFF9F; }));
  CutAzaName(s);
}

}  // namespace mok::engine
