// Text services of the whole system: conversions between UTF-8, UTF-16 and CP932 (the code page
// of every file the system reads or writes), the narrow/wide conversion of the Japanese width
// forms, and the comparison and search that ignore letter case, width and kana type.
//
// Strings are std::u16string (UTF-16 code units). Positions are 1-based, 0 means "not found",
// as the address rules count them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace mok::text {

// UTF-8 <-> UTF-16. Invalid input is replaced by U+FFFD (these are for terminals, literals and
// Qt-free plumbing, never for data files).
std::u16string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::u16string_view utf16);

// CP932 (Windows-31J: ～ is U+FF5E, － is U+FF0D) <-> UTF-16. A byte sequence that does not
// decode, or a character that has no CP932 form, gives std::nullopt and, when `error` is given,
// a message naming the position of the first offending byte or character.
std::optional<std::u16string> DecodeCp932(std::string_view bytes, std::string* error = nullptr);
std::optional<std::string> EncodeCp932(std::u16string_view text, std::string* error = nullptr);

// Narrow (half-width) and wide (full-width) forms: ASCII <-> U+FF01..U+FF5E (space <-> U+3000),
// half-width katakana with voicing marks <-> full-width katakana (ｶﾞ <-> ガ, ﾊﾟ <-> パ),
// and the punctuation that has both forms (｡｢｣､･ <-> 。「」、・, ｰ <-> ー).
std::u16string ToNarrow(std::u16string_view text);
std::u16string ToWide(std::u16string_view text);

// Folding: every code unit maps to one canonical code unit (full-width ASCII -> ASCII, lower ->
// upper case, hiragana -> katakana, half-width katakana -> full-width katakana without joining
// voicing marks), so positions found in folded text are positions in the original text.
char16_t FoldChar(char16_t c);
std::u16string Fold(std::u16string_view text);
bool EqualsFold(std::u16string_view a, std::u16string_view b);
bool StartsWithFold(std::u16string_view text, std::u16string_view prefix);

// InStr: 1-based position of the first occurrence of `find` in `text` at or after position
// `start` (1-based), 0 when absent. An empty `find` is found at `start` (when start <= len + 1).
std::size_t InStr(std::u16string_view text, std::u16string_view find, std::size_t start = 1);
// InStrRev: 1-based position of the last occurrence that ends at or before position `start`
// (default and anything beyond the end: the end of the text), 0 when absent. An empty `find`
// gives `start` (0 for an empty text).
std::size_t InStrRev(std::u16string_view text, std::u16string_view find,
                     std::size_t start = std::u16string_view::npos);
// Exact (code-unit) variants of the two searches.
std::size_t InStrExact(std::u16string_view text, std::u16string_view find, std::size_t start = 1);

// Trimming. Trim removes U+0020 and U+3000 (the half- and full-width space) at both ends;
// TrimAscii removes only U+0020.
std::u16string Trim(std::u16string_view text);
std::u16string TrimAscii(std::u16string_view text);

// 1-based substring helpers with the forgiving bounds of the address rules: Mid(s, start, len)
// clamps to the text; Left/Right take at most the text's length.
std::u16string Mid(std::u16string_view text, std::size_t start,
                   std::size_t length = std::u16string_view::npos);
std::u16string Left(std::u16string_view text, std::size_t length);
std::u16string Right(std::u16string_view text, std::size_t length);

}  // namespace mok::text
