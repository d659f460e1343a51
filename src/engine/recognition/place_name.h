// Place names between the town and the numbers. A rural address names its 大字 (the town the
// region stores) and then a 小字, a numbered division or another place name the region does not
// store: 「飯岡新田第7地割12」 is the town 飯岡新田, the place 第7地割 and the lot 12;
// 「柏木字五反田74-2」 and 「柏木五反田74-2」 the town 柏木 and the place 五反田; 「大野番外地」
// the town 大野. The older form 「元X村大字Y二部5」 names the town after its 大字.
//
// The town is the longest stored town name the text begins with; what follows it up to the
// numbers is the place name, which goes to the remainder. Text that merely begins with a stored
// name may as well be a town the region lacks (緑が丘東 beside a stored 緑が丘), so the reading
// is taken only where the text says it is a place name: a 字 before it, a numbered division
// (地割, 区, 部, 線), 番外地, or a lot number (at most two numbers, no 丁目 or 号) after a town
// whose name has no chome, the place name not ending as town names do (町, 台, 丘, a direction).
// A place name that begins with another stored town of the municipality reads two ways.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/recognition/town_candidates.h"
#include "engine/recognition/town_split.h"
#include "engine/recognition/variant_fold.h"
#include "startup/settings.h"

namespace mok::engine {

struct PlaceNameReading {
  std::u16string town;   // the stored town's part of the text, as written
  std::u16string place;  // the place name (with the older form's 元X村大字 before it)
  TownSplit numbers;     // the split of the text after the place name
  bool twoWays = false;  // the place name begins with another stored town
};

// The reading of `text` (what follows the municipality) as a stored town, a place name and the
// numbers; nullopt when the text does not read so.
std::optional<PlaceNameReading> ReadPlaceName(const std::u16string& text,
                                              const TownCandidates& rows, const VariantFold& fold,
                                              const std::vector<FixedTerm>& fixedTerms);

}  // namespace mok::engine
