#include <gtest/gtest.h>

#include "text/nocase.h"
#include "text/text.h"

namespace mok::text {
namespace {

TEST(Search, EqualityAndPrefixIgnoreCaseWidthAndKanaType) {
  EXPECT_TRUE(EqualsFold(u"ちょうめ", u"チョウメ") && EqualsFold(u"ﾁｮｳﾒ", u"チョウメ"));
  EXPECT_TRUE(EqualsFold(u"ｂａｎ", u"BAN") && StartsWithFold(u"ちょうめ１", u"チョウ"));
  EXPECT_FALSE(EqualsFold(u"丁目", u"丁") || EqualsFold(u"丁", u"丁目"));
  // Voiced and plain kana differ; a voiced pair ｶﾞ is two units where ガ is one.
  EXPECT_FALSE(EqualsFold(u"ばん", u"はん") || EqualsFold(u"ガ", u"ｶﾞ") || EqualsFold(u"1", u"一"));
  EXPECT_FALSE(StartsWithFold(u"ab", u"abc") || StartsWithFold(u"xabc", u"abc"));
}

// As the database compares text columns: ASCII letters without regard to case, the rest exactly.
TEST(Search, NoCaseIgnoresOnlyTheCaseOfAsciiLetters) {
  EXPECT_TRUE(EqualsNoCase(u"Abz丁目", u"aBZ丁目") && EndsWithNoCase(u"港区ABC", u"abc"));
  EXPECT_FALSE(EqualsNoCase(u"ａ", u"Ａ") || EqualsNoCase(u"ちょうめ", u"チョウメ"));
  EXPECT_FALSE(EqualsNoCase(u"ab", u"abc") || EndsWithNoCase(u"bc", u"abc"));
  EXPECT_EQ(FindNoCase(u"abABcABC", u"abc"), 3u);
  EXPECT_EQ(FindNoCase(u"abxABC", u"abc"), 4u);
  EXPECT_EQ(FindNoCase(u"ab", u"abc") + FindNoCase(u"ab", u"x"), 0u);
  EXPECT_EQ(FindNoCase(u"ab", u""), 1u);
}

TEST(Search, InStrFindsTheFirstOccurrenceFromStart) {
  EXPECT_EQ(InStr(u"丁字路の一丁目", u"丁目"), 6u);
  EXPECT_EQ(InStr(u"ﾏﾙﾉｳﾁ", u"のう"), 3u);
  EXPECT_EQ(InStr(u"ABCabc", u"abc", 2), 4u);
  EXPECT_EQ(InStr(u"ABCabc", u"abc", 4), 4u);
  EXPECT_EQ(InStr(u"ABCabc", u"abc", 5), 0u);
  EXPECT_EQ(InStr(u"abc", u"abcd"), 0u);
  EXPECT_EQ(InStr(u"abc", u"c", 0), 3u);  // start 0 counts as 1
  EXPECT_EQ(InStr(u"abc", u"", 4), 4u);   // an empty text is found at start, up to len + 1
  EXPECT_EQ(InStr(u"abc", u"", 5), 0u);
  // A needle longer than the stack buffer of the search.
  const std::u16string text = std::u16string(100, u'x') + std::u16string(90, u'Y') + u"z";
  EXPECT_EQ(InStr(text, std::u16string(90, u'ｙ') + u"Z"), 101u);
}

TEST(Search, InStrRevFindsTheLastOccurrenceEndingByStart) {
  EXPECT_EQ(InStrRev(u"ちょうめチョウメ", u"ちょうめ"), 5u);
  EXPECT_EQ(InStrRev(u"abcabc", u"bc", 6), 5u);
  EXPECT_EQ(InStrRev(u"abcabc", u"bc", 5), 2u);  // the one at 5 ends after start
  EXPECT_EQ(InStrRev(u"abcabc", u"bc", 2), 0u);
  EXPECT_EQ(InStrRev(u"abcabc", u"bc", 100), 5u);
  EXPECT_EQ(InStrRev(u"abc", u""), 3u);
  EXPECT_EQ(InStrRev(u"", u""), 0u);
  EXPECT_EQ(InStrRev(u"abc", u"a", 0), 0u);
}

TEST(Search, InStrExactComparesCodeUnits) {
  EXPECT_EQ(InStrExact(u"ちょうめチョウメ", u"チョウメ"), 5u);
  EXPECT_EQ(InStrExact(u"abcABC", u"abc", 2), 0u);
  EXPECT_EQ(InStrExact(u"abc", u"", 4), 4u);
  EXPECT_EQ(InStrExact(u"abc", u"", 5), 0u);
}

TEST(Substring, TrimAndTheOneBasedHelpersClampToTheText) {
  EXPECT_EQ(Trim(u" 　丸 の内\t 　"), u"丸 の内\t");  // only the two spaces
  EXPECT_EQ(Trim(u"　 "), u"");
  EXPECT_EQ(TrimAscii(u" 　丸 "), u"　丸");
  const std::u16string s = u"東京都港区";
  EXPECT_EQ(Mid(s, 2, 2) + Mid(s, 4, 100), u"京都港区");
  EXPECT_EQ(Mid(s, 0, 2) + Mid(s, 7), u"東京");  // start 0 counts as 1; beyond the end: ""
  EXPECT_EQ(Left(s, 2) + Left(s, 99), u"東京" + s);
  EXPECT_EQ(Right(s, 2) + Right(s, 99), u"港区" + s);
}

}  // namespace
}  // namespace mok::text
