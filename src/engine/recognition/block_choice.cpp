#include "engine/recognition/block_choice.h"

#include <limits>
#include <tuple>

#include "text/text.h"

namespace mok::engine {

namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

// The number when the text is a plain decimal number that fits (at most 18 digits).
std::optional<int64_t> PlainNumber(std::u16string_view narrow) {
  if (narrow.empty() || narrow.size() > 18)
    return std::nullopt;
  int64_t value = 0;
  for (char16_t c : narrow) {
    if (c < u'0' || c > u'9')
      return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return value;
}

// The stored number as the store orders it: a non-empty run of ASCII digits only.
bool IsNumbered(const std::optional<std::u16string>& number) {
  if (!number || number->empty())
    return false;
  for (char16_t c : *number) {
    if (c < u'0' || c > u'9')
      return false;
  }
  return true;
}

// A text read as an integer the way SQLite casts text: leading spaces skipped, an optional sign,
// the longest run of ASCII digits (0 when none), clamped to the 64-bit range.
int64_t CastInteger(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
    negative = text[i++] == u'-';
  uint64_t value = 0;
  bool overflow = false;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    const unsigned digit = text[i] - u'0';
    if (value > (std::numeric_limits<uint64_t>::max() - digit) / 10)
      overflow = true;
    else
      value = value * 10 + digit;
  }
  if (negative)
    return overflow || value > uint64_t{kMax} + 1 ? std::numeric_limits<int64_t>::min()
                                                  : static_cast<int64_t>(0 - value);
  return overflow || value > uint64_t{kMax} ? kMax : static_cast<int64_t>(value);
}

// |a - b| without overflow, saturated.
uint64_t Distance(int64_t a, int64_t b) {
  return a > b ? static_cast<uint64_t>(a) - static_cast<uint64_t>(b)
               : static_cast<uint64_t>(b) - static_cast<uint64_t>(a);
}

}  // namespace

BlockQuery BlockQueryFor(const std::u16string& asked, bool completeMatch) {
  if (asked.empty())
    return {};
  const std::u16string narrow = text::ToNarrow(asked);
  const std::optional<int64_t> number = PlainNumber(narrow);
  if (completeMatch || !number)
    return {narrow, std::nullopt};
  return {std::nullopt, number};
}

std::optional<std::size_t> ChooseBlock(const std::vector<BlockRow>& rows, const BlockQuery& query) {
  if (rows.empty())
    return std::nullopt;
  if (!query.nearest)
    return 0;
  // Ordered by: numbered rows first; then the distance (a Null number has none and comes
  // first); then table order.
  auto key = [&](const BlockRow& row) {
    const bool hasValue = row.number.has_value();
    const uint64_t distance = hasValue ? Distance(CastInteger(*row.number), *query.nearest) : 0;
    return std::make_tuple(IsNumbered(row.number) ? 0 : 1, hasValue ? 1 : 0, distance);
  };
  std::size_t best = 0;
  auto bestKey = key(rows[0]);
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const auto k = key(rows[i]);
    if (k < bestKey) {
      best = i;
      bestKey = k;
    }
  }
  return best;
}

}  // namespace mok::engine
