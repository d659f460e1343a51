// Town name and block-number splitting: what follows the municipality is the town name (大字・
// 町丁目), then the numbers of chome, block, lot and house joined by level words (丁目 番地 号 in
// any spelling) or separators (の - and the like), then whatever else (a building name).
//
// 「丸の内1丁目2番3号ビル」 splits into the town 「丸の内」, the numbers 「１」 「２」 「３」 and
// the remainder 「号ビル」; the 丁目 after the first number marks it as the chome. A number that
// opens the town text belongs to the town name (「五反田1丁目」), unless no later number starts the
// block; town names that begin with numerals (一番町) are listed as fixed terms of code 3 so that
// they are never read as numbers.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "startup/settings.h"

namespace mok::engine {

struct TownSplit {
  std::u16string townName;
  std::array<std::u16string, 10> numbers;  // full-width digits; "" where none
  std::u16string remainder;
  bool chomeInOaza = false;       // a 丁目 follows one of the numbers before the block
  std::u16string chomeSuffix;     // that 丁目 and what follows it up to the next number
  bool unreadableNumber = false;  // the chome or block number is no numeral the rules can read
  // A level word of the block or the house (番, 番地, 号…) follows the first number.
  bool blockWordAfterFirst = false;
};

struct SplitRules {
  // The town name is known to take at least this many characters (a stored name with numerals
  // inside, 麻布十番), which then are no numbers.
  std::size_t townLength = 0;
  // A building's numbers are told apart (the extended matching): a floor or room (2F, 3階,
  // 201号室) and what stands in brackets after the numbers are no numbers of the address.
  bool buildingApart = false;
  // Where no number is followed by a level word or a separator, the numbers are a last one
  // that ends the text, or none (「第7地割12」 has 12, 「第35地割」 none); the text before them
  // is the town name.
  bool numbersAtEnd = false;
};

// Whether the text begins with a level word (丁目, 番地, 号 in any spelling).
bool BeginsWithLevelWord(std::u16string_view text);

TownSplit SplitTownAndNumbers(const std::u16string& text, const std::vector<FixedTerm>& fixedTerms,
                              const SplitRules& rules = {});

}  // namespace mok::engine
