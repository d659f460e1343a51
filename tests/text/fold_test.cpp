#include <gtest/gtest.h>

#include <string>

#include "text/text.h"
#include "text_test_util.h"

namespace mok::text {
namespace {

using test::Show;

TEST(Fold, EachCodeUnitFoldsToOneCanonicalUnit) {
  struct Case {
    char16_t in;
    char16_t out;
  };
  const Case cases[] = {
      {u'a', u'A'},   {u'z', u'Z'},   {u'A', u'A'},   {u'ａ', u'A'},  {u'Ａ', u'A'},
      {u'ｚ', u'Z'},  {u'１', u'1'},  {u'－', u'-'},  {u'～', u'~'},  {u'　', u' '},
      {u'あ', u'ア'}, {u'ぁ', u'ァ'}, {u'ゔ', u'ヴ'}, {u'ゖ', u'ヶ'}, {u'ゝ', u'ヽ'},
      {u'ゞ', u'ヾ'}, {u'ｱ', u'ア'},  {u'ｶ', u'カ'},  {u'ｯ', u'ッ'},  {u'ｰ', u'ー'},
      {u'ﾞ', u'゛'},  {u'ﾟ', u'゜'},  {u'｡', u'。'},  {u'ｦ', u'ヲ'},  {u'ア', u'ア'},
      {u'丁', u'丁'}, {u'ー', u'ー'}, {u'@', u'@'},   {u'[', u'['},   {u'`', u'`'},
      {u'{', u'{'},   {u'é', u'é'},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Show(std::u16string(1, FoldChar(c.in))), Show(std::u16string(1, c.out)))
        << "FoldChar(" << Show(std::u16string(1, c.in)) << ")";
  }
}

TEST(Fold, FoldedTextKeepsItsLength) {
  const std::u16string text = u"ｶﾞﾝﾀﾞ町ちょうめ１２ab";
  EXPECT_EQ(Show(Fold(text)), Show(u"カ゛ンタ゛町チョウメ12AB"));
}

TEST(Fold, EqualityAndPrefixIgnoreCaseWidthAndKana) {
  struct Case {
    std::u16string a, b;
    bool equal;
  };
  const Case cases[] = {
      {u"ちょうめ", u"チョウメ", true},
      {u"ﾁｮｳﾒ", u"チョウメ", true},
      {u"ｂａｎ", u"BAN", true},
      {u"丁目", u"丁目", true},
      {u"", u"", true},
      {u"丁目", u"丁", false},
      {u"ガ", u"ｶﾞ", false},  // different lengths: a voiced pair is two units narrow
      {u"ばん", u"はん", false},
      {u"1", u"一", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EqualsFold(c.a, c.b), c.equal) << Show(c.a) << " vs " << Show(c.b);
    EXPECT_EQ(EqualsFold(c.b, c.a), c.equal) << Show(c.b) << " vs " << Show(c.a);
  }
  EXPECT_TRUE(StartsWithFold(u"ちょうめ１", u"チョウ"));
  EXPECT_TRUE(StartsWithFold(u"abc", u""));
  EXPECT_FALSE(StartsWithFold(u"ab", u"abc"));
  EXPECT_FALSE(StartsWithFold(u"xabc", u"abc"));
}

struct SearchCase {
  std::u16string text, find;
  std::size_t start;
  std::size_t expected;
};

TEST(Fold, InStrFindsFirstOccurrenceFromStart) {
  const SearchCase cases[] = {
      {u"千代田区丸の内一丁目", u"丁目", 1, 9},
      {u"一丁目２番", u"番", 1, 5},
      {u"一ちょうめ", u"チョウメ", 1, 2},
      {u"ﾏﾙﾉｳﾁ", u"のう", 1, 3},
      {u"ABCabc", u"abc", 1, 1},
      {u"ABCabc", u"abc", 2, 4},
      {u"ABCabc", u"abc", 4, 4},
      {u"ABCabc", u"abc", 5, 0},
      {u"abc", u"x", 1, 0},
      {u"abc", u"abcd", 1, 0},
      {u"", u"a", 1, 0},
      {u"abc", u"", 1, 1},  // empty needle: found at start
      {u"abc", u"", 3, 3},
      {u"abc", u"", 4, 4},  // just past the end
      {u"abc", u"", 5, 0},  // beyond
      {u"", u"", 1, 1},
      {u"abc", u"c", 0, 3},  // start 0 counts as 1
      {u"1-2-3", u"－", 3, 4},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InStr(c.text, c.find, c.start), c.expected)
        << "InStr(" << Show(c.text) << ", " << Show(c.find) << ", " << c.start << ")";
  }
  EXPECT_EQ(InStr(u"丸の内一丁目", u"一丁目"), 4u);
}

TEST(Fold, InStrFoldsLongNeedles) {
  // Longer than any stack buffer a search may use.
  std::u16string text(100, u'x');
  std::u16string needle(90, u'ｙ');
  text += std::u16string(90, u'Y') + u"z";
  EXPECT_EQ(InStr(text, needle), 101u);
  EXPECT_EQ(InStrRev(text, needle), 101u);
  needle += u"ｚ";
  EXPECT_EQ(InStr(text, needle), 101u);
}

TEST(Fold, InStrRevFindsLastOccurrenceEndingByStart) {
  constexpr std::size_t kEnd = std::u16string_view::npos;
  const SearchCase cases[] = {
      {u"市川市八幡", u"市", kEnd, 3},
      {u"abcabc", u"BC", kEnd, 5},
      {u"abcabc", u"bc", 6, 5},
      {u"abcabc", u"bc", 5, 2},  // the occurrence at 5 ends at 6, after start
      {u"abcabc", u"bc", 3, 2},
      {u"abcabc", u"bc", 2, 0},
      {u"abcabc", u"bc", 100, 5},  // beyond the end counts as the end
      {u"abc", u"x", kEnd, 0},
      {u"abc", u"", kEnd, 3},  // empty needle: start
      {u"abc", u"", 2, 2},
      {u"", u"", kEnd, 0},
      {u"", u"a", kEnd, 0},
      {u"abc", u"a", 0, 0},
      {u"ちょうめチョウメ", u"ちょうめ", kEnd, 5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InStrRev(c.text, c.find, c.start), c.expected)
        << "InStrRev(" << Show(c.text) << ", " << Show(c.find) << ", " << c.start << ")";
  }
}

TEST(Fold, InStrExactComparesCodeUnits) {
  const SearchCase cases[] = {
      {u"ちょうめチョウメ", u"チョウメ", 1, 5},
      {u"abcABC", u"ABC", 1, 4},
      {u"abcABC", u"abc", 2, 0},
      {u"abc", u"", 2, 2},
      {u"abc", u"", 5, 0},
      {u"１２", u"12", 1, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InStrExact(c.text, c.find, c.start), c.expected)
        << "InStrExact(" << Show(c.text) << ", " << Show(c.find) << ", " << c.start << ")";
  }
}

}  // namespace
}  // namespace mok::text
