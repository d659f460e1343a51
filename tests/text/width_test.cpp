#include <gtest/gtest.h>
#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

#include "text/text.h"
#include "text_test_util.h"

namespace mok::text {
namespace {

using test::Show;

std::u16string Transliterate(const char* id, std::u16string_view text) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::Transliterator> t(
      icu::Transliterator::createInstance(id, UTRANS_FORWARD, status));
  EXPECT_TRUE(U_SUCCESS(status)) << id << ": " << u_errorName(status);
  if (!t)
    return {};
  icu::UnicodeString s(false, reinterpret_cast<const UChar*>(text.data()),
                       static_cast<int32_t>(text.size()));
  icu::UnicodeString copy(s);
  t->transliterate(copy);
  return std::u16string(reinterpret_cast<const char16_t*>(copy.getBuffer()),
                        static_cast<std::size_t>(copy.length()));
}

// Where this conversion deliberately differs from ICU's transliterators: ICU pairs ﾞ/ﾟ with the
// combining marks U+3099/U+309A and joins ﾜﾞ/ｦﾞ into ヷ/ヺ, none of which CP932 can encode; the
// platform the files come from uses the spacing marks ゛/゜ and keeps ﾜﾞ/ｦﾞ as two characters.
std::u16string WithSpacingMarks(std::u16string_view icu) {
  std::u16string out;
  for (const char16_t c : icu) {
    switch (c) {
      case u'\u3099':
        out += u'゛';
        break;
      case u'\u309A':
        out += u'゜';
        break;
      case u'ヷ':
        out += u"ワ゛";
        break;
      case u'ヺ':
        out += u"ヲ゛";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// ICU leaves the spacing marks alone when narrowing; they narrow to ﾞ/ﾟ like the combining ones.
struct Exception {
  std::u16string input;
  std::u16string expected;
};
const Exception kNarrowExceptions[] = {{u"゛", u"ﾞ"}, {u"゜", u"ﾟ"}};

const std::u16string* FindException(std::u16string_view input) {
  for (const auto& e : kNarrowExceptions) {
    if (e.input == input)
      return &e.expected;
  }
  return nullptr;
}

void CheckNarrowAgainstIcu(std::u16string_view input) {
  const std::u16string* exception = FindException(input);
  const std::u16string expected =
      exception ? *exception : Transliterate("Fullwidth-Halfwidth", input);
  EXPECT_EQ(Show(ToNarrow(input)), Show(expected)) << "ToNarrow(" << Show(input) << ")";
}

void CheckWideAgainstIcu(std::u16string_view input) {
  const std::u16string expected = WithSpacingMarks(Transliterate("Halfwidth-Fullwidth", input));
  EXPECT_EQ(Show(ToWide(input)), Show(expected)) << "ToWide(" << Show(input) << ")";
}

TEST(Width, AsciiAndFullwidthFormsAgreeWithIcu) {
  for (char16_t c = 0x20; c <= 0x7E; ++c) {
    CheckWideAgainstIcu(std::u16string(1, c));
    CheckNarrowAgainstIcu(std::u16string(1, c));  // already narrow: unchanged
  }
  for (char16_t c = 0xFF01; c <= 0xFF5E; ++c) {
    CheckNarrowAgainstIcu(std::u16string(1, c));
    CheckWideAgainstIcu(std::u16string(1, c));  // already wide: unchanged
  }
  CheckNarrowAgainstIcu(u"\u3000");
}

TEST(Width, HalfwidthKatakanaAgreeWithIcu) {
  for (char16_t c = 0xFF61; c <= 0xFF9F; ++c) {
    CheckWideAgainstIcu(std::u16string(1, c));
    // Every half-width katakana followed by each voicing mark: joined when a voiced form exists.
    CheckWideAgainstIcu(std::u16string{c, u'ﾞ'});
    CheckWideAgainstIcu(std::u16string{c, u'ﾟ'});
    CheckNarrowAgainstIcu(std::u16string(1, c));  // already narrow: unchanged
  }
}

TEST(Width, FullwidthKatakanaAgreeWithIcu) {
  for (char16_t c = 0x30A1; c <= 0x30FC; ++c)
    CheckNarrowAgainstIcu(std::u16string(1, c));
  for (const char16_t c : u"。「」、・゛゜") {
    if (c != 0)
      CheckNarrowAgainstIcu(std::u16string(1, c));
  }
}

TEST(Width, VoicedKatakanaJoinAndSplit) {
  struct Case {
    std::u16string narrow;
    std::u16string wide;
  };
  const Case cases[] = {
      {u"ｶﾞ", u"ガ"},
      {u"ﾊﾟ", u"パ"},
      {u"ｳﾞ", u"ヴ"},
      {u"ﾄﾞｳﾒ", u"ドウメ"},
      {u"ﾁｮｳﾒ", u"チョウメ"},
      {u"ﾊﾞﾝﾁ", u"バンチ"},
      {u"ｺﾞｳ", u"ゴウ"},
      {u"ﾎﾟﾎﾞ", u"ポボ"},
      {u"123-4 ABC", u"１２３－４　ＡＢＣ"},
      {u"ｱﾞ", u"ア゛"},                    // no voiced ア: the mark stays a separate character
      {u"ｶﾟ", u"カ゜"},                    // no semi-voiced カ
      {u"ﾞｶ", u"゛カ"},                    // a mark before its base is not joined
      {u"漢字ひらがな", u"漢字ひらがな"},  // no width forms: unchanged both ways
      {u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Show(ToWide(c.narrow)), Show(c.wide)) << "ToWide(" << Show(c.narrow) << ")";
    EXPECT_EQ(Show(ToNarrow(c.wide)), Show(c.narrow)) << "ToNarrow(" << Show(c.wide) << ")";
  }
}

TEST(Width, NarrowKeepsCharactersWithoutHalfwidthForm) {
  // Hiragana and the katakana that have no half-width form stay as they are.
  EXPECT_EQ(Show(ToNarrow(u"ちょうめヰヱヮヵヶヸ")), Show(u"ちょうめヰヱヮヵヶヸ"));
  EXPECT_EQ(Show(ToNarrow(u"ヷヺ")), Show(u"ﾜﾞｦﾞ"));
}

}  // namespace
}  // namespace mok::text
