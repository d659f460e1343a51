#include "db/region_city_cache.h"

#include <filesystem>

#include "text/nocase.h"

namespace mok::db {

namespace {

// The text with ASCII letters in upper case: names compare as the column's collation does.
std::u16string UpperAscii(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out)
    c = text::AsciiUpper(c);
  return out;
}

// Offsets in the 100-byte header of an SQLite database file.
constexpr long kWriteVersionOffset = 18;   // 2: write-ahead log
constexpr long kChangeCounterOffset = 24;  // 4 bytes, big-endian

// Reads the change counter and the journal mode from the file header; false when unreadable.
bool ReadHeader(std::FILE* file, uint32_t& counter, bool& wal) {
  unsigned char header[kChangeCounterOffset + 4];
  if (std::fseek(file, 0, SEEK_SET) != 0 ||
      std::fread(header, 1, sizeof header, file) != sizeof header)
    return false;
  wal = header[kWriteVersionOffset] == 2;
  counter = (uint32_t{header[24]} << 24) | (uint32_t{header[25]} << 16) |
            (uint32_t{header[26]} << 8) | uint32_t{header[27]};
  return true;
}

std::FILE* OpenUnbuffered(const std::u16string& path) {
  const std::filesystem::path p(path);
#ifdef _WIN32
  std::FILE* file = _wfopen(p.c_str(), L"rb");
#else
  std::FILE* file = std::fopen(p.c_str(), "rb");
#endif
  // Unbuffered, so that every read goes to the file and never answers from an old buffer.
  if (file != nullptr)
    std::setvbuf(file, nullptr, _IONBF, 0);
  return file;
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

}  // namespace

DbStatus RegionCityCache::Refresh(Connection& db) {
  if (loaded_ && ((inSnapshot_ && checkedSnapshot_ == snapshot_) ||
                  (address_ != 0 && checkedAt_ == address_))) {
    return {};
  }
  if (!Fresh(db)) {
    if (auto s = Load(db); !s)
      return s;
  }
  checkedAt_ = address_;
  checkedSnapshot_ = snapshot_;
  return {};
}

bool RegionCityCache::Fresh(Connection& db) {
  if (!loaded_ || !file_)
    return false;
  if (wal_) {
    auto version = DataVersion(db);
    return version && *version == dataVersion_;
  }
  uint32_t counter = 0;
  bool wal = false;
  return ReadHeader(file_.get(), counter, wal) && !wal && counter == changeCounter_;
}

DbStatus RegionCityCache::Load(Connection& db) {
  loaded_ = false;
  ++generation_;
  cities_.clear();
  rows_.clear();
  positions_.clear();
  rowsLoaded_.clear();

  // The version is taken before the names are read: a change in between is seen next time.
  file_.reset(OpenUnbuffered(db.path()));
  if (!file_ || !ReadHeader(file_.get(), changeCounter_, wal_))
    file_.reset();
  if (wal_) {
    auto version = DataVersion(db);
    if (!version)
      return version.error();
    dataVersion_ = *version;
  }

  // Grouping follows the column's collation, so names differing only in ASCII case are one
  // entry; the row query fetches all of them, as an equality criterion would.
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
      if (!row) {
        cities_.clear();
        return row.error();
      }
      if (!*row)
        break;
      cities_.push_back((*st)->Text(0));
    }
  }
  byEnding_.clear();
  byName_.clear();
  for (std::size_t i = 0; i < cities_.size(); ++i) {
    const std::u16string key = UpperAscii(cities_[i]);
    byName_[key].push_back(i);
    for (std::size_t start = 0; start < key.size(); ++start)
      byEnding_[key.substr(start)].push_back(i);
  }
  rows_.resize(cities_.size());
  positions_.resize(cities_.size());
  rowsLoaded_.assign(cities_.size(), 0);
  loaded_ = true;
  return {};
}

std::vector<std::size_t> RegionCityCache::Find(std::u16string_view name, bool endsWith) const {
  const auto& index = endsWith ? byEnding_ : byName_;
  const auto it = index.find(UpperAscii(name));
  return it == index.end() ? std::vector<std::size_t>() : it->second;
}

DbResult<const std::vector<engine::TownRow>*> RegionCityCache::Rows(Connection& db,
                                                                    std::size_t index,
                                                                    bool registry) {
  std::vector<engine::TownRow>& rows = rows_[index];
  if (rowsLoaded_[index])
    return &rows;
  static const std::string kSql =
      "select fld都道府県名, fld市区町村名, fld大字・町丁目, fldTableName, fldID, "
      "fld市区町村コード, "
      "0, 0 from POSITION p where fld市区町村名 = ?1 order by rowid";
  static const std::string kRegistrySql =
      "select fld都道府県名, fld市区町村名, fld大字・町丁目, fldTableName, fldID, "
      "fld市区町村コード, " +
      std::string(kRegistryRowsPresent) +
      " from POSITION p where fld市区町村名 = ?1 order by rowid";
  auto st = db.Prepare(registry ? kRegistrySql : kSql);
  if (!st)
    return st.error();
  ScopedReset reset(*st);
  (*st)->BindText(1, cities_[index]);
  rows.clear();
  std::vector<std::optional<engine::TownPosition>>& positions = positions_[index];
  positions.clear();
  while (true) {
    auto row = (*st)->Step();
    if (!row) {
      rows.clear();
      positions.clear();
      return row.error();
    }
    if (!*row)
      break;
    const Statement& r = **st;
    rows.push_back({r.Text(0), r.Text(1), r.Text(2)});
    const bool complete = !r.IsNull(3) && !r.IsNull(4) && !r.IsNull(5);
    positions.push_back(complete
                            ? std::optional(engine::TownPosition{r.Text(3), r.Int(4), r.Text(5),
                                                                 r.Int(6) != 0, r.Int(7) != 0})
                            : std::nullopt);
  }
  rowsLoaded_[index] = 1;
  return &rows;
}

std::optional<engine::TownPosition> RegionCityCache::FindPosition(std::u16string_view prefecture,
                                                                  std::u16string_view city,
                                                                  std::u16string_view town) const {
  for (const std::size_t index : Find(city, false)) {
    if (!rowsLoaded_[index])
      continue;
    const auto& rows = rows_[index];
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (text::EqualsNoCase(rows[i].town, town) &&
          text::EqualsNoCase(rows[i].prefecture, prefecture)) {
        return positions_[index][i];
      }
    }
  }
  return std::nullopt;
}

}  // namespace mok::db
