// The rowids the registry import gives the residences it writes into 住居 (residence_key.h): a
// residence without 住居番号2 is stored under its key, so that the lookup finds it by one seek;
// a row with 住居番号2, numbers that make no key, or a second row of the same key gets the next
// negative rowid, below every row of the table, and is found by the numbers' index.
//
//   522 "1" "1" ""    -> ResidenceKey (522, 1, 1)
//   522 "1" "1" ""    -> -1  (the same residence again: the first keeps the key)
//   522 "2" "3" "1"   -> -2
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_set>

namespace mok::db {

class ResidenceRowids {
 public:
  // `smallestRowid`: the table's smallest rowid before the import (nullopt when it is empty).
  explicit ResidenceRowids(std::optional<int64_t> smallestRowid);
  int64_t For(int64_t positionId, std::u16string_view block, std::u16string_view residence,
              std::u16string_view residence2);

 private:
  std::unordered_set<int64_t> keys_;
  int64_t nextUnkeyed_;
};

}  // namespace mok::db
