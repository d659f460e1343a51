// Which of the 19 plane rectangular coordinate systems (平面直角座標系, JGD2011) a point belongs
// to. The zones follow prefecture borders, except where a prefecture spans several: Tokyo's far
// islands (小笠原村 is zone XIV, 沖ノ鳥島 XVIII, 南鳥島 XIX: everything south of 28°N by
// longitude), Okinawa (XV/XVI/XVII by longitude) and Kagoshima's western islands (zone I).
// Hokkaido is divided by municipality (XI/XII/XIII) and is not known here.
//
//   PlaneZone(u"東京都", 35.68, 139.77) == 9;  PlaneZone(u"東京都", 27.07, 142.21) == 14
#pragma once

#include <optional>
#include <string_view>

namespace mok::db {

// The zone number 1..19 for a point of `prefecture` (name with its type, e.g. 東京都), or
// nullopt when it is not known.
std::optional<int> PlaneZone(std::u16string_view prefecture, double latitude, double longitude);

}  // namespace mok::db
