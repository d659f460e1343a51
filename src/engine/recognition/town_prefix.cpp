#include "engine/recognition/town_prefix.h"

#include "engine/rules/numerals.h"

namespace mok::engine {

namespace {

constexpr std::u16string_view kOaza = u"大字";
constexpr std::u16string_view kChome = u"丁目";

}  // namespace

std::u16string_view WithoutOaza(std::u16string_view name) {
  return name.starts_with(kOaza) ? name.substr(kOaza.size()) : name;
}

std::u16string_view TownBase(std::u16string_view name) {
  name = WithoutOaza(name);
  const std::size_t chome = name.find(kChome);
  if (chome == std::u16string_view::npos)
    return name;
  std::size_t start = chome;
  while (start > 0 && IsNumeralChar(name[start - 1]))
    --start;
  return start < chome ? name.substr(0, start) : name;
}

std::size_t TownPrefixLength(std::u16string_view text, const TownCandidates& rows,
                             const VariantFold& fold, bool wholeNames, std::size_t below) {
  const std::u16string_view written = WithoutOaza(text);
  if (written.empty())
    return 0;
  std::size_t longest = 0;
  for (const TownRow& row : rows) {
    // Most rows differ in their first character: look no further at them.
    const std::u16string_view name = WithoutOaza(row.town);
    if (name.empty() || !fold.SameChar(name.front(), written.front()))
      continue;
    const std::u16string_view base = wholeNames ? name : TownBase(name);
    if (base.size() <= longest || base.size() > written.size() || base.size() >= below)
      continue;
    std::size_t i = 0;
    while (i < base.size() && fold.SameChar(base[i], written[i]))
      ++i;
    if (i == base.size())
      longest = base.size();
  }
  return longest == 0 ? 0 : longest + (text.size() - written.size());
}

}  // namespace mok::engine
