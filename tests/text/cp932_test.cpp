#include <gtest/gtest.h>

#include "text/text.h"
#include "text_test_util.h"

namespace mok::text {
namespace {

using test::Hex;
using test::Show;

struct Cp932Case {
  std::u16string text;
  std::string bytes;
};

// Characters whose CP932 bytes differ between Shift_JIS variants, or that come from the vendor
// extensions, must map exactly as the files written on the Japanese platform hold them.
TEST(Cp932, KnownCharactersRoundTrip) {
  const Cp932Case cases[] = {
      {u"～", "\x81\x60"},   // FULLWIDTH TILDE, not WAVE DASH U+301C
      {u"－", "\x81\x7C"},   // FULLWIDTH HYPHEN-MINUS, not MINUS SIGN U+2212
      {u"①", "\x87\x40"},    // NEC special characters
      {u"髙", "\xFB\xFC"},   // IBM extension (はしご高)
      {u"∥", "\x81\x61"},    // PARALLEL TO, not DOUBLE VERTICAL LINE
      {u"￢", "\x81\xCA"},   // FULLWIDTH NOT SIGN
      {u"＼", "\x81\x5F"},   // FULLWIDTH REVERSE SOLIDUS
      {u"\\~", "\x5C\x7E"},  // ASCII stays ASCII
      {u"ｶﾞ", "\xB6\xDE"},   // half-width katakana are single bytes
      {u"東京都", "\x93\x8C\x8B\x9E\x93\x73"},
      {u"", ""},
  };
  for (const auto& c : cases) {
    std::string error;
    const auto encoded = EncodeCp932(c.text, &error);
    ASSERT_TRUE(encoded.has_value()) << Show(c.text) << ": " << error;
    EXPECT_EQ(Hex(*encoded), Hex(c.bytes)) << Show(c.text);
    const auto decoded = DecodeCp932(c.bytes, &error);
    ASSERT_TRUE(decoded.has_value()) << Hex(c.bytes) << ": " << error;
    EXPECT_EQ(Show(*decoded), Show(c.text)) << Hex(c.bytes);
  }
}

TEST(Cp932, MixedTextRoundTrip) {
  const std::u16string text = u"「～－①髙」 東京都千代田区丸の内1-2　ﾏﾙﾉｳﾁ";
  const auto bytes = EncodeCp932(text);
  ASSERT_TRUE(bytes.has_value());
  const auto back = DecodeCp932(*bytes);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(Show(*back), Show(text));
}

struct BadBytesCase {
  std::string bytes;
  std::size_t badByte;  // 1-based position named in the message
};

TEST(Cp932, UndecodableBytesAreReportedWithTheirPosition) {
  const BadBytesCase cases[] = {
      {"\x81", 1},        // lead byte at the end of the text
      {"ab\x81\x20", 3},  // lead byte followed by a byte that cannot trail
      {"\xA0", 1},        // unassigned single byte
      {"abc\xFF"
       "d",
       4},                      // unassigned single byte after text
      {"\x93\x8C\x85\x40", 3},  // unassigned double-byte code (row 0x85)
  };
  for (const auto& c : cases) {
    std::string error;
    const auto decoded = DecodeCp932(c.bytes, &error);
    EXPECT_FALSE(decoded.has_value()) << Hex(c.bytes) << " decoded to " << Show(*decoded);
    EXPECT_NE(error.find("byte " + std::to_string(c.badByte) + " "), std::string::npos)
        << Hex(c.bytes) << ": " << error;
  }
}

TEST(Cp932, UnencodableCharactersAreReportedWithTheirPosition) {
  struct Case {
    std::u16string text;
    std::size_t position;
    std::string codePoint;
  };
  const Case cases[] = {
      {u"東京😀", 3, "U+1F600"},    // emoji (a surrogate pair)
      {u"a\u301Cb", 2, "U+301C"},  // WAVE DASH has no CP932 form (～ is U+FF5E)
      {u"ヷ", 1, "U+30F7"},       {u"x\u00E9", 2, "U+00E9"},
      {u"丸\xD800", 2, "U+D800"},  // lone surrogate
  };
  for (const auto& c : cases) {
    std::string error;
    const auto encoded = EncodeCp932(c.text, &error);
    EXPECT_FALSE(encoded.has_value()) << Show(c.text) << " encoded to " << Hex(*encoded);
    EXPECT_NE(error.find("character " + std::to_string(c.position) + " "), std::string::npos)
        << Show(c.text) << ": " << error;
    EXPECT_NE(error.find(c.codePoint), std::string::npos) << Show(c.text) << ": " << error;
  }
}

TEST(Cp932, ConverterIsResetBetweenCalls) {
  // A failed conversion must not leave state that spoils the next one.
  EXPECT_FALSE(DecodeCp932("\x81").has_value());
  const auto decoded = DecodeCp932("\x82\xA0");
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(*decoded, u"あ");
  EXPECT_FALSE(EncodeCp932(u"\xD83D").has_value());
  EXPECT_EQ(EncodeCp932(u"あ").value_or(""), "\x82\xA0");
}

}  // namespace
}  // namespace mok::text
