// What the lookups below the town give back: the point of a residence, a parcel or a block row,
// with its columns read as text as the block tables store them (Null read as "").
#pragma once

#include <optional>
#include <string>

namespace mok::db {

struct StoredPoint {
  std::u16string coordSystemNo;  // fld座標系番号
  std::u16string x;              // fldＸ座標 (northing)
  std::u16string y;              // fldＹ座標 (easting)
  std::u16string latitude;       // fld緯度
  std::u16string longitude;      // fld経度
  bool operator==(const StoredPoint&) const = default;
};

// One row of a town's block table.
struct BlockPoint {
  std::optional<std::u16string> number;  // fld街区・番地; Null for the town's representative row
  StoredPoint point;
  // The registry import placed the block at the centre of its residences' points, having no
  // block point for it.
  bool derived = false;
};

}  // namespace mok::db
