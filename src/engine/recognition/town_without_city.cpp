// A town written without its municipality (紀尾井町1-3, 手稲前田555-3): the extended matching
// looks for the town among every municipality of the region, or of the prefecture the address
// names. The candidates are the towns whose name begins with the first two characters of the
// town text (a town of one character would be a guess among hundreds), in every variant
// spelling of them; the town match then takes the town only where one municipality has it, so
// a name several municipalities share fails the address as ambiguous instead of picking one.
#include <algorithm>

#include "engine/recognition/address_context.h"
#include "engine/recognition/recognizer.h"
#include "engine/recognition/town_prefix.h"
#include "engine/recognition/town_split.h"
#include "engine/recognition/variant_fold.h"
#include "engine/rules/numerals.h"
#include "text/nocase.h"

namespace mok::engine {

namespace {

// The characters of the town text its candidates must begin with.
constexpr std::size_t kStartLength = 2;
// The most spellings of those characters asked for.
constexpr std::size_t kMaxSpellings = 16;

}  // namespace

bool Recognizer::FindTownsWithoutCity(AddressContext& context, const std::u16string& rest,
                                      TextSplit& split) const {
  const TownSplit town = SplitTownAndNumbers(rest, settings_.fixedTerms, {.buildingApart = true});
  const std::u16string name(WithoutOaza(DigitRunsToKanji(town.townName)));
  if (name.size() < kStartLength)
    return false;
  const std::u16string start = name.substr(0, kStartLength);
  std::vector<std::u16string> starts{start};
  for (std::u16string& spelling : variants_.Spellings(start, kMaxSpellings))
    starts.push_back(std::move(spelling));
  std::vector<TownRow>& rows = split.townRows;
  const std::u16string& prefecture = split.parts.prefecture;
  for (const std::u16string& s : starts) {
    auto found = context.store.FindTownsBeginning(s);
    if (!found) {
      context.Fail(found.error());
      return false;
    }
    // A 丁目 written after the first number names a town of chomes: 大室2丁目 is no address of
    // a plain 大室 elsewhere.
    for (TownRow& row : *found) {
      if ((prefecture.empty() || text::EqualsNoCase(row.prefecture, prefecture)) &&
          (!town.chomeInOaza || row.town.find(u"丁目") != std::u16string::npos))
        rows.push_back(std::move(row));
    }
  }
  // One group of rows per municipality, in the order met.
  auto groups = GroupByMunicipality(rows);
  split.candidates.Clear();
  for (auto& group : groups)
    split.candidates.AddMunicipality(std::move(group));
  split.townOnly = true;
  return !rows.empty();
}

Recognizer::CityParts Recognizer::SplitStoredCity(const TownRow& row) {
  const std::u16string& stored = row.city;
  // A city with a ward (大阪市北区), else a county with a town or village (余市郡余市町).
  if (const std::size_t city = stored.find(u'市');
      city != std::u16string::npos && city + 2 < stored.size() && stored.back() == u'区')
    return {row.prefecture, stored.substr(0, city + 1), stored.substr(city + 1)};
  if (const std::size_t county = stored.find(u'郡');
      county != std::u16string::npos && county + 2 < stored.size())
    return {row.prefecture, stored.substr(0, county + 1), stored.substr(county + 1)};
  return {row.prefecture, stored, {}};
}

}  // namespace mok::engine
