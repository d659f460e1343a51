// Which stored town name begins the text after the municipality. The address rules cut the town
// name at its first number, which cuts names that hold numerals (麻布十番, 六番町, 甲子園三番町);
// matched against the stored names first, such a name stays whole: the longest stored name that
// begins the text wins. A stored name counts without a leading 大字 and without its chome
// (麻布十番二丁目 counts as 麻布十番), since the chome is written apart and found by the town
// match.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "engine/recognition/town_candidates.h"
#include "engine/recognition/variant_fold.h"

namespace mok::engine {

// The name without a leading 大字.
std::u16string_view WithoutOaza(std::u16string_view name);

// A stored town name without a leading 大字 and without its chome numeral and what follows it:
// 大字本町三丁目東 -> 本町.
std::u16string_view TownBase(std::u16string_view name);

// The number of characters of `text` taken by the longest town base of `rows` that begins it
// (a leading 大字 of the text counted with it), characters compared through `fold`; 0 when none.
// With `wholeNames`, the stored names count whole, chome and all (but without a leading 大字);
// only names shorter than `below` characters count.
std::size_t TownPrefixLength(std::u16string_view text, const TownCandidates& rows,
                             const VariantFold& fold, bool wholeNames = false,
                             std::size_t below = std::u16string_view::npos);

}  // namespace mok::engine
