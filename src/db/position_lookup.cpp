// Position lookup: which prefecture an address begins with (by its kanji or its katakana name),
// and which municipalities of the region database fit the municipality text the recognition cut
// from the address.
//
// The municipality text comes in one or two parts: 「札幌市」 + 「中央区」, or 「中央区」 alone. A
// stored name fits two parts when it equals either part or both joined, and fits one part when it
// ends with it, so 「中央区」 alone finds both 札幌市中央区 and 千葉市中央区. The POSITION rows of
// every fitting municipality become the candidate rows of the town step, and the parts are
// rewritten into the stored spelling (「中央区」 becomes 「札幌市中央区」). A municipality text
// that fits nothing is tried once more after the learning dictionary (kind 2) has rewritten it.
//
// The city step runs several times for every address (each cut of the text at 市 区 郡 町 村 is
// a try), and a suffix test cannot use an index, so the names and rows are matched in memory
// (region_city_cache.h).
#include <string>
#include <vector>

#include "db/address_database.h"
#include "db/connection.h"
#include "db/nocase.h"
#include "db/region_city_cache.h"
#include "text/text.h"

namespace mok::db {

namespace {

// Whether a stored municipality name fits the parts. Two parts: the name equals the first, the
// second or both joined. One part: the name ends with it, or, on the try after the learning
// dictionary (`contained`), the name occurs anywhere inside it.
bool CityFits(std::u16string_view stored, const std::u16string& p1, const std::u16string& p2,
              const std::u16string& joined, bool contained) {
  if (!p2.empty())
    return EqualsNoCase(stored, p1) || EqualsNoCase(stored, p2) || EqualsNoCase(stored, joined);
  if (contained)
    return FindNoCase(p1, stored) > 0;
  return EndsWithNoCase(stored, p1);
}

}  // namespace

std::u16string AddressDatabase::FindPrefectureName(std::u16string_view text,
                                                   int32_t& nextPos) const {
  if (text.empty())
    return {};
  for (int i = 1; i <= PrefCount; ++i) {
    const std::u16string& name = PrefNames[i];
    const std::size_t n = std::min(name.size(), text.size());
    if (text::EqualsFold(std::u16string_view(name).substr(0, n), text.substr(0, n))) {
      nextPos = static_cast<int32_t>(n) + 1;
      return name;
    }
  }
  return {};
}

std::u16string AddressDatabase::FindPrefectureByKana(std::u16string_view text,
                                                     int32_t& nextPos) const {
  for (int i = 1; i <= PrefCount; ++i) {
    const std::u16string& kana = PrefKanaNames[i];
    const std::size_t length = kana.size();
    if (text.size() < length || !text::EqualsFold(text.substr(0, length), kana))
      continue;
    std::size_t pos = length;
    const std::u16string& suffix = PrefKanaSuffixes[i];
    if (text.size() >= pos + suffix.size() &&
        text::EqualsFold(text.substr(pos, suffix.size()), suffix)) {
      pos += suffix.size();
    }
    nextPos = static_cast<int32_t>(pos) + 1;
    return PrefNames[i];
  }
  return {};
}

void AddressDatabase::StartAddress() {
  if (!cityCache_)
    cityCache_ = std::make_shared<RegionCityCache>();
  cityCache_->StartAddress();
}

bool AddressDatabase::FindCityCandidates(std::u16string& prefecture,
                                         std::array<std::u16string, 3>& cityParts,
                                         engine::AddressResult& result) {
  // A new city step replaces the candidate rows of the previous one.
  CandidateRows.clear();
  CandidateRowsOpen = false;
  if (!OpenRegionDatabase(StrSelectedRegion) || !regionDb_)
    return false;
  auto fail = [this](const DbError& error) {
    CandidateRows.clear();
    CandidateRowsOpen = false;
    prompter_.ShowMessage(error.Text() + u"\r\n");
    return false;
  };
  if (!cityCache_)
    cityCache_ = std::make_shared<RegionCityCache>();
  RegionCityCache& cache = *cityCache_;
  if (auto s = cache.Refresh(*regionDb_); !s)
    return fail(s.error());

  std::u16string& p1 = cityParts[1];
  std::u16string& p2 = cityParts[2];

  // Fills CandidateRows with the rows of every fitting municipality. When the address names its
  // prefecture, municipalities of another prefecture are left out: a region database that lacks
  // the named prefecture must not answer 大阪市北区 with the 北区 of 東京都.
  auto select = [&](bool contained) -> DbStatus {
    CandidateRows.clear();
    const std::u16string joined = p1 + p2;
    for (std::size_t i = 0; i < cache.cities.size(); ++i) {
      if (!CityFits(cache.cities[i], p1, p2, joined, contained))
        continue;
      auto rows = cache.Rows(*regionDb_, i);
      if (!rows)
        return rows.error();
      for (const CandidateRow& row : **rows) {
        if (prefecture.empty() || EqualsNoCase(row.prefecture, prefecture))
          CandidateRows.push_back(row);
      }
    }
    return {};
  };

  if (auto s = select(false); !s)
    return fail(s.error());
  if (CandidateRows.empty()) {
    int replaced = 0;
    for (std::u16string* part : {&p1, &p2}) {
      if (part->empty())
        continue;
      DbError error;
      auto answer = LookupLearnedWord(2, *part, result, &error);
      if (!answer)
        return fail(error);
      if (!answer->empty()) {
        *part = *answer;
        ++replaced;
      }
    }
    if (replaced == 0)
      return false;
    if (auto s = select(p2.empty()); !s)
      return fail(s.error());
    if (CandidateRows.empty())
      return false;
  }
  CandidateRowsOpen = true;

  // The first row decides the prefecture and the stored spelling of the parts.
  const CandidateRow& first = CandidateRows.front();
  prefecture = first.prefecture;
  const std::u16string& stored = first.city;
  std::size_t n = stored.size();
  if (!p2.empty()) {
    const std::size_t u = text::InStr(stored, p2);
    if (u > 0) {
      p2 = text::Mid(stored, u);
      n = u - 1;
    } else {
      p2.clear();
    }
  }
  if (!p1.empty()) {
    if (text::InStr(stored, p1) > 0 && n > 0)
      p1 = text::Left(stored, n);
    else
      p1.clear();
  }
  return true;
}

}  // namespace mok::db
