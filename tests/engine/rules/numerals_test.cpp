#include "engine/rules/numerals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/rules/fixed_tables.h"
#include "text/text.h"

namespace mok::engine {
namespace {

using text::ToUtf8;

struct NumeralCase {
  std::u16string text;
  int32_t expected;
};

TEST(NumeralToNumber, ReadsEveryWrittenForm) {
  const std::vector<NumeralCase> cases = {
      // Units multiply the digits before them, and a unit alone counts one.
      {u"十二", 12},
      {u"二十", 20},
      {u"百五", 105},
      {u"百二", 102},
      {u"百二十三", 123},
      {u"二十五", 25},
      {u"二千三", 2003},
      {u"二万三千", 23000},
      // Digits without units are concatenated, in any of the three digit sets.
      {u"二五", 25},
      {u"一〇", 10},
      {u"１２", 12},
      {u"123", 123},
      {u"1２三", 123},
      // Old-style numerals.
      {u"壱拾", 10},
      {u"壱", 1},
      {u"弐", 2},
      {u"参", 3},
      {u"拾", 10},
      {u"萬", 10000},
      {u"弐萬参拾", 20030},
      // Zero.
      {u"〇", 0},
      {u"零", 0},
      {u"", 0},
      // Digits after a unit, fewer than its power.
      {u"百10", 110},
      {u"千９９", 1099},
      // The numeral ends at the first other character.
      {u"3番", 3},
      {u"番", 0},
      {u"12-3", 12},
      {u"二丁目五", 2},
      // Malformed: too many digits after a unit, units not falling.
      {u"十12", -1},
      {u"十万", -1},
      {u"百千", -1},
      {u"十十", -1},
      {u"百123", -1},
      // Values leaving the 32-bit range (a telephone number) are malformed, never wrapped.
      {u"090123456789", -1},
      {u"2147483647", 2147483647},
      {u"2147483648", -1},
      {u"99999999999999999999999999", -1},
      {u"九九九九九九九九九九万", -1},
      {u"21474万", 214740000},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumeralToNumber(c.text), c.expected) << "text: " << ToUtf8(c.text);
  }
}

TEST(NumeralToNumber, EveryTableCharacterIsANumeral) {
  const FixedTables& tables = LoadFixedNames();
  ASSERT_EQ(tables.numeralChars.size(), 40u);
  for (std::size_t i = 0; i < tables.numeralChars.size(); ++i) {
    const char16_t c = tables.numeralChars[i];
    EXPECT_TRUE(IsNumeralChar(c)) << "position " << i + 1;
    EXPECT_EQ(NumeralValue(c), tables.numeralValues[i]) << "position " << i + 1;
  }
  for (const char16_t c : std::u16string(u"番丁目号-のノaＡ 　")) {
    EXPECT_FALSE(IsNumeralChar(c)) << ToUtf8(std::u16string(1, c));
  }
}

struct KanjiCase {
  std::u16string input;
  std::u16string expected;
};

void ExpectKanji(const std::vector<KanjiCase>& cases,
                 std::u16string (*convert)(std::u16string_view)) {
  for (const auto& c : cases) {
    EXPECT_EQ(ToUtf8(convert(c.input)), ToUtf8(c.expected)) << "input: " << ToUtf8(c.input);
  }
}

TEST(NumberToKanji, WritesUnitsAndLeavesOutOnesBeforeThem) {
  ExpectKanji(
      {
          {u"3", u"三"},
          {u"３", u"三"},
          {u"10", u"十"},
          {u"11", u"十一"},
          {u"12", u"十二"},
          {u"１２", u"十二"},
          {u"20", u"二十"},
          {u"21", u"二十一"},
          {u"100", u"百"},
          {u"105", u"百五"},
          {u"110", u"百十"},
          {u"1000", u"千"},
          {u"1205", u"千二百五"},
          {u"2003", u"二千三"},
          {u"10000", u"万"},
          {u"23000", u"二万三千"},
          {u"0", u"０"},
          {u"00", u"０"},
          {u"05", u"五"},
          {u"", u""},
          // Ones digit of six digits and more is written without units above 万.
          {u"120000", u"120000"},
          // A malformed number as the town split stores it: the minus sign writes nothing.
          {u"－１", u"一"},
      },
      NumberToKanji);
}

TEST(DigitRunsToKanji, ReplacesOnlyDigitRuns) {
  ExpectKanji(
      {
          {u"3丁目5", u"三丁目五"},
          {u"１２番", u"十二番"},
          {u"本町3丁目", u"本町三丁目"},
          {u"第1２地割", u"第十二地割"},
          {u"10-1", u"十-一"},
          {u"0", u"０"},
          // Kanji numerals, letters and kana stay as they are.
          {u"三丁目", u"三丁目"},
          {u"百二十", u"百二十"},
          {u"ABCａｂｃ", u"ABCａｂｃ"},
          {u"ちょうめチョウメﾁｮｳﾒ", u"ちょうめチョウメﾁｮｳﾒ"},
          {u"", u""},
      },
      DigitRunsToKanji);
}

}  // namespace
}  // namespace mok::engine
