#include "engine/recognition/street_name.h"

#include <array>

#include "engine/recognition/town_prefix.h"
#include "engine/rules/numerals.h"

namespace mok::engine {

namespace {

// The directions, longer spellings before the ones they begin with.
constexpr std::array<std::u16string_view, 12> kDirections = {
    u"東入ル", u"西入ル", u"東入る", u"西入る", u"上がる", u"下がる",
    u"上ル",   u"下ル",   u"上る",   u"下る",   u"東入",   u"西入"};

// After a direction the street part may go on: まで closes a stretch (「上るより四条下るまで」),
// and a distance counts blocks or lanes (「西入二丁」, 「下る二町目」). The end with them comes
// before the end without, so that 「西入二町目元北小路町」 leaves 元北小路町, not the town 二町目.
constexpr std::array<std::u16string_view, 2> kUntil = {u"まで", u"迄"};
constexpr std::array<std::u16string_view, 4> kDistances = {u"丁目", u"町目", u"筋目", u"丁"};

// The length of a distance (numeral + 丁, 丁目, 町目 or 筋目) at the start of the text; 0 when
// none.
std::size_t DistanceLength(std::u16string_view text) {
  std::size_t numeral = 0;
  while (numeral < text.size() && IsNumeralChar(text[numeral]))
    ++numeral;
  if (numeral == 0)
    return 0;
  for (const std::u16string_view unit : kDistances) {
    if (text.substr(numeral).starts_with(unit))
      return numeral + unit.size();
  }
  return 0;
}

// The positions where a street part may end: just after each direction word in the text, in
// order, each preceded by its longer ends.
std::vector<std::size_t> DirectionEnds(std::u16string_view text) {
  std::vector<std::size_t> ends;
  for (std::size_t i = 0; i < text.size(); ++i) {
    for (const std::u16string_view word : kDirections) {
      if (text.substr(i).starts_with(word)) {
        std::size_t end = i + word.size();
        for (const std::u16string_view until : kUntil) {
          if (text.substr(end).starts_with(until))
            end += until.size();
        }
        if (const std::size_t distance = DistanceLength(text.substr(end)); distance > 0)
          ends.push_back(end + distance);
        ends.push_back(end);
        i += word.size() - 1;
        break;
      }
    }
  }
  return ends;
}

// A street part after the town must not swallow the numbers of the address.
bool HoldsNumbers(std::u16string_view part) {
  for (char16_t c : part) {
    if ((c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９') || c == u'番' || c == u'号')
      return true;
  }
  return false;
}

bool HasStreet(std::u16string_view part) {
  return part.find(u'通') != std::u16string_view::npos ||
         part.find(u'筋') != std::u16string_view::npos;
}

StreetCut Cut(std::u16string_view text, std::size_t from, std::size_t to) {
  return {std::u16string(text.substr(0, from)) + std::u16string(text.substr(to)),
          std::u16string(text.substr(from, to - from))};
}

}  // namespace

StreetCut CutStreetName(std::u16string_view text, const TownCandidates& rows,
                        const VariantFold& fold) {
  if (!HasStreet(text))
    return {std::u16string(text), {}};
  const std::vector<std::size_t> ends = DirectionEnds(text);
  // Before the town: the street part opens the text and a stored town follows it.
  for (const std::size_t end : ends) {
    if (HasStreet(text.substr(0, end)) && TownPrefixLength(text.substr(end), rows, fold) > 0)
      return Cut(text, 0, end);
  }
  // After the town: a stored town opens the text and the street part follows it.
  if (const std::size_t town = TownPrefixLength(text, rows, fold); town > 0) {
    for (const std::size_t end : ends) {
      const std::u16string_view part = text.substr(town, end - town);
      if (end > town && HasStreet(part) && !HoldsNumbers(part))
        return Cut(text, town, end);
    }
  }
  return {std::u16string(text), {}};
}

}  // namespace mok::engine
