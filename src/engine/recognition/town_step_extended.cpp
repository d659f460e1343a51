// The town step of the extended matching: the town match around the standard one
// (town_match_extended.h) on the address as the rules split it, then the reading of the text
// after the municipality as a stored town, a place name and the numbers (place_name.h):
//  - where the match found no town, that reading may find it (柏木五反田74-2 is 柏木);
//  - where a rule made the town of the text (柏木字五反田 cut at its 字, 西小松川 completed
//    with 町), the reading moves the place name to the remainder when it names the same town,
//    and makes the address ambiguous when it names another (脇町大字猪尻古作: 脇町 cut at its
//    大字, or the stored 脇町大字猪尻 and the place 古作). A stored name that is the whole text
//    comes first (知念字久高 is stored, no 知念 with its 字 part).
#include <algorithm>

#include "engine/recognition/address_context.h"
#include "engine/recognition/place_name.h"
#include "engine/recognition/recognizer.h"
#include "engine/recognition/town_match_extended.h"
#include "engine/recognition/town_prefix.h"
#include "engine/rules/numerals.h"

namespace mok::engine {

namespace {

using Numbers = std::array<std::u16string, kMaxTownParts>;

const TownWordLookup kNoWords = [](const std::u16string&) {
  return std::optional<std::u16string>(std::u16string());
};

std::size_t FurtherNumbers(const Numbers& numbers) {
  std::size_t further = 0;
  while (further + 1 < numbers.size() && !numbers[further + 1].empty())
    ++further;
  return further;
}

ExtendedTownRequest RequestFor(const std::u16string& town, const TownSplit& numbers) {
  return {{town, numbers.numbers[0], numbers.chomeInOaza, numbers.chomeSuffix},
          FurtherNumbers(numbers.numbers),
          numbers.blockWordAfterFirst,
          numbers.numbers[1]};
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
  TownSplit written;
  written.numbers = parts.numbers;
  written.chomeInOaza = parts.chomeInOaza;
  written.chomeSuffix = parts.chomeSuffix;
  written.blockWordAfterFirst = split.blockWordAfterFirst;
  // Without a municipality, the candidates are only those the text begins as: a learned word
  // could name no other.
  ExtendedTownMatch extended =
      FindTownExtended(split.candidates, RequestFor(parts.townName, written),
                       split.townOnly ? kNoWords : learned, variants_);
  TownMatch& match = extended.match;
  std::optional<PlaceNameReading> place;
  if (!split.townText.empty() && (match.outcome == TownMatchOutcome::NotFound ||
                                  (match.outcome == TownMatchOutcome::Found &&
                                   !NamesTheText(match, parts.townName, variants_)))) {
    if (const TownRow* whole = match.outcome == TownMatchOutcome::Found
                                   ? FindWholeName(split.candidates, parts.townName, variants_)
                                   : nullptr) {
      match.townName = whole->town;
      match.row = whole;
      match.chomeInOaza = false;
      return match;
    }
    place = ReadPlaceName(split.townText, split.candidates, variants_, settings_.fixedTerms);
  }
  if (place && match.outcome == TownMatchOutcome::Found) {
    if (!variants_.Equals(TownBase(match.townName), TownBase(place->town))) {
      match.outcome = TownMatchOutcome::Ambiguous;
      match.row = nullptr;
      return match;
    }
  } else if (place && !split.townOnly) {
    // A place name is read only after a municipality: without one, text that merely begins
    // with a town's name is no address of it.
    if (place->twoWays) {
      match.outcome = TownMatchOutcome::Ambiguous;
      return match;
    }
    ExtendedTownMatch found = FindTownExtended(
        split.candidates, RequestFor(place->town, place->numbers), kNoWords, variants_);
    if (found.match.outcome != TownMatchOutcome::NotFound)
      extended = std::move(found);
    else
      place.reset();
  } else {
    place.reset();
  }
  if (place && !match.chomeInOaza && !extended.gridBoth) {
    parts.numbers = place->numbers.numbers;
    parts.remainder =
        context.fields.WrittenTail(place->numbers.remainder) + place->place + split.street;
  }
  parts.remainder += context.fields.WrittenTail(extended.moved);
  if (extended.gridBoth) {
    // The 条 number is part of the name: the numbers begin with the 丁目.
    std::rotate(parts.numbers.begin(), parts.numbers.begin() + 1, parts.numbers.end());
    parts.numbers.back().clear();
  }
  return match;
}

}  // namespace mok::engine
