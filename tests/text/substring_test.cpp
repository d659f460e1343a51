#include <gtest/gtest.h>

#include "text/text.h"
#include "text_test_util.h"

namespace mok::text {
namespace {

using test::Show;

TEST(Substring, TrimRemovesHalfAndFullWidthSpaces) {
  EXPECT_EQ(Show(Trim(u" 　丸の内 　")), Show(u"丸の内"));
  EXPECT_EQ(Show(Trim(u"丸 の内")), Show(u"丸 の内"));
  EXPECT_EQ(Show(Trim(u"　 ")), Show(u""));
  EXPECT_EQ(Show(Trim(u"\t丸\t")), Show(u"\t丸\t"));  // only the two spaces
  EXPECT_EQ(Show(TrimAscii(u" 　丸 ")), Show(u"　丸"));
  EXPECT_EQ(Show(TrimAscii(u"   ")), Show(u""));
}

TEST(Substring, MidLeftRightClampToTheText) {
  struct Case {
    std::u16string actual, expected;
  };
  const std::u16string s = u"東京都港区";
  const Case cases[] = {
      {Mid(s, 1, 3), u"東京都"}, {Mid(s, 4), u"港区"},    {Mid(s, 4, 100), u"港区"},
      {Mid(s, 5, 1), u"区"},     {Mid(s, 6), u""},        {Mid(s, 100, 2), u""},
      {Mid(s, 2, 0), u""},       {Mid(s, 0, 2), u"東京"}, {Left(s, 2), u"東京"},
      {Left(s, 0), u""},         {Left(s, 99), s},        {Right(s, 2), u"港区"},
      {Right(s, 0), u""},        {Right(s, 99), s},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(Show(cases[i].actual), Show(cases[i].expected)) << "case " << i;
  }
}

}  // namespace
}  // namespace mok::text
