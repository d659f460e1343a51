#include "engine/rules/numerals.h"

#include <gtest/gtest.h>

#include "engine/rules/fixed_tables.h"
#include "text/text.h"

namespace mok::engine {
namespace {

// Units multiply the digits before them (a unit alone counts one) and must fall from left to
// right, each followed by fewer digits than its power; digits without units are concatenated.
TEST(Numerals, NumeralToNumberReadsEveryWrittenForm) {
  using Cases = std::vector<std::pair<std::u16string, int32_t>>;
  const Cases wellFormed = {{u"十二", 12},      {u"二十", 20},     {u"百五", 105},
                            {u"百二十三", 123}, {u"二千三", 2003}, {u"二万三千", 23000},
                            {u"二五", 25},      {u"一〇", 10},     {u"１２", 12},
                            {u"1２三", 123},    {u"壱拾", 10},     {u"弐萬参拾", 20030},
                            {u"〇", 0},         {u"零", 0},        {u"", 0},
                            {u"百10", 110},     {u"千９９", 1099}, {u"21474万", 214740000}};
  // The numeral ends at the first other character; malformed ones and those beyond 32 bits (a
  // telephone number) give -1.
  const Cases otherwise = {{u"3番", 3},         {u"番", 0},           {u"二丁目五", 2},
                           {u"十12", -1},       {u"十万", -1},        {u"百千", -1},
                           {u"十十", -1},       {u"百123", -1},       {u"2147483647", 2147483647},
                           {u"2147483648", -1}, {u"090123456789", -1}};
  EXPECT_EQ(NumeralToNumber(u"九九九九九九九九九九万"), -1);
  for (const Cases* cases : {&wellFormed, &otherwise}) {
    for (const auto& [text, want] : *cases)
      EXPECT_EQ(NumeralToNumber(text), want) << text::ToUtf8(text);
  }
}

TEST(Numerals, EveryTableCharacterIsANumeralWithItsValue) {
  const std::u16string_view chars =
      u"0123456789０１２３４５６７８９零一二三四五六七八九十壱弐参拾百千万萬〇";
  EXPECT_EQ(LoadFixedNames().numeralChars, chars);
  // Three sets of the digits 0 to 9, then 十 壱 弐 参 拾 百 千 万 萬 〇.
  const int others[] = {10, 1, 2, 3, 10, 100, 1000, 10000, 10000, 0};
  for (std::size_t i = 0; i < chars.size(); ++i)
    EXPECT_EQ(NumeralValue(chars[i]), i < 30 ? static_cast<int>(i % 10) : others[i - 30]) << i;
  for (const char16_t c : std::u16string_view(u"番丁-のaＡ 　兆"))
    EXPECT_FALSE(IsNumeralChar(c)) << text::ToUtf8(std::u16string(1, c));
}

// A 1 before a unit and zeros inside the number are not written; a number above the
// ten-thousands keeps its digits (never read as a smaller one).
TEST(Numerals, DigitsAreWrittenInKanji) {
  using Kanji = std::pair<std::u16string, std::u16string>;
  const Kanji numbers[] = {{u"3", u"三"},          {u"１２", u"十二"},      {u"10", u"十"},
                           {u"20", u"二十"},       {u"21", u"二十一"},      {u"100", u"百"},
                           {u"105", u"百五"},      {u"110", u"百十"},       {u"1205", u"千二百五"},
                           {u"2003", u"二千三"},   {u"10000", u"万"},       {u"23000", u"二万三千"},
                           {u"0", u"０"},          {u"05", u"五"},          {u"", u""},
                           {u"120000", u"120000"}, {u"2000000", u"2000000"}};
  for (const auto& [digits, kanji] : numbers)
    EXPECT_EQ(NumberToKanji(digits), kanji) << text::ToUtf8(digits);
  const Kanji texts[] = {{u"3丁目5", u"三丁目五"}, {u"1２番", u"十二番"},
                         {u"10-1", u"十-一"},      {u"0", u"０"},
                         {u"三百", u"三百"},       {u"Aａﾁｮｳﾒ", u"Aａﾁｮｳﾒ"}};
  for (const auto& [text, kanji] : texts)
    EXPECT_EQ(DigitRunsToKanji(text), kanji) << text::ToUtf8(text);
}

}  // namespace
}  // namespace mok::engine
