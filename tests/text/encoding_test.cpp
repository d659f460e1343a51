// Telling a file's encoding from its bytes, and lines in each encoding.
#include <gtest/gtest.h>

#include "text/encoding.h"

namespace mok::text {
namespace {

TEST(Encoding, ToldFromTheMarkOrFromWhichDecodingSucceeds) {
  const std::string utf8 = "ID,住所\r\n1,東京都千代田区丸の内1-1-1\r\n";
  const std::string cp932 = "ID,\x8F\x5A\x8F\x8A\r\n";  // ID,住所
  struct Case {
    std::string head;
    bool whole;
    Encoding expected;
  };
  const Case cases[] = {
      {.head = "\xEF\xBB\xBF"
               "a",
       .whole = true,
       .expected = Encoding::Utf8Bom},
      {.head = utf8, .whole = true, .expected = Encoding::Utf8},
      {.head = cp932, .whole = true, .expected = Encoding::Cp932},
      {.head = "ID,a\r\n", .whole = true, .expected = Encoding::Cp932},  // ASCII: the default
      {.head = "", .whole = true, .expected = Encoding::Cp932},
      // Valid in both: CP932 stays the default ("東京" in UTF-8 reads as CP932 too).
      {.head = "\xE6\x9D\xB1\xE4\xBA\xAC", .whole = true, .expected = Encoding::Cp932},
      // A sample cut inside a character is judged up to its last line end.
      {.head = utf8 + "2,\xE6\x9D", .whole = false, .expected = Encoding::Utf8},
      {.head = utf8 + "2,\xE6\x9D", .whole = true, .expected = Encoding::Cp932},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DetectEncoding(c.head, c.whole), c.expected) << c.head;
}

TEST(Encoding, LinesDecodeAndEncodeStrictly) {
  EXPECT_EQ(Decode("\xE4\xBD\x8F", Encoding::Utf8), u"住");
  EXPECT_EQ(Decode("\x8F\x5A", Encoding::Cp932), u"住");
  EXPECT_FALSE(Decode("\xE4\xBD", Encoding::Utf8Bom).has_value()) << "a cut character";
  EXPECT_EQ(Encode(u"住🏠", Encoding::Utf8), "\xE4\xBD\x8F\xF0\x9F\x8F\xA0");
  EXPECT_FALSE(Encode(u"住🏠", Encoding::Cp932).has_value());
  EXPECT_FALSE(Encode(std::u16string(1, u'\xD800'), Encoding::Utf8).has_value());
  const std::pair<std::u16string, std::u16string> names[] = {{u"UTF-8", u"utf8"},
                                                             {u"utf8_BOM", u"utf8-bom"},
                                                             {u"Shift_JIS", u"cp932"},
                                                             {u"sjis", u"cp932"}};
  for (const auto& [name, key] : names)
    EXPECT_EQ(EncodingKey(ParseEncoding(name).value_or(Encoding::Cp932)), key);
  EXPECT_FALSE(ParseEncoding(u"latin1").has_value());
}

}  // namespace
}  // namespace mok::text
