// The town step of the extended matching: the town match around the standard one
// (town_match_extended.h) on the address as the rules split it, and where that finds no town,
// the reading of the text after the municipality as a town, a place name and the numbers
// (place_name.h).
#include <algorithm>

#include "engine/recognition/address_context.h"
#include "engine/recognition/place_name.h"
#include "engine/recognition/recognizer.h"
#include "engine/recognition/town_match_extended.h"
#include "engine/recognition/town_prefix.h"
#include "engine/rules/numerals.h"

namespace mok::engine {

namespace {

std::size_t FurtherNumbers(const std::array<std::u16string, kMaxTownParts>& numbers) {
  std::size_t further = 0;
  while (further + 1 < numbers.size() && !numbers[further + 1].empty())
    ++further;
  return further;
}

// Whether the town found is the town text as written (a leading 大字 and the chome aside).
bool NamesTheText(const TownMatch& match, const std::u16string& town, const VariantFold& fold) {
  return fold.Equals(TownBase(match.townName), TownBase(DigitRunsToKanji(town)));
}

// The one candidate row whose name is the town text (numerals in kanji, a leading 大字 aside).
const TownRow* FindWholeName(const TownCandidates& candidates, const std::u16string& town,
                             const VariantFold& fold) {
  const std::u16string kanji = DigitRunsToKanji(town);
  const std::u16string_view name = WithoutOaza(kanji);
  const TownRow* found = nullptr;
  for (const TownRow& row : candidates) {
    if (!fold.Equals(WithoutOaza(row.town), name))
      continue;
    if (found != nullptr)
      return nullptr;
    found = &row;
  }
  return found;
}

}  // namespace

TownMatch Recognizer::MatchTownExtended(AddressContext& context, const TextSplit& split,
                                        AddressParts& parts, const TownWordLookup& learned) const {
  const TownMatchRequest request{parts.townName, parts.numbers[0], parts.chomeInOaza,
                                 parts.chomeSuffix};
  ExtendedTownMatch extended = FindTownExtended(
      split.candidates,
      {request, FurtherNumbers(parts.numbers), split.blockWordAfterFirst, parts.numbers[1]},
      learned, variants_);
  if (extended.match.outcome == TownMatchOutcome::Found && !split.townText.empty() &&
      !NamesTheText(extended.match, parts.townName, variants_)) {
    // A rule made the town of the text (cut at 大字, completed with 町). A stored name that is
    // the text itself comes first (知念字久高, not 知念 and its 字 part); where the text reads
    // as another stored town and a place name, it reads two ways.
    if (const TownRow* whole = FindWholeName(split.candidates, parts.townName, variants_)) {
      extended.match.townName = whole->town;
      extended.match.row = whole;
      extended.match.chomeInOaza = false;
      return extended.match;
    }
    const std::optional<PlaceNameReading> place =
        ReadPlaceName(split.townText, split.candidates, variants_, settings_.fixedTerms);
    if (place && !variants_.Equals(TownBase(extended.match.townName), TownBase(place->town))) {
      extended.match.outcome = TownMatchOutcome::Ambiguous;
      extended.match.row = nullptr;
      return extended.match;
    }
  }
  if (extended.match.outcome == TownMatchOutcome::NotFound && !split.townText.empty()) {
    const std::optional<PlaceNameReading> place =
        ReadPlaceName(split.townText, split.candidates, variants_, settings_.fixedTerms);
    if (place && place->twoWays) {
      extended.match.outcome = TownMatchOutcome::Ambiguous;
      return extended.match;
    }
    if (place) {
      const TownSplit& numbers = place->numbers;
      const TownWordLookup none = [](const std::u16string&) {
        return std::optional<std::u16string>(std::u16string());
      };
      ExtendedTownMatch found = FindTownExtended(split.candidates,
                                                 {{place->town, numbers.numbers[0], false, {}},
                                                  FurtherNumbers(numbers.numbers),
                                                  numbers.blockWordAfterFirst,
                                                  numbers.numbers[1]},
                                                 none, variants_);
      if (found.match.outcome != TownMatchOutcome::NotFound) {
        extended = std::move(found);
        parts.numbers = numbers.numbers;
        parts.remainder =
            context.fields.WrittenTail(numbers.remainder) + place->place + split.street;
      }
    }
  }
  parts.remainder += context.fields.WrittenTail(extended.moved);
  if (extended.gridBoth) {
    // The 条 number is part of the name: the numbers begin with the 丁目.
    std::rotate(parts.numbers.begin(), parts.numbers.begin() + 1, parts.numbers.end());
    parts.numbers.back().clear();
  }
  return extended.match;
}

}  // namespace mok::engine
