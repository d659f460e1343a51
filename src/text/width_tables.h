// Tables shared by the width conversion and the folding: the full-width form of every half-width
// katakana character, and the voiced / semi-voiced form of a full-width katakana.
#pragma once

#include <array>

namespace mok::text {

// U+FF61..U+FF9F -> full-width. ﾞ and ﾟ map to the spacing marks ゛ and ゜ (U+309B/U+309C),
// which CP932 can encode.
inline constexpr std::array<char16_t, 0xFF9F - 0xFF61 + 1> kHalfwidthKanaToWide = {
    u'。', u'「', u'」', u'、', u'・', u'ヲ', u'ァ', u'ィ', u'ゥ', u'ェ', u'ォ', u'ャ', u'ュ',
    u'ョ', u'ッ', u'ー', u'ア', u'イ', u'ウ', u'エ', u'オ', u'カ', u'キ', u'ク', u'ケ', u'コ',
    u'サ', u'シ', u'ス', u'セ', u'ソ', u'タ', u'チ', u'ツ', u'テ', u'ト', u'ナ', u'ニ', u'ヌ',
    u'ネ', u'ノ', u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ', u'マ', u'ミ', u'ム', u'メ', u'モ', u'ヤ',
    u'ユ', u'ヨ', u'ラ', u'リ', u'ル', u'レ', u'ロ', u'ワ', u'ン', u'゛', u'゜'};

// The voiced form of a full-width katakana (カ -> ガ, ウ -> ヴ), 0 when it has none that the
// half-width form can spell.
constexpr char16_t VoicedOf(char16_t w) {
  if (w == u'ウ')
    return u'ヴ';
  // カ..ト: the voiced form follows its base (ッ sits between ヂ and ツ, so test each base).
  constexpr char16_t kBases[] = {u'カ', u'キ', u'ク', u'ケ', u'コ', u'サ', u'シ',
                                 u'ス', u'セ', u'ソ', u'タ', u'チ', u'ツ', u'テ',
                                 u'ト', u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ'};
  for (const char16_t b : kBases) {
    if (b == w)
      return static_cast<char16_t>(w + 1);
  }
  return 0;
}

// The semi-voiced form (ハ -> パ), 0 when there is none.
constexpr char16_t SemiVoicedOf(char16_t w) {
  switch (w) {
    case u'ハ':
    case u'ヒ':
    case u'フ':
    case u'ヘ':
    case u'ホ':
      return static_cast<char16_t>(w + 2);
    default:
      return 0;
  }
}

}  // namespace mok::text
