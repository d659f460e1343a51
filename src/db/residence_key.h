// The key a residence row of the 住居 table is stored under (its rowid), made of its town and its
// two numbers, so that the lookup most addresses of a 住居表示 town make is one seek of the table
// by an integer instead of a search of the numbers' text in an index:
//
//   town 522, 街区符号 "12", 住居番号 "3"    -> (522 << 32) | (12 << 16) | 3
//   "１２", " 012 " (as NormaliseRegistryNumber reads them "12") -> the same key
//   住居番号2 given, "ロ", "12甲", 70000, town 0 -> no key: the row gets a negative rowid and is
//                                                  found by the numbers' index only
//
// Only a residence without 住居番号2 is stored under its key; a row with one, or a second row of
// the same numbers, is stored under a negative rowid (import/residence_rowids.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mok::db {

// The key of the residence `block` + `residence` of the town `positionId`, when both numbers are
// plain decimal numbers (ASCII or full-width digits, spaces around them ignored) below 65536 and
// the town id is between 1 and 2^31 - 1.
std::optional<int64_t> ResidenceKey(int64_t positionId, std::u16string_view block,
                                    std::u16string_view residence);

}  // namespace mok::db
