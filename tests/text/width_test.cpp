#include <gtest/gtest.h>
#include <unicode/translit.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

#include "text/text.h"

namespace mok::text {
namespace {

// An ICU transliterator whose output writes the voicing marks as the spacing ゛/゜ that CP932
// files hold (ICU writes the combining U+3099/U+309A).
std::function<std::u16string(const std::u16string&)> Icu(const char* id) {
  UErrorCode status = U_ZERO_ERROR;
  std::shared_ptr<icu::Transliterator> t(
      icu::Transliterator::createInstance(id, UTRANS_FORWARD, status));
  EXPECT_TRUE(U_SUCCESS(status)) << id;
  return [t](const std::u16string& text) {
    icu::UnicodeString s(text.data(), static_cast<int32_t>(text.size()));
    t->transliterate(s);
    std::u16string out(s.getBuffer(), static_cast<std::size_t>(s.length()));
    std::replace(out.begin(), out.end(), u'\u3099', u'゛');
    std::replace(out.begin(), out.end(), u'\u309A', u'゜');
    return out;
  };
}

using Own = std::map<std::u16string, std::u16string>;

// Every character of the width blocks, narrowed, widened (alone and before each voicing mark)
// and folded, against ICU. Where the system differs on purpose: ゛゜ narrow like ﾞﾟ; ﾜﾞ and ｦﾞ are
// not joined (ヷ and ヺ have no CP932 form); the small kana ゕゖ fold like the others; ゟ and ヿ
// stay one code unit, so that positions in folded text are positions in the original.
TEST(Width, NarrowWideAndFoldAgreeWithIcu) {
  const auto narrow = Icu("Fullwidth-Halfwidth");
  const auto wide = Icu("Halfwidth-Fullwidth");
  const auto fold =
      Icu("Halfwidth-Fullwidth; Hiragana-Katakana; Upper; [\\uFF01-\\uFF5E\\u3000] "
          "Fullwidth-Halfwidth");
  const Own ownNarrow = {{u"゛", u"ﾞ"}, {u"゜", u"ﾟ"}};
  const Own ownWide = {{u"ﾜﾞ", u"ワ゛"}, {u"ｦﾞ", u"ヲ゛"}};
  const Own ownFold = {{u"ゕ", u"ヵ"}, {u"ゖ", u"ヶ"}, {u"ゟ", u"ゟ"}, {u"ヿ", u"ヿ"}};
  const auto expected = [](const Own& own, const auto& icu, const std::u16string& in) {
    const auto it = own.find(in);
    return it != own.end() ? it->second : icu(in);
  };
  // The combining marks U+3099/U+309A are left out: a CP932 file cannot hold them.
  const std::pair<char16_t, char16_t> ranges[] = {
      {0x20, 0x7E}, {0x3000, 0x3098}, {0x309B, 0x30FF}, {0xFF01, 0xFF9F}};
  for (const auto& [first, last] : ranges) {
    for (char16_t c = first; c <= last; ++c) {
      const std::u16string one(1, c);
      EXPECT_EQ(ToNarrow(one), expected(ownNarrow, narrow, one));
      EXPECT_EQ(Fold(one), expected(ownFold, fold, one));
      for (const std::u16string& in : {one, one + u'ﾞ', one + u'ﾟ'})
        EXPECT_EQ(ToWide(in), expected(ownWide, wide, in));
    }
  }
}

TEST(Width, LongerTextsConvertBothWays) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"ﾄﾞｳﾒ ﾊﾟﾝ", u"ドウメ　パン"},
      {u"123-4 ABC", u"１２３－４　ＡＢＣ"},
      {u"ﾞｶｱﾞ", u"゛カア゛"},  // a mark before its base, or after one without a voiced form
  };
  for (const auto& [narrowText, wideText] : cases) {
    EXPECT_EQ(ToWide(narrowText), wideText);
    EXPECT_EQ(ToNarrow(wideText), narrowText);
  }
}

}  // namespace
}  // namespace mok::text
