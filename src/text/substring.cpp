// Trimming and the 1-based substring helpers of the address rules. Bounds are forgiving like the
// rules expect: a start beyond the end gives "", a length beyond the end takes what is there.
#include "text/text.h"

namespace mok::text {
namespace {

std::u16string TrimIf(std::u16string_view text, bool (*blank)(char16_t)) {
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && blank(text[b]))
    ++b;
  while (e > b && blank(text[e - 1]))
    --e;
  return std::u16string(text.substr(b, e - b));
}

}  // namespace

std::u16string Trim(std::u16string_view text) {
  return TrimIf(text, [](char16_t c) { return c == u' ' || c == u'\u3000'; });
}

std::u16string TrimAscii(std::u16string_view text) {
  return TrimIf(text, [](char16_t c) { return c == u' '; });
}

std::u16string Mid(std::u16string_view text, std::size_t start, std::size_t length) {
  if (start == 0)
    start = 1;
  if (start > text.size())
    return {};
  return std::u16string(text.substr(start - 1, length));
}

std::u16string Left(std::u16string_view text, std::size_t length) {
  return std::u16string(text.substr(0, length));
}

std::u16string Right(std::u16string_view text, std::size_t length) {
  if (length >= text.size())
    return std::u16string(text);
  return std::u16string(text.substr(text.size() - length));
}

}  // namespace mok::text
