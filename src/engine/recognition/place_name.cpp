#include "engine/recognition/place_name.h"

#include <algorithm>
#include <array>

#include "engine/recognition/town_prefix.h"
#include "engine/rules/address_fields.h"
#include "engine/rules/numerals.h"

namespace mok::engine {

namespace {

constexpr std::u16string_view kOaza = u"大字";
// After a numeral, these make it part of a place name: 第7地割, 一区, 二十四部, 十線.
constexpr std::array<std::u16string_view, 4> kDivisions = {u"地割", u"区", u"部", u"線"};
constexpr std::array<std::u16string_view, 2> kPlaceMarks = {u"小字", u"字"};
// Endings of town names rather than place names: 緑が丘東 is more likely a town the region
// lacks than 緑が丘 and a place 東.
constexpr std::u16string_view kTownEndings = u"町村丁台丘東西南北";
constexpr std::array<std::u16string_view, 2> kTownEndingWords = {u"団地", u"ニュータウン"};
// The most numbers a lot (地番) has written without 丁目 or 号: 74-2.
constexpr std::size_t kMaxLotNumbers = 2;

bool IsDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９');
}

bool BeginsWithDivision(std::u16string_view text) {
  return std::any_of(kDivisions.begin(), kDivisions.end(),
                     [&](std::u16string_view word) { return text.starts_with(word); });
}

// The length of the older form's 元X村大字 (or 元X町大字) at the start of the text; 0 when none.
std::size_t FormerVillageLength(std::u16string_view text) {
  if (!text.starts_with(u"元"))
    return 0;
  const std::size_t oaza = text.find(kOaza);
  if (oaza == std::u16string_view::npos || oaza < 3)
    return 0;
  return text[oaza - 1] == u'村' || text[oaza - 1] == u'町' ? oaza + kOaza.size() : 0;
}

// Whether the place name holds a numbered division (numerals then 地割, 区, 部 or 線).
bool HoldsDivision(std::u16string_view place) {
  for (std::size_t i = 1; i < place.size(); ++i) {
    if (IsNumeralChar(place[i - 1]) && !IsNumeralChar(place[i]) &&
        BeginsWithDivision(place.substr(i)))
      return true;
  }
  return false;
}

// Whether every digit of the place name counts a division: 第7地割 holds no number of the
// address, 字北3 does.
bool DigitsOnlyInDivisions(std::u16string_view place) {
  for (std::size_t i = 0; i < place.size(); ++i) {
    if (!IsDigit(place[i]))
      continue;
    while (i < place.size() && IsNumeralChar(place[i]))
      ++i;
    if (!BeginsWithDivision(place.substr(i)))
      return false;
  }
  return true;
}

// One character alone is a place name when it counts places in a series (イ, ロ, ハ or い, ろ,
// は of the iroha order; 甲, 乙; 子, 丑 of the zodiac, as Ishikawa's 小字 are named); else it is
// more likely a town written with one character more (深田沢 for 深田).
bool IsSeriesMark(char16_t c) {
  return (c >= u'ア' && c <= u'ン') || (c >= u'ｱ' && c <= u'ﾝ') || (c >= u'ぁ' && c <= u'ん') ||
         std::u16string_view(u"甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉戌亥").find(c) !=
             std::u16string_view::npos;
}

bool EndsAsTownName(std::u16string_view place) {
  return (!place.empty() && kTownEndings.find(place.back()) != std::u16string_view::npos) ||
         std::any_of(kTownEndingWords.begin(), kTownEndingWords.end(),
                     [&](std::u16string_view word) { return place.ends_with(word); });
}

// Whether the text begins as the words of numbers do: a level word (番地 of 「本町三番地5」, not
// 番外地) or a separator.
bool BeginsAsNumbers(std::u16string_view place) {
  return (BeginsWithLevelWord(place) && !place.starts_with(u"番外")) ||
         (!place.empty() && IsLevelWordOrSeparator(0, place.substr(0, 1)));
}

std::u16string_view WithoutPlaceMark(std::u16string_view place) {
  for (const std::u16string_view mark : kPlaceMarks) {
    if (place.starts_with(mark))
      return place.substr(mark.size());
  }
  return place;
}

// Whether a and b differ by one character at most: one replaced, added or left out.
bool NearlyEqual(std::u16string_view a, std::u16string_view b, const VariantFold& fold) {
  if (a.size() < b.size())
    std::swap(a, b);
  if (a.size() - b.size() > 1)
    return false;
  std::size_t front = 0;
  while (front < b.size() && fold.SameChar(a[front], b[front]))
    ++front;
  std::size_t back = 0;
  while (back < b.size() - front && fold.SameChar(a[a.size() - 1 - back], b[b.size() - 1 - back]))
    ++back;
  return front + back + 1 >= a.size();
}

// Whether a stored name other than the town is the written town and place name with one
// character replaced, added or left out: a town misspelt, not a place (利賀村大豆下 for
// 利賀村大豆谷, 中反畑 for 八反畑).
bool NearlyAStoredName(std::u16string_view written, std::u16string_view town,
                       const TownCandidates& rows, const VariantFold& fold) {
  for (const TownRow& row : rows) {
    std::u16string_view name = row.town;
    if (name.starts_with(kOaza))
      name.remove_prefix(kOaza.size());
    if (!fold.Equals(name, town) && NearlyEqual(name, written, fold))
      return true;
  }
  return false;
}

std::size_t CountNumbers(const TownSplit& split) {
  return static_cast<std::size_t>(std::count_if(split.numbers.begin(), split.numbers.end(),
                                                [](const auto& n) { return !n.empty(); }));
}

// Whether what follows the town says it is a place name: a 字, a division, 番外地; or, weaker,
// a lot number after a town without chome and a name that does not end as town names do.
bool ReadsAsPlace(std::u16string_view place, const std::u16string& after,
                  const PlaceNameReading& reading) {
  if (WithoutPlaceMark(place).size() < place.size() || HoldsDivision(place) ||
      place.find(u"番外地") != std::u16string_view::npos)
    return true;
  return CountNumbers(reading.numbers) <= kMaxLotNumbers &&
         after.find(u'号') == std::u16string::npos && !EndsAsTownName(place) &&
         (place.size() > 1 || IsSeriesMark(place.front()));
}

}  // namespace

std::optional<PlaceNameReading> ReadPlaceName(const std::u16string& text,
                                              const TownCandidates& rows, const VariantFold& fold,
                                              const std::vector<FixedTerm>& fixedTerms) {
  std::size_t skip = 0;
  std::size_t town = TownPrefixLength(text, rows, fold, true);
  if (town == 0) {
    skip = FormerVillageLength(text);
    if (skip == 0)
      return std::nullopt;
    town = TownPrefixLength(std::u16string_view(text).substr(skip), rows, fold, true);
    if (town == 0)
      return std::nullopt;
  }
  PlaceNameReading reading;
  reading.town = text.substr(skip, town);
  const std::u16string after = text.substr(skip + town);
  reading.numbers =
      SplitTownAndNumbers(after, fixedTerms, {.buildingApart = true, .numbersAtEnd = true});
  const std::u16string place = reading.numbers.townName;
  // A chome after the place name makes the whole a town of its own, one the region lacks.
  if (reading.numbers.chomeInOaza || reading.numbers.unreadableNumber ||
      !DigitsOnlyInDivisions(place) || BeginsAsNumbers(place))
    return std::nullopt;
  if (place.empty() ? skip == 0 : !ReadsAsPlace(place, after, reading))
    return std::nullopt;
  // A place name that begins with a stored town (two characters or more) may be that town, and
  // where a shorter stored name begins the text as well (金成 beside 金成姉歯), the place name
  // may begin earlier.
  const std::u16string_view written = std::u16string_view(text).substr(skip);
  const std::size_t base = town - (written.starts_with(kOaza) ? kOaza.size() : 0);
  const std::u16string_view bare = written.substr(town - base);
  reading.twoWays =
      TownPrefixLength(WithoutPlaceMark(place), rows, fold) >= 2 ||
      TownPrefixLength(written, rows, fold, true, base) > 0 ||
      NearlyAStoredName(bare.substr(0, base + place.size()), bare.substr(0, base), rows, fold);
  reading.place = text.substr(0, skip) + place;
  reading.numbers.townName.clear();
  return reading;
}

}  // namespace mok::engine
