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

// Hokkaido municipalities outside zone XII.
constexpr std::u16string_view kHokkaidoWest[] = {
    // 渡島
    u"函館市", u"北斗市", u"松前町", u"福島町", u"知内町", u"木古内町", u"七飯町", u"鹿部町",
    u"森町", u"八雲町", u"長万部町",
    // 檜山
    u"江差町", u"上ノ国町", u"厚沢部町", u"乙部町", u"奥尻町", u"今金町", u"せたな町",
    // 後志
    u"小樽市", u"島牧村", u"寿都町", u"黒松内町", u"蘭越町", u"ニセコ町", u"真狩村", u"留寿都村",
    u"喜茂別町", u"京極町", u"倶知安町", u"共和町", u"岩内町", u"泊村", u"神恵内村", u"積丹町",
    u"古平町", u"仁木町", u"余市町", u"赤井川村",
    // 胆振 (part)
    u"伊達市", u"豊浦町", u"壮瞥町", u"洞爺湖町"};
constexpr std::u16string_view kHokkaidoEast[] = {
    // オホーツク (part)
    u"北見市", u"網走市", u"美幌町", u"津別町", u"斜里町", u"清里町", u"小清水町", u"訓子府町",
    u"置戸町", u"佐呂間町", u"大空町",
    // 十勝
    u"帯広市", u"音更町", u"士幌町", u"上士幌町", u"鹿追町", u"新得町", u"清水町", u"芽室町",
    u"中札内村", u"更別村", u"大樹町", u"広尾町", u"幕別町", u"池田町", u"豊頃町", u"本別町",
    u"足寄町", u"陸別町", u"浦幌町",
    // 釧路
    u"釧路市", u"釧路町", u"厚岸町", u"浜中町", u"標茶町", u"弟子屈町", u"鶴居村", u"白糠町",
    // 根室
    u"根室市", u"別海町", u"中標津町", u"標津町", u"羅臼町",
    // the villages of the northern islands; 泊村 with its district, since 後志 has a 泊村 too
    u"色丹村", u"国後郡泊村", u"留夜別村", u"留別村", u"紗那村", u"蘂取村"};

// Whether `name` is one of the list, alone or after its district (余市郡余市町).
template <std::size_t N>
bool Contains(const std::u16string_view (&list)[N], std::u16string_view name) {
  for (auto entry : list) {
    if (name == entry)
      return true;
    if (name.size() > entry.size() && name.ends_with(entry) &&
        name[name.size() - entry.size() - 1] == u'郡') {
      return true;
    }
  }
  return false;
}

constexpr double kDegree = 1.0;
constexpr double kMinute = kDegree / 60.0;

}  // namespace

std::optional<int> PlaneZone(std::u16string_view prefecture, std::u16string_view municipality,
                             double latitude, double longitude) {
  if (prefecture == u"北海道") {
    // The east first: its 国後郡泊村 must not be taken for 後志's 泊村 (古宇郡泊村).
    if (Contains(kHokkaidoEast, municipality))
      return 13;
    if (Contains(kHokkaidoWest, municipality))
      return 11;
    return 12;
  }
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
