// Which block row of a town answers the block number of an address: the row with the asked
// number, or the one whose number is nearest to it. Example: rows 3 and 8 stored, 5 asked ->
// row 3 (difference 2), and the address's block number becomes ３. Rows without a plain number
// (Null, as the data tool stores for a town without block data, or not a number) come after
// every numbered row, so they are taken only when the town has nothing better.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/address_store.h"

namespace mok::engine {

// How the block rows are asked for: every row of the town, or only those whose number equals
// `exact`, then chosen by ChooseBlock.
struct BlockQuery {
  std::optional<std::u16string> exact;  // the narrow number to match exactly
  std::optional<int64_t> nearest;       // the number to come nearest to
};

// The query for an asked block number (full-width or narrow digits, "" when none): exact when
// `completeMatch` is set or the number is not plain decimal (it has no distance to the stored
// ones), nearest otherwise; neither for no number (the first row).
BlockQuery BlockQueryFor(const std::u16string& asked, bool completeMatch);

// The index of the chosen row among `rows` (table order): the first one, or with `nearest` the
// numbered row nearest to it (the earlier of two as near), else the row without a plain number
// whose number reads nearest as SQLite reads text as an integer (Null first). nullopt when
// there is no row.
std::optional<std::size_t> ChooseBlock(const std::vector<BlockRow>& rows, const BlockQuery& query);

}  // namespace mok::engine
