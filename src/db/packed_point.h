// A residence's point as the 住居位置 table keeps it: the five values of a stored point in one
// text, so that a lookup reads one value of one row (through a blob handle moved from row to
// row, blob_reader.h) instead of five columns through a statement:
//
//   "9|-31497.007|-8744.818|35.716064411|139.736680675"
//    座標系番号 | Ｘ座標 | Ｙ座標 | 緯度 | 経度, each as the block tables write it
//   "|||35.7|139.7"   a town without a plane zone: the first three empty, read back as ""
//
// The values are numbers and hold no "|".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/address_store.h"

namespace mok::db {

std::u16string PackPoint(const engine::StoredPoint& point);
// The point of a packed text as the file holds it (UTF-8); nullopt unless it has exactly five
// parts.
std::optional<engine::StoredPoint> UnpackPoint(std::string_view packed);

// The same packing in SQL, of the five point columns of a row (Null as empty): the residences of
// a file made before 住居位置 kept their points in such columns of 住居.
inline constexpr char kPackPointColumnsSql[] =
    "ifnull(fld座標系番号, '') || '|' || ifnull(fldＸ座標, '') || '|' || ifnull(fldＹ座標, '') "
    "|| '|' || ifnull(fld緯度, '') || '|' || ifnull(fld経度, '')";

}  // namespace mok::db
