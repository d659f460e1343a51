#include "db/import/residence_rowids.h"

#include <algorithm>

#include "db/residence_key.h"

namespace mok::db {

ResidenceRowids::ResidenceRowids(std::optional<int64_t> smallestRowid)
    : nextUnkeyed_(std::min<int64_t>(smallestRowid.value_or(0), 0) - 1) {}

int64_t ResidenceRowids::For(int64_t positionId, std::u16string_view block,
                             std::u16string_view residence, std::u16string_view residence2) {
  if (residence2.empty()) {
    if (const auto key = ResidenceKey(positionId, block, residence);
        key && keys_.insert(*key).second)
      return *key;
  }
  return nextUnkeyed_--;
}

}  // namespace mok::db
