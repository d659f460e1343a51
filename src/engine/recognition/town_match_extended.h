// The town match of the extended matching (MATCHMODE 1), around the standard one
// (FindOazaChome), which it asks first:
//  - a town not found as written is looked for once more with variant spellings folded
//    (富ヶ谷一丁目 finds 富ケ谷一丁目);
//  - a chome with more text after its 丁目 (加島３丁目中, 元麻布３丁目以下) is found without that
//    text, which goes to the remainder;
//  - a town written without its final 町 or 村 (西小松川 for 西小松川町) is found when exactly
//    one of the two fits;
//  - when 丁目 is not written and the town found also has a chome for the first number (国領町
//    beside 国領町三丁目), two further numbers make the first one the chome (国領町３－８－１５
//    is 国領町三丁目 ８－１５); with fewer the numbers do not decide, and rather than guess the
//    town is reported ambiguous. A 番 or 番地 after the first number makes it the block: the
//    plain town stands;
//  - Hokkaido's grid of 条 and 丁目 written with numbers only is read where the region stores
//    the grid's name: 菊水1-2-3-14 is 菊水一条二丁目 3-14 (the first two numbers), 南12西12-2-27
//    is 南十二条西十二丁目 2-27 (the numeral inside the text is the 条). Where the plain town is
//    stored too (西野 beside 西野一条二丁目), the numbers could be either's: ambiguous.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/recognition/town_match.h"
#include "engine/recognition/variant_fold.h"

namespace mok::engine {

struct ExtendedTownRequest {
  TownMatchRequest town;
  std::size_t furtherNumbers = 0;    // the numbers after the first one
  bool blockWordAfterFirst = false;  // a level word of the block or house follows the first
  std::u16string second;             // the second number, "" when none
};

struct ExtendedTownMatch {
  TownMatch match;
  std::u16string moved;  // text that goes to the remainder (what followed 丁目)
  // The first two numbers went into the town name (条 and 丁目); match.chomeInOaza is set.
  bool gridBoth = false;
};

ExtendedTownMatch FindTownExtended(const TownCandidates& candidates,
                                   const ExtendedTownRequest& request,
                                   const TownWordLookup& learned, const VariantFold& fold);

}  // namespace mok::engine
