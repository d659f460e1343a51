#include "db/residence_key.h"

namespace mok::db {
namespace {

constexpr int kNumberBits = 16;
constexpr int64_t kNumberLimit = int64_t{1} << kNumberBits;
constexpr int64_t kTownLimit = int64_t{1} << 31;

bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\u3000';
}

// The value of a plain number as NormaliseRegistryNumber reads one (registry_number.h), below
// kNumberLimit. Written here rather than through that function because it runs for every
// residence an address looks up and needs no text of its own.
std::optional<int64_t> PlainNumber(std::u16string_view text) {
  while (!text.empty() && IsSpace(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back()))
    text.remove_suffix(1);
  if (text.empty())
    return std::nullopt;
  int64_t value = 0;
  for (char16_t c : text) {
    int digit;
    if (c >= u'0' && c <= u'9')
      digit = c - u'0';
    else if (c >= u'０' && c <= u'９')
      digit = c - u'０';
    else
      return std::nullopt;
    value = value * 10 + digit;
    if (value >= kNumberLimit)
      return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<int64_t> ResidenceKey(int64_t positionId, std::u16string_view block,
                                    std::u16string_view residence) {
  if (positionId < 1 || positionId >= kTownLimit)
    return std::nullopt;
  const auto b = PlainNumber(block);
  if (!b)
    return std::nullopt;
  const auto r = PlainNumber(residence);
  if (!r)
    return std::nullopt;
  return (positionId << (2 * kNumberBits)) | (*b << kNumberBits) | *r;
}

}  // namespace mok::db
