// AddressDatabase's lookups below the town, answered by the selected region's database.
#include "db/address_database.h"

namespace mok::db {

DbResult<std::optional<StoredPoint>> AddressDatabase::FindResidence(
    const engine::TownPosition& town, std::u16string_view block, std::u16string_view residence,
    std::optional<std::u16string_view> residence2) {
  if (!regionDb_)
    return NotOpen(u"the region database");
  return regionDb_->FindResidence(town, block, residence, residence2);
}

DbResult<std::optional<StoredPoint>> AddressDatabase::FindParcel(
    const engine::TownPosition& town, std::u16string_view main,
    std::optional<std::u16string_view> branch, std::optional<std::u16string_view> branch2) {
  if (!regionDb_)
    return NotOpen(u"the region database");
  return regionDb_->FindParcel(town, main, branch, branch2);
}

DbResult<std::optional<BlockPoint>> AddressDatabase::FindBlock(
    const engine::TownPosition& town, std::optional<std::u16string_view> number) {
  if (!regionDb_)
    return NotOpen(u"the region database");
  return regionDb_->FindBlock(town, number);
}

DbResult<std::optional<BlockPoint>> AddressDatabase::FindNearestBlock(
    const engine::TownPosition& town, int64_t number) {
  if (!regionDb_)
    return NotOpen(u"the region database");
  return regionDb_->FindNearestBlock(town, number);
}

}  // namespace mok::db
