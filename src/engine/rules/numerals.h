// Numerals in address text. Numbers are written in ASCII or full-width digits, in kanji with or
// without place units (「百二十三」, 「一二三」), or in old-style kanji (「壱拾」, 「萬」); the
// address rules read them all to one value, and write a digit run back in kanji so that 「3丁目」
// can be compared with a stored name 「三丁目」.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mok::engine {

// True when c is one of the 40 numeral characters of the fixed tables.
bool IsNumeralChar(char16_t c);

// The value (0 to 10000) of numeral character c, or -1 when c is not a numeral character.
int NumeralValue(char16_t c);

// The value of the numeral at the start of text: 「百二十三」 123, 「二五」 25, 「3番」 3, "番" 0.
// -1 when the numeral is malformed (「十12」, 「十万」) or its value leaves the 32-bit signed range
// (a telephone number written into an address).
int32_t NumeralToNumber(std::u16string_view text);

// A decimal number (ASCII or full-width digits) written in kanji: 「105」 「百五」, 「12」
// 「十二」, "0" "０". A 1 before a unit is not written (10 "十"). A number above the
// ten-thousands has no such form and is given back as written.
std::u16string NumberToKanji(std::u16string_view digits);

// text with every run of ASCII or full-width digits replaced by its kanji form:
// 「3丁目5」 「三丁目五」. Everything else is kept as it is.
std::u16string DigitRunsToKanji(std::u16string_view text);

}  // namespace mok::engine
