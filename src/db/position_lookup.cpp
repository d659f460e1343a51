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
// a try), and a suffix test cannot use an index, so the distinct municipality names of POSITION
// are read once per region file and matched in memory; the rows of a municipality are read by
// an indexed query the first time it fits and kept with the names.
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "db/address_database.h"
#include "db/connection.h"
#include "db/nocase.h"
#include "text/text.h"

namespace mok::db {

struct RegionCityCache {
  // What the names were read from: a change of connection, file or data reads them again.
  const Connection* connection = nullptr;
  std::u16string path;
  std::filesystem::file_time_type stamp{};
  int64_t dataVersion = -1;

  std::vector<std::u16string> cities;           // distinct fld市区町村名, in table order
  std::vector<std::vector<CandidateRow>> rows;  // rows[i]: the POSITION rows of cities[i]
  std::vector<char> rowsLoaded;                 // rows[i] has been read

  // Addresses counted by StartAddress (0: never called, check at every call) and the address at
  // which the names were last checked against the file.
  uint64_t address = 0;
  uint64_t checkedAt = 0;
};

namespace {

std::filesystem::file_time_type FileStamp(const std::u16string& path) {
  std::error_code ec;
  const auto stamp = std::filesystem::last_write_time(
      std::filesystem::path(
          std::u8string(reinterpret_cast<const char8_t*>(text::ToUtf8(path).c_str()))),
      ec);
  return ec ? std::filesystem::file_time_type{} : stamp;
}

DbResult<int64_t> DataVersion(Connection& db) {
  static const std::string kSql = "pragma data_version";
  auto st = db.Prepare(kSql);
  if (!st)
    return st.error();
  ScopedReset reset(*st);
  auto row = (*st)->Step();
  if (!row)
    return row.error();
  return *row ? (*st)->Int(0) : int64_t{0};
}

// Makes the cache describe the region database `db`, reading the municipality names again when
// it was filled from another connection or file, or the file has changed since.
DbStatus RefreshCities(Connection& db, RegionCityCache& cache) {
  // Checking the file costs a statement of its own; within one address it cannot have changed
  // in a way the address should see.
  if (cache.connection == &db && cache.address != 0 && cache.checkedAt == cache.address)
    return {};
  auto version = DataVersion(db);
  if (!version)
    return version.error();
  const auto stamp = FileStamp(db.path());
  if (cache.connection == &db && cache.path == db.path() && cache.stamp == stamp &&
      cache.dataVersion == *version) {
    cache.checkedAt = cache.address;
    return {};
  }
  const uint64_t address = cache.address;
  cache = RegionCityCache{};
  cache.address = address;
  // Grouping follows the column's collation, so names differing only in ASCII case are one
  // entry; the row query below fetches all of them, as an equality criterion would.
  static const std::string kSql =
      "select fld市区町村名 from POSITION where fld市区町村名 is not null"
      " group by fld市区町村名 order by min(rowid)";
  auto st = db.Prepare(kSql);
  if (!st)
    return st.error();
  {
    ScopedReset reset(*st);
    while (true) {
      auto row = (*st)->Step();
      if (!row)
        return row.error();
      if (!*row)
        break;
      cache.cities.push_back((*st)->Text(0));
    }
  }
  cache.rows.resize(cache.cities.size());
  cache.rowsLoaded.assign(cache.cities.size(), 0);
  cache.connection = &db;
  cache.path = db.path();
  cache.stamp = stamp;
  cache.dataVersion = *version;
  cache.checkedAt = address;
  return {};
}

DbStatus LoadCityRows(Connection& db, RegionCityCache& cache, std::size_t index) {
  if (cache.rowsLoaded[index])
    return {};
  static const std::string kSql =
      "select fld都道府県名, fld市区町村名, fld大字・町丁目 from POSITION"
      " where fld市区町村名 = ?1 order by rowid";
  auto st = db.Prepare(kSql);
  if (!st)
    return st.error();
  ScopedReset reset(*st);
  (*st)->BindText(1, cache.cities[index]);
  std::vector<CandidateRow>& rows = cache.rows[index];
  rows.clear();
  while (true) {
    auto row = (*st)->Step();
    if (!row) {
      rows.clear();
      return row.error();
    }
    if (!*row)
      break;
    rows.push_back({(*st)->Text(0), (*st)->Text(1), (*st)->Text(2)});
  }
  cache.rowsLoaded[index] = 1;
  return {};
}

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
  ++cityCache_->address;
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
  if (auto s = RefreshCities(*regionDb_, cache); !s)
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
      if (auto s = LoadCityRows(*regionDb_, cache, i); !s)
        return s;
      for (const CandidateRow& row : cache.rows[i]) {
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
