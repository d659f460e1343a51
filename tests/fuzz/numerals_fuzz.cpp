// The numeral rules and the field cleaning on any text: a number written in kanji reads back as
// itself, the number block lies inside the text, and cleaned fields hold no quotes.
#include "engine/rules/address_fields.h"
#include "engine/rules/numerals.h"
#include "fuzz/fuzz_target.h"

namespace mok::engine {

MOK_FUZZ_TARGET(numerals) {
  const std::u16string s = fuzz::InputText(input);
  MOK_FUZZ_CHECK(NumeralToNumber(s) >= -1);
  // The digits of the text as one number: up to five significant digits have a kanji form that
  // reads as the same value; more are kept as written.
  std::u16string digits;
  for (const char16_t c : s) {
    if ((c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９'))
      digits += c;
  }
  const int32_t value = NumeralToNumber(digits);
  if (value >= 0 && value < 100000)
    MOK_FUZZ_CHECK(NumeralToNumber(NumberToKanji(digits)) == value);
  else
    MOK_FUZZ_CHECK(NumberToKanji(digits) == digits);
  MOK_FUZZ_CHECK(DigitRunsToKanji(DigitRunsToKanji(s)) == DigitRunsToKanji(s));

  MOK_FUZZ_CHECK(FindNumeralRuns(s).count <= kMaxNumeralRuns);
  if (const auto block = FindNumberBlock(s)) {
    MOK_FUZZ_CHECK(block->start >= 0 && block->start <= block->end &&
                   static_cast<std::size_t>(block->end) <= s.size());
  }
  AddressFields fields;
  fields.Split(s, s.size() % 2 ? u"," : u"");
  for (std::size_t i = 0; i < fields.Count(); ++i)
    MOK_FUZZ_CHECK(fields.NextAddressField().find_first_of(u"\"'’＂＇") == std::u16string::npos);
  MOK_FUZZ_CHECK(fields.Count() >= 1 && fields.AtEnd() && fields.NextAddressField().empty());
  CutKanaPart(s);
  CutAzaName(s);
}

}  // namespace mok::engine
