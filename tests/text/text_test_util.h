// Helpers for the text tests: readable dumps of UTF-16 strings and byte strings.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "text/text.h"

namespace mok::text::test {

// "ガ [U+30AC]" - the text and its code units, so a failure shows what differs.
inline std::string Show(std::u16string_view s) {
  std::string out = ToUtf8(s) + " [";
  char buf[16];
  for (std::size_t i = 0; i < s.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%sU+%04X", i ? " " : "", static_cast<unsigned>(s[i]));
    out += buf;
  }
  return out + "]";
}

inline std::string Hex(std::string_view bytes) {
  std::string out;
  char buf[8];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%s%02X", i ? " " : "",
                  static_cast<unsigned>(static_cast<unsigned char>(bytes[i])));
    out += buf;
  }
  return out;
}

}  // namespace mok::text::test
