// Comparison and search that ignore letter case, width and kana type.
//
// The address rules compare texts as the Japanese platform's text comparison does: 「ちょうめ」
// finds 「チョウメ」, 「ＡＢ」 equals "ab", 「ｶ」 equals 「カ」. Every code unit is folded to one
// canonical code unit, so a position found in folded text is the position in the original text:
// full-width ASCII -> ASCII, the ideographic space -> space, lower -> upper case,
// hiragana -> katakana, half-width katakana -> full-width katakana (ﾞ and ﾟ fold to ゛ and ゜; a
// voiced pair ｶﾞ stays two units and does not equal ガ, which keeps positions one-to-one).
//
// These run for every candidate word of every address, so nothing here allocates unless a
// needle is longer than a small stack buffer.
#include <algorithm>
#include <array>

#include "text/text.h"
#include "text/width_tables.h"

namespace mok::text {
namespace {

inline char16_t FoldUnit(char16_t c) {
  if (c < 0x80)
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  if (c < 0x3000)
    return c;
  if (c <= 0x30FF) {
    if (c == 0x3000)
      return u' ';
    if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E)
      return static_cast<char16_t>(c + 0x60);
    return c;
  }
  if (c < 0xFF01)
    return c;
  if (c <= 0xFF5E) {
    const auto a = static_cast<char16_t>(c - 0xFEE0);
    return (a >= u'a' && a <= u'z') ? static_cast<char16_t>(a - 0x20) : a;
  }
  if (c >= 0xFF61 && c <= 0xFF9F)
    return kHalfwidthKanaToWide[c - 0xFF61];
  return c;
}

// A needle folded once, on the stack when it is short.
class FoldedNeedle {
 public:
  explicit FoldedNeedle(std::u16string_view find) : size_(find.size()) {
    char16_t* dst = small_.data();
    if (find.size() > small_.size()) {
      large_.resize(find.size());
      dst = large_.data();
    }
    for (std::size_t i = 0; i < find.size(); ++i)
      dst[i] = FoldUnit(find[i]);
    data_ = dst;
  }
  FoldedNeedle(const FoldedNeedle&) = delete;
  FoldedNeedle& operator=(const FoldedNeedle&) = delete;
  char16_t operator[](std::size_t i) const { return data_[i]; }
  std::size_t size() const { return size_; }

 private:
  std::array<char16_t, 64> small_;
  std::u16string large_;
  const char16_t* data_ = nullptr;
  std::size_t size_;
};

inline bool MatchesAt(std::u16string_view text, std::size_t at, const FoldedNeedle& needle) {
  for (std::size_t k = 0; k < needle.size(); ++k) {
    if (FoldUnit(text[at + k]) != needle[k])
      return false;
  }
  return true;
}

}  // namespace

char16_t FoldChar(char16_t c) {
  return FoldUnit(c);
}

std::u16string Fold(std::u16string_view text) {
  std::u16string out(text.size(), u'\0');
  std::transform(text.begin(), text.end(), out.begin(), FoldUnit);
  return out;
}

bool EqualsFold(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && FoldUnit(a[i]) != FoldUnit(b[i]))
      return false;
  }
  return true;
}

bool StartsWithFold(std::u16string_view text, std::u16string_view prefix) {
  return prefix.size() <= text.size() && EqualsFold(text.substr(0, prefix.size()), prefix);
}

std::size_t InStr(std::u16string_view text, std::u16string_view find, std::size_t start) {
  if (start == 0)
    start = 1;
  const std::size_t n = text.size();
  if (start > n + 1)
    return 0;
  if (find.empty())
    return start;
  const std::size_t m = find.size();
  if (m > n - (start - 1))
    return 0;
  const FoldedNeedle needle(find);
  const char16_t first = needle[0];
  for (std::size_t i = start - 1; i + m <= n; ++i) {
    if (FoldUnit(text[i]) == first && MatchesAt(text, i, needle))
      return i + 1;
  }
  return 0;
}

std::size_t InStrRev(std::u16string_view text, std::u16string_view find, std::size_t start) {
  const std::size_t n = text.size();
  if (start > n)
    start = n;
  if (start == 0)
    return 0;
  if (find.empty())
    return start;
  const std::size_t m = find.size();
  if (m > start)
    return 0;
  const FoldedNeedle needle(find);
  for (std::size_t i = start - m + 1; i-- > 0;) {
    if (MatchesAt(text, i, needle))
      return i + 1;
  }
  return 0;
}

std::size_t InStrExact(std::u16string_view text, std::u16string_view find, std::size_t start) {
  if (start == 0)
    start = 1;
  if (start > text.size() + 1)
    return 0;
  const std::size_t at = text.find(find, start - 1);
  return at == std::u16string_view::npos ? 0 : at + 1;
}

}  // namespace mok::text
