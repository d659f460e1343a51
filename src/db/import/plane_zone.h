// Which of the 19 plane rectangular coordinate systems (平面直角座標系, JGD2011) a point belongs
// to. The zones follow prefecture borders, except where a prefecture spans several: Tokyo's far
// islands (小笠原村 is zone XIV, 沖ノ鳥島 XVIII, 南鳥島 XIX: everything south of 28°N by
// longitude), Okinawa (XV/XVI/XVII by longitude), Kagoshima's western islands (zone I) and
// Hokkaido, which is divided by municipality: the west (渡島, 檜山, 後志 and a few towns of 胆振)
// is XI, the east (十勝, 釧路, 根室 and part of オホーツク) XIII, the rest XII.
//
//   PlaneZone(u"東京都", u"千代田区", 35.68, 139.77) == 9
//   PlaneZone(u"東京都", u"小笠原村", 27.07, 142.21) == 14
//   PlaneZone(u"北海道", u"函館市", 41.77, 140.73) == 11
#pragma once

#include <optional>
#include <string_view>

namespace mok::db {

// The zone number 1..19 for a point of `municipality` in `prefecture` (name with its type, e.g.
// 東京都), or nullopt when it is not known.
std::optional<int> PlaneZone(std::u16string_view prefecture, std::u16string_view municipality,
                             double latitude, double longitude);

}  // namespace mok::db
