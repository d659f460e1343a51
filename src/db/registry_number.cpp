#include "db/registry_number.h"

#include "text/text.h"

namespace mok::db {
namespace {

bool IsDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９');
}

}  // namespace

std::u16string NormaliseRegistryNumber(std::u16string_view text) {
  const std::u16string trimmed = text::Trim(text);
  bool digits = !trimmed.empty();
  for (char16_t c : trimmed)
    digits = digits && IsDigit(c);
  if (digits) {
    std::u16string narrow = text::ToNarrow(trimmed);
    const std::size_t first = narrow.find_first_not_of(u'0');
    return first == std::u16string::npos ? u"0" : narrow.substr(first);
  }
  // Wide first (half-width katakana joins its voicing marks), then the ASCII forms back.
  std::u16string out = text::ToWide(trimmed);
  for (char16_t& c : out) {
    if (c >= u'\uFF01' && c <= u'\uFF5E')
      c = static_cast<char16_t>(c - 0xFEE0);
    else if (c == u'\u3000')
      c = u' ';
  }
  return out;
}

}  // namespace mok::db
