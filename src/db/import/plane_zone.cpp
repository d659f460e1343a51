#include "db/import/plane_zone.h"

#include <array>
#include <utility>

namespace mok::db {
namespace {

// Prefectures that lie wholly (or, for Tokyo, Okinawa and Kagoshima, mainly) in one zone.
constexpr std::array<std::pair<std::u16string_view, int>, 45> kPrefectureZones{{
    {u"長崎県", 1},  {u"福岡県", 2},   {u"佐賀県", 2},  {u"熊本県", 2},   {u"大分県", 2},
    {u"宮崎県", 2},  {u"鹿児島県", 2}, {u"山口県", 3},  {u"島根県", 3},   {u"広島県", 3},
    {u"香川県", 4},  {u"愛媛県", 4},   {u"徳島県", 4},  {u"高知県", 4},   {u"兵庫県", 5},
    {u"鳥取県", 5},  {u"岡山県", 5},   {u"京都府", 6},  {u"大阪府", 6},   {u"福井県", 6},
    {u"滋賀県", 6},  {u"三重県", 6},   {u"奈良県", 6},  {u"和歌山県", 6}, {u"石川県", 7},
    {u"富山県", 7},  {u"岐阜県", 7},   {u"愛知県", 7},  {u"新潟県", 8},   {u"長野県", 8},
    {u"山梨県", 8},  {u"静岡県", 8},   {u"東京都", 9},  {u"福島県", 9},   {u"栃木県", 9},
    {u"茨城県", 9},  {u"埼玉県", 9},   {u"千葉県", 9},  {u"群馬県", 9},   {u"神奈川県", 9},
    {u"青森県", 10}, {u"秋田県", 10},  {u"山形県", 10}, {u"岩手県", 10},  {u"宮城県", 10},
}};

constexpr double kDegree = 1.0;
constexpr double kMinute = kDegree / 60.0;

}  // namespace

std::optional<int> PlaneZone(std::u16string_view prefecture, double latitude, double longitude) {
  if (prefecture == u"沖縄県") {
    if (longitude < 126.0)
      return 16;
    if (longitude < 130.0)
      return 15;
    return 17;
  }
  if (prefecture == u"東京都" && latitude < 28.0) {
    if (longitude < 140.0 + 30 * kMinute)
      return 18;
    if (longitude < 143.0)
      return 14;
    return 19;
  }
  if (prefecture == u"鹿児島県") {
    // Zone I: the islands between 27°N and 32°N west of 130°E (Amami as far as 130°13'E).
    const bool westIslands = latitude > 27.0 && latitude < 32.0 && longitude < 130.0;
    const bool amami = latitude > 27.0 && latitude < 28.6 && longitude < 130.0 + 13 * kMinute;
    return (westIslands || amami) ? 1 : 2;
  }
  for (const auto& [name, zone] : kPrefectureZones) {
    if (name == prefecture)
      return zone;
  }
  return std::nullopt;
}

}  // namespace mok::db
