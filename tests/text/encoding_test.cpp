// Telling a file's encoding from its bytes, and lines in each encoding.
#include <gtest/gtest.h>

#include "text/encoding.h"
#include "text/encoding_judge.h"

namespace mok::text {
namespace {

TEST(Encoding, ToldFromTheMarkOrFromWhichDecodingSucceeds) {
  const std::string utf8 = "ID,住所\r\n1,東京都千代田区丸の内1-1-1\r\n";
  const std::string cp932 = "ID,\x8F\x5A\x8F\x8A\r\n";  // ID,住所
  const std::pair<std::string, Encoding> cases[] = {
      {"\xEF\xBB\xBF"
       "a",
       Encoding::Utf8Bom},
      {utf8, Encoding::Utf8},
      {cp932, Encoding::Cp932},
      {"ID,a\r\n", Encoding::Cp932},  // ASCII: the default
      {"", Encoding::Cp932},
      // Valid in both: CP932 stays the default ("東京" in UTF-8 reads as CP932 too).
      {"\xE6\x9D\xB1\xE4\xBA\xAC", Encoding::Cp932},
      // Read in both to the end, where a character is cut: not UTF-8.
      {"\xE6\x9D\xB1\xE4\xBA", Encoding::Cp932},
      // Decided where only one encoding reads the text, however far in (issue 20, fault G11),
      // and not undone by what follows.
      {std::string(3 << 20, 'a') + utf8, Encoding::Utf8},
      {"ID," + std::string(1 << 20, 'a') + cp932, Encoding::Cp932},
      {utf8 + "2,\xE6\x9D", Encoding::Utf8},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(DetectEncoding(text), expected) << text.substr(0, 40);
  // Fed in pieces that cut characters.
  EncodingJudge judge;
  for (std::size_t at = 0; at < utf8.size(); at += 5)
    judge.Feed(std::string_view(utf8).substr(at, 5));
  EXPECT_EQ(judge.Result(), Encoding::Utf8);
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
