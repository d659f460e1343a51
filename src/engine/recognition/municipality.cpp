// Prefecture and municipality recognition: where the prefecture and the municipality (市区町村)
// of an address end.
//
// The prefecture is found by name at the start of the text and may be missing. Municipalities
// have no list to compare with in the text itself, so candidates are cut at the suffixes 市 区 郡
// 町 村 and each is confirmed against the region database. A city may carry a ward (大阪市北区)
// and a county a town or village (虻田郡倶知安町): the second part is tried first. The last
// occurrence of a suffix is tried before earlier ones, so that 「千葉県船橋市市場1丁目」 first
// tries 「船橋市市」, which the database does not confirm, and then 「船橋市」. Suffixes are tried
// in the order 市 区 郡 町 村, so 「町田市」 is found through 市 before 町 could cut it.
#include <vector>

#include "engine/recognition/recognizer.h"
#include "engine/rules/fixed_tables.h"
#include "text/text.h"

namespace mok::engine {

namespace {

constexpr int kMaxSecondParts = 10;

struct SecondPart {
  std::u16string text;
  int32_t last = 0;  // 1-based position of its last character in the address text
};

// 1-based position of the last occurrence of find that begins at or before `from`; 0 when none
// or when `from` lies before the text.
int32_t FindLastFrom(const std::u16string& text, std::u16string_view find, int32_t from) {
  if (from < 1)
    return 0;
  return static_cast<int32_t>(text::InStrRev(text, find, static_cast<std::size_t>(from)));
}

}  // namespace

std::u16string Recognizer::FindPrefecture(std::u16string_view text, int32_t& nextPos) {
  std::u16string name = database_.FindPrefectureName(text, nextPos);
  if (name.empty())
    nextPos = 1;
  return name;
}

int16_t Recognizer::SplitPrefectureAndMunicipality(const std::u16string& firstField,
                                                   std::u16string& prefecture,
                                                   CityPartList& cityParts, std::u16string& rest) {
  std::u16string text = firstField;
  int32_t nextPos = 1;
  prefecture = FindPrefecture(text, nextPos);
  int32_t pos = nextPos;
  if (static_cast<int32_t>(text.size()) < nextPos) {
    // The prefecture fills the field: the municipality is in the next one.
    pos = 1;
    text = fields_.NextAddressField();
  }
  const std::u16string municipality = FindMunicipality(text, pos, prefecture, cityParts);
  if (municipality.empty())
    return kNoCity;
  rest = text::Mid(text, static_cast<std::size_t>(pos));
  return kConverted;
}

std::u16string Recognizer::FindMunicipality(std::u16string& text, int32_t& pos,
                                            std::u16string& prefecture, CityPartList& cityParts) {
  std::u16string work;
  if (pos > static_cast<int32_t>(text.size())) {
    pos = 1;
  } else {
    work = text;
  }
  // A municipality name may be split over two fields.
  work += fields_.NextAddressField();
  std::u16string found = MatchMunicipality(work, pos, prefecture, cityParts);
  text = std::move(work);
  return found;
}

std::u16string Recognizer::MatchMunicipality(const std::u16string& text, int32_t& pos,
                                             std::u16string& prefecture, CityPartList& cityParts) {
  const FixedTables& tables = LoadFixedNames();
  const int32_t length = static_cast<int32_t>(text.size());
  if (pos > length)
    return {};
  constexpr std::u16string_view kWard = u"区";
  constexpr std::u16string_view kTown = u"町";
  constexpr std::u16string_view kVillage = u"村";
  std::vector<SecondPart> seconds;
  for (int i = 1; i <= kPlaceSuffixCount; ++i) {
    const std::u16string_view suffix = tables.PlaceSuffixes[i];
    if (suffix.empty())
      continue;
    const int32_t suffixLength = static_cast<int32_t>(suffix.size());
    const int32_t start = pos;
    int32_t searchEnd = length;
    do {
      // The last occurrence of the suffix that ends at or before searchEnd.
      const int32_t s = FindLastFrom(text, suffix, searchEnd - suffixLength + 1);
      if (s > pos) {
        cityParts[1] = text::Mid(text, static_cast<std::size_t>(start),
                                 static_cast<std::size_t>(s - start + suffixLength));
        const int32_t firstLength = static_cast<int32_t>(cityParts[1].size());
        const int32_t after = s + suffixLength;  // first position after the suffix
        seconds.clear();
        auto add = [&](int32_t last) {
          seconds.push_back({text::Mid(text, static_cast<std::size_t>(after),
                                       static_cast<std::size_t>(last - after + 1)),
                             last});
        };
        if (suffix == u"市") {
          // A ward of the city: only the last 区, nothing else can follow the city.
          const int32_t r = FindLastFrom(text, kWard, searchEnd);
          if (r > s && r > 1)
            add(r);
        } else if (suffix == u"郡") {
          // Towns, then villages of the county; a name may hold several 町 (倶知安町北町).
          int32_t from = searchEnd;
          for (int32_t q = FindLastFrom(text, kTown, from);
               q > s && q > 1 && static_cast<int>(seconds.size()) < kMaxSecondParts;
               q = FindLastFrom(text, kTown, from)) {
            add(q);
            from = q - 1;
          }
          for (int32_t q = FindLastFrom(text, kVillage, from);
               q > s && q > 1 && static_cast<int>(seconds.size()) < kMaxSecondParts;
               q = FindLastFrom(text, kVillage, from)) {
            add(q);
            from = q - 1;
          }
        }
        if (static_cast<int>(seconds.size()) >= kMaxSecondParts)
          break;  // too many to try: this suffix is given up
        // The shortest second part was collected last and is tried first.
        for (auto it = seconds.rbegin(); it != seconds.rend(); ++it) {
          cityParts[2] = it->text;
          if (database_.FindCityCandidates(prefecture, cityParts, result_)) {
            pos = it->last + 1;
            return cityParts[1] + cityParts[2];
          }
        }
        cityParts[2].clear();
        if (database_.FindCityCandidates(prefecture, cityParts, result_)) {
          pos += firstLength;
          return cityParts[1] + cityParts[2];
        }
      }
      searchEnd = s - suffixLength;
    } while (searchEnd > pos);
  }
  return {};
}

}  // namespace mok::engine
