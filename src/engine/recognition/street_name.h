// Kyoto names a town by the streets around it as well: 「釜座通下立売下る東裏辻町398番地」 is the
// town 東裏辻町, reached from 釜座通 going down (下る) from 下立売. The street part, a street (通
// or 筋) followed by a direction (上る 下る 東入 西入 and their spellings with ル, る, がる),
// stands before the town name or after it; it is no part of the town and goes to the remainder. It
// is taken out only where a stored town of the municipality follows it (or, after the town,
// precedes it), so other text holding these words is left as it is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/recognition/town_candidates.h"
#include "engine/recognition/variant_fold.h"

namespace mok::engine {

struct StreetCut {
  std::u16string text;    // the text without the street part
  std::u16string street;  // the street part taken out, "" when none
};

StreetCut CutStreetName(std::u16string_view text, const TownCandidates& rows,
                        const VariantFold& fold);

}  // namespace mok::engine
