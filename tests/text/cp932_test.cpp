#include <gtest/gtest.h>

#include "text/text.h"

namespace mok::text {
namespace {

// The characters whose bytes differ between the Shift_JIS variants map as the files written on
// the Japanese platform hold them, both ways.
TEST(Cp932, MapsTheWindowsFormsBothWays) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"～－", "\x81\x60\x81\x7C"},  // not WAVE DASH U+301C, MINUS SIGN U+2212
      {u"＼￥", "\x81\x5F\x81\x8F"},
      {u"\\~", "\x5C\x7E"},                   // ASCII stays ASCII: 0x5C is the path separator
      {u"\x1A\x1C\x7F\t", "\x1A\x1C\x7F\t"},  // control characters too (not IBM's swaps)
      {u"∥￢", "\x81\x61\x81\xCA"},
      {u"①髙", "\x87\x40\xFB\xFC"},  // NEC and IBM extensions
      {u"ｶﾞ東京都", "\xB6\xDE\x93\x8C\x8B\x9E\x93\x73"},
      {u"", ""},
  };
  for (const auto& [text, bytes] : cases) {
    EXPECT_EQ(EncodeCp932(text), bytes);
    EXPECT_EQ(DecodeCp932(bytes), text);
  }
  // A character with two byte forms (NEC-selected and IBM) is written in the IBM form.
  EXPECT_EQ(EncodeCp932(DecodeCp932("\xED\x40").value_or(u"")), "\xFA\x5C");
}

// The message of a conversion that must fail.
std::string Error(auto convert, const auto& input) {
  std::string error;
  EXPECT_FALSE(convert(input, &error).has_value()) << error;
  return error;
}

// Nothing is substituted: the first offending byte or character fails the whole conversion, and
// the converter is as good as new for the next one.
TEST(Cp932, NamesTheFirstByteOrCharacterThatDoesNotConvert) {
  EXPECT_EQ(Error(DecodeCp932, "\x81"), "byte 1 is not valid CP932 (81)");  // lead byte at the end
  EXPECT_EQ(DecodeCp932("\x82\xA0"), u"あ");
  EXPECT_EQ(Error(DecodeCp932, "ab\x81\x20"), "byte 3 is not valid CP932 (81)");
  EXPECT_EQ(Error(DecodeCp932, "abc\xFF"), "byte 4 is not valid CP932 (FF)");
  EXPECT_EQ(Error(DecodeCp932, "\x93\x8C\x85\x40"), "byte 3 is not valid CP932 (85 40)");
  EXPECT_EQ(Error(EncodeCp932, u"東京😀"), "character 3 (U+1F600) has no CP932 form");
  EXPECT_EQ(EncodeCp932(u"あ"), "\x82\xA0");
  EXPECT_EQ(Error(EncodeCp932, u"a\u301Cb"), "character 2 (U+301C) has no CP932 form");
  EXPECT_EQ(Error(EncodeCp932, u"¥"), "character 1 (U+00A5) has no CP932 form");  // never 0x5C
  EXPECT_EQ(Error(EncodeCp932, u"丸\xD800"), "character 2 (U+D800) has no CP932 form");
}

TEST(Utf8, ConvertsBothWaysAndReplacesInvalidInput) {
  EXPECT_EQ(ToUtf8(u"東京都😀"), "東京都😀");
  EXPECT_EQ(FromUtf8("東京都😀\xFF"), u"東京都😀\uFFFD");
}

}  // namespace
}  // namespace mok::text
