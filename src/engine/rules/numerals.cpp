// Reading and writing numerals.
//
// NumeralToNumber reads a numeral the way it is written in addresses: digits without units are
// concatenated (「二五」 25, 「一〇」 10), a place unit multiplies the digits before it (「二千」
// 2000, a unit alone counts 1: 「百五」 105) and units must fall from left to right, each followed
// by fewer digits than its power (「百10」 110, but 「十12」 and 「十万」 are malformed: -1).
//
// NumberToKanji writes a decimal number with units up to 万, leaving out a 1 before a unit and
// zeros inside the number: 「1205」 「千二百五」.
#include "engine/rules/numerals.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include "engine/rules/fixed_tables.h"
#include "text/text.h"

namespace mok::engine {
namespace {

bool IsAsciiDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool IsWideDigit(char16_t c) {
  return c >= u'０' && c <= u'９';
}

// Digit value of an ASCII or full-width digit, 0 for anything else.
int DigitOf(char16_t c) {
  if (IsAsciiDigit(c))
    return c - u'0';
  if (IsWideDigit(c))
    return c - u'０';
  return 0;
}

// Power of ten of a place unit: 十 1, 百 2, 千 3, 万 4.
int UnitPower(int value) {
  int power = 0;
  while (value >= 10) {
    value /= 10;
    ++power;
  }
  return power;
}

// Appends the kanji form of digits, whose characters are narrow already or are full-width digits
// (the two read the same; anything else counts as the digit 0). A number above the ten-thousands
// has no kanji form with the units up to 万: its digits are kept as they are, so that it can
// never read as a smaller number (2000000 as 二).
void AppendNumberToKanji(std::u16string& out, std::u16string_view digits) {
  const FixedTables& tables = LoadFixedNames();
  std::size_t significant = digits.size();
  for (std::size_t i = 0; i < digits.size() && DigitOf(digits[i]) == 0; ++i)
    --significant;
  if (significant > 5) {
    out += digits;
    return;
  }
  const std::size_t begin = out.size();
  const std::size_t n = digits.size();
  for (std::size_t k = 1; k <= n; ++k) {
    const int d = DigitOf(digits[k - 1]);
    const std::size_t following = n - k;
    if (following >= 1 && following <= 4) {
      if (d > 1)
        out += tables.kanjiDigits[d];
      if (d != 0)
        out += tables.kanjiUnits[following];
    } else if (!(d == 0 && out.size() > begin)) {
      out += tables.kanjiDigits[d];
    }
  }
}

}  // namespace

// The numeral characters of the fixed table in code order with their values, for a binary search:
// every character of every address is asked.
using NumeralTable = std::array<std::pair<char16_t, int16_t>, kNumeralCount>;
const NumeralTable& SortedNumerals() {
  static const NumeralTable sorted = [] {
    const FixedTables& tables = LoadFixedNames();
    NumeralTable table{};
    for (std::size_t i = 0; i < table.size(); ++i)
      table[i] = {tables.numeralChars[i], tables.numeralValues[i]};
    std::sort(table.begin(), table.end());
    return table;
  }();
  return sorted;
}

int NumeralValue(char16_t c) {
  // The table holds both the ASCII and the full-width form of every digit, so an exact search
  // finds what a width-insensitive one would, with the same value.
  const NumeralTable& table = SortedNumerals();
  const auto* found =
      std::lower_bound(table.begin(), table.end(), std::pair<char16_t, int16_t>{c, INT16_MIN});
  return found != table.end() && found->first == c ? found->second : -1;
}

bool IsNumeralChar(char16_t c) {
  return NumeralValue(c) >= 0;
}

int32_t NumeralToNumber(std::u16string_view text) {
  // 64-bit working values: a long digit run (a telephone number) is caught as soon as it leaves
  // the 32-bit range instead of wrapping around.
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  int64_t total = 0;
  int64_t current = 0;
  int digitCount = 0;
  int lastUnitPower = 0;
  for (const char16_t c : text) {
    const int v = NumeralValue(c);
    if (v < 0)
      break;
    if (v < 10) {
      if (lastUnitPower > 0 && digitCount >= lastUnitPower)
        return -1;
      current = current * 10 + v;
      ++digitCount;
    } else {
      const int power = UnitPower(v);
      if (lastUnitPower > 0 && power >= lastUnitPower)
        return -1;
      total += current == 0 ? v : v * current;
      lastUnitPower = power;
      current = 0;
      digitCount = 0;
    }
    if (total + current > kMax)
      return -1;
  }
  return static_cast<int32_t>(total + current);
}

std::u16string NumberToKanji(std::u16string_view digits) {
  std::u16string out;
  bool onlyDigits = true;
  for (const char16_t c : digits) {
    if (!IsAsciiDigit(c) && !IsWideDigit(c)) {
      onlyDigits = false;
      break;
    }
  }
  if (onlyDigits) {
    // Full-width digits narrow to one ASCII digit each: no conversion needed.
    AppendNumberToKanji(out, digits);
  } else {
    // Other characters may change the length when narrowed (ガ becomes ｶﾞ), which moves the units.
    AppendNumberToKanji(out, text::ToNarrow(digits));
  }
  return out;
}

std::u16string DigitRunsToKanji(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + 4);
  std::size_t runStart = 0;
  std::size_t runLength = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    // Only the ASCII and full-width digits narrow to "0".."9".
    if (IsAsciiDigit(c) || IsWideDigit(c)) {
      if (runLength == 0)
        runStart = i;
      ++runLength;
      continue;
    }
    if (runLength > 0) {
      AppendNumberToKanji(out, text.substr(runStart, runLength));
      runLength = 0;
    }
    out += c;
  }
  if (runLength > 0)
    AppendNumberToKanji(out, text.substr(runStart, runLength));
  return out;
}

}  // namespace mok::engine
