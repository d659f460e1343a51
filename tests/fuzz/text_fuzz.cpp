// The text services on any bytes: the CP932 codec, the width conversion, folding and the folded
// search (against the plain search of the folded texts).
#include <algorithm>

#include "fuzz/fuzz_target.h"

namespace mok::text {

MOK_FUZZ_TARGET(text) {
  // Bytes that decode encode to bytes that decode to the same text (CP932 has duplicate codes
  // for some characters, so the bytes may differ); a text that encodes decodes back.
  if (const auto decoded = DecodeCp932(input)) {
    const auto encoded = EncodeCp932(*decoded);
    MOK_FUZZ_CHECK(encoded && DecodeCp932(*encoded) == decoded);
  }
  const std::u16string s = fuzz::InputText(input);
  if (const auto encoded = EncodeCp932(s))
    MOK_FUZZ_CHECK(DecodeCp932(*encoded) == s);
  MOK_FUZZ_CHECK(ToNarrow(ToWide(ToNarrow(s))) == ToNarrow(s));
  const std::u16string folded = Fold(s);
  MOK_FUZZ_CHECK(folded.size() == s.size() && Fold(folded) == folded && EqualsFold(s, folded));
  for (std::size_t i = 0; i < s.size(); ++i)
    MOK_FUZZ_CHECK(folded[i] == FoldChar(s[i]));

  // InStr/InStrRev: the first unit chooses the needle's length (0 to 3) and the start position;
  // the needle follows it, then the text searched. npos + 1 is 0, "not found".
  if (s.empty())
    return;
  const std::size_t m = std::min<std::size_t>(s[0] & 3, s.size() - 1), n = s.size() - 1 - m;
  const std::u16string_view find = std::u16string_view(s).substr(1, m),
                            hay = std::u16string_view(s).substr(1 + m);
  const std::u16string f = folded.substr(1, m), h = folded.substr(1 + m);
  const std::size_t start = (s[0] >> 2) % (n + 3), from = std::max<std::size_t>(start, 1);
  MOK_FUZZ_CHECK(InStr(hay, find, start) == (from > n + 1 ? 0
                                             : f.empty()  ? from
                                                          : h.find(f, from - 1) + 1));
  const std::size_t end = std::min(start, n);
  MOK_FUZZ_CHECK(InStrRev(hay, find, start) == (end == 0    ? 0
                                                : f.empty() ? end
                                                : m > end   ? 0
                                                            : h.rfind(f, end - m) + 1));
  MOK_FUZZ_CHECK(InStrRev(hay, find) == InStrRev(hay, find, n));
}

}  // namespace mok::text
