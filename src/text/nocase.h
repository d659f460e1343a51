// Text equality and search as the database compares text columns: ASCII letters without regard
// to case, every other character exactly (SQLite's NOCASE collation). The city and town steps
// run their criteria over rows held in memory and must answer as the database would.
#pragma once

#include <cstddef>
#include <string_view>

namespace mok::text {

inline char16_t AsciiUpper(char16_t c) {
  return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

inline bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && AsciiUpper(a[i]) != AsciiUpper(b[i]))
      return false;
  }
  return true;
}

inline bool EndsWithNoCase(std::u16string_view text, std::u16string_view suffix) {
  return suffix.size() <= text.size() &&
         EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// 1-based position of the first occurrence of find in text, 0 when absent; an empty find is
// found at position 1.
inline std::size_t FindNoCase(std::u16string_view text, std::u16string_view find) {
  if (find.empty())
    return 1;
  if (find.size() > text.size())
    return 0;
  for (std::size_t i = 0; i + find.size() <= text.size(); ++i) {
    if (EqualsNoCase(text.substr(i, find.size()), find))
      return i + 1;
  }
  return 0;
}

}  // namespace mok::text
