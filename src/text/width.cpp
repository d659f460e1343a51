// Narrow (half-width) and wide (full-width) forms, as the Japanese platform's width conversion
// does it: ASCII 0x21-0x7E <-> U+FF01-U+FF5E, the space <-> U+3000, and the half-width katakana
// block U+FF61-U+FF9F <-> full-width katakana and punctuation. A voiced or semi-voiced katakana is
// one character wide and two characters narrow: ガ <-> ｶﾞ, パ <-> ﾊﾟ, ヴ <-> ｳﾞ.
//
// Own tables rather than an ICU transliterator: the conversion runs several times per address,
// a transliterator is slow to build and run, and ICU pairs ﾞ/ﾟ with the combining marks
// U+3099/U+309A, which have no CP932 form; here they pair with ゛/゜ (U+309B/U+309C) as on the
// platform the files come from. ヷ and ヺ are narrowed to ﾜﾞ and ｦﾞ but ﾜﾞ and ｦﾞ are not
// joined back, because ヷ and ヺ cannot be written to a CP932 file.
#include <array>

#include "text/text.h"
#include "text/width_tables.h"

namespace mok::text {
namespace {

// Narrow form of the full-width characters U+3000-U+30FF: up to two half-width characters.
struct NarrowForm {
  char16_t first = 0;
  char16_t second = 0;
};

constexpr std::array<NarrowForm, 0x100> BuildNarrowTable() {
  std::array<NarrowForm, 0x100> table{};
  for (char16_t h = 0xFF61; h <= 0xFF9F; ++h) {
    const char16_t w = kHalfwidthKanaToWide[h - 0xFF61];
    table[w - 0x3000].first = h;
    if (const char16_t v = VoicedOf(w); v != 0)
      table[v - 0x3000] = {h, 0xFF9E};
    if (const char16_t p = SemiVoicedOf(w); p != 0)
      table[p - 0x3000] = {h, 0xFF9F};
  }
  // Combining voicing marks narrow like the spacing ones.
  table[0x3099 - 0x3000].first = 0xFF9E;
  table[0x309A - 0x3000].first = 0xFF9F;
  // ヷ and ヺ (see above).
  table[0x30F7 - 0x3000] = {0xFF9C, 0xFF9E};
  table[0x30FA - 0x3000] = {0xFF66, 0xFF9E};
  return table;
}

constexpr std::array<NarrowForm, 0x100> kNarrowTable = BuildNarrowTable();

}  // namespace

std::u16string ToNarrow(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + text.size() / 4);
  for (const char16_t c : text) {
    if (c >= 0xFF01 && c <= 0xFF5E) {
      out += static_cast<char16_t>(c - 0xFEE0);
    } else if (c == 0x3000) {
      out += u' ';
    } else if (c > 0x3000 && c <= 0x30FF && kNarrowTable[c - 0x3000].first != 0) {
      const NarrowForm& n = kNarrowTable[c - 0x3000];
      out += n.first;
      if (n.second != 0)
        out += n.second;
    } else {
      out += c;
    }
  }
  return out;
}

std::u16string ToWide(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0x21 && c <= 0x7E) {
      out += static_cast<char16_t>(c + 0xFEE0);
    } else if (c == u' ') {
      out += u'\u3000';
    } else if (c >= 0xFF61 && c <= 0xFF9F) {
      const char16_t w = kHalfwidthKanaToWide[c - 0xFF61];
      const char16_t next = i + 1 < text.size() ? text[i + 1] : 0;
      char16_t joined = 0;
      if (next == 0xFF9E)
        joined = VoicedOf(w);
      if (next == 0xFF9F)
        joined = SemiVoicedOf(w);
      if (joined != 0) {
        out += joined;
        ++i;
      } else {
        out += w;
      }
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace mok::text
