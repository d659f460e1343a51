// A number of the address parts below the town (街区符号, 住居番号, 本番, 枝番) as the registry
// tables store it and their lookups compare it, so that an address's number and the registry's
// meet however either is written:
//
//   "１２", "012"  -> "12"      decimal digits, ASCII or full-width, without leading zeros
//   "ﾛ"           -> "ロ"      other text: half-width katakana made full-width,
//   "乙２"         -> "乙2"     full-width ASCII made ASCII, spaces trimmed
#pragma once

#include <string>
#include <string_view>

namespace mok::db {

std::u16string NormaliseRegistryNumber(std::u16string_view text);

}  // namespace mok::db
