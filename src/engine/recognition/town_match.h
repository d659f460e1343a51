// Town matching: does the town text of an address name an oaza or town/chome (大字・町丁目)
// among the candidate rows of the municipality, and how is it stored?
//
// Addresses write the chome apart from the town (「本町3丁目」, 「本町3-4」), the database stores
// it with the town in kanji (本町三丁目). So the first number of the address is tried as part of
// the name: 本町 + 三 + 丁目, and 本町 + 三 for names stored without 丁目. A leading 大字 may be
// written in the address and not stored, or the other way round, and a 字 part may follow the
// oaza (「大字甲字乙」 is looked up as 甲). A name alone must be unique among the candidates (the
// same oaza may exist in two candidate cities); a name completed by the chome number takes the
// first row that fits. A town written without the 字 of its stored name (登野城 for 字登野城) is
// found when that name is unique. Names the user taught are repaired through the learning
// dictionary (town words) when the written name is not found.
//
// The candidates may belong to several municipalities (中央区 alone fits 札幌市中央区 and
// 千葉市中央区): the row found decides the municipality, and a stored name that several of the
// candidate municipalities hold says nothing about which one is meant, so it is not an answer.
//
// Rows are compared as the database compares text: ASCII letter case ignored, every other
// character exactly; every search runs over all candidates from the first.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/address_store.h"
#include "engine/recognition/town_candidates.h"
#include "engine/recognition/variant_fold.h"

namespace mok::engine {

// The learned replacement of a town text: "" when none applies, nullopt on a failure.
using TownWordLookup = std::function<std::optional<std::u16string>(const std::u16string&)>;

struct TownMatchRequest {
  std::u16string town;         // the town text as split from the address
  std::u16string chome;        // the first number of the address ("" when none)
  bool chomeInOaza = false;    // 丁目 was written after the first number
  std::u16string chomeSuffix;  // that 丁目 text
};

enum class TownMatchOutcome {
  Found,
  NotFound,
  Ambiguous,  // the name found is a town of several candidate municipalities
  Failed,     // the learning dictionary failed
};

struct TownMatch {
  TownMatchOutcome outcome = TownMatchOutcome::NotFound;
  std::u16string townName;         // the stored name when found, else the text last searched
  const TownRow* row = nullptr;    // the candidate row found (none for a learned name that no
                                   // candidate row confirmed)
  bool chomeInOaza = false;        // the first number is part of the stored name
  bool oazaPrefixRemoved = false;  // the town text began with 大字
};

// With `fold`, names are compared after the fold of variant spellings (the extended matching).
TownMatch FindOazaChome(const TownCandidates& candidates, const TownMatchRequest& request,
                        const TownWordLookup& learned, const VariantFold* fold = nullptr);

}  // namespace mok::engine
