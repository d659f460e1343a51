// The municipality names of a region database's POSITION table and the rows of each municipality,
// held in memory for the city step, which tries several cuts of every address and matches names
// by their ending (a test no index can answer).
//
// The names are read once; the rows of a municipality when it first fits. Both are read again
// when the file changed since: the change counter in the file's header tells (SQLite increases it
// with every committed change), so that checking costs one small read instead of a statement with
// its locks. A database in write-ahead-log mode does not keep that counter up to date; it is
// checked with "pragma data_version" instead. Once StartAddress has been called, the file is
// checked once per address, else at every call.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/connection.h"
#include "engine/address_store.h"

namespace mok::db {

// The two columns that say whether the town of POSITION row `p` has residences and parcels, each
// one search of the registry table's index.
inline constexpr char kRegistryRowsPresent[] =
    "exists(select 1 from 住居 r where r.fldPositionID = p.fldID), "
    "exists(select 1 from 地番 a where a.fldPositionID = p.fldID)";

class RegionCityCache {
 public:
  // Makes the cache describe `db` (always the same connection), reading the names again when
  // they are stale.
  DbStatus Refresh(Connection& db);
  const std::vector<std::u16string>& Cities() const { return cities_; }
  // The indexes of the names that equal `name` or, with `endsWith`, end with it (ASCII letter
  // case ignored), ascending; answered from an index of every ending of every name.
  std::vector<std::size_t> Find(std::u16string_view name, bool endsWith) const;
  // The rows of Cities()[index], read on first use; with `registry` (the registry tables exist),
  // each town's position says whether it has residences and parcels.
  DbResult<const std::vector<engine::TownRow>*> Rows(Connection& db, std::size_t index,
                                                     bool registry);
  // The position of the first row read so far that names the town (as the query of one row
  // would find it); nullopt when no row read so far does, or its position holds a Null.
  std::optional<engine::TownPosition> FindPosition(std::u16string_view prefecture,
                                                   std::u16string_view city,
                                                   std::u16string_view town) const;
  // Counts the loads of the names: whatever was remembered from the file under an older
  // generation may be stale.
  uint64_t Generation() const { return generation_; }
  void StartAddress() { ++address_; }
  // A read transaction begins: until the next one, the file cannot change under it, so the
  // names are checked once for the whole transaction instead of once per address.
  void StartSnapshot() {
    ++snapshot_;
    inSnapshot_ = true;
  }
  void EndSnapshot() { inSnapshot_ = false; }

 private:
  bool Fresh(Connection& db);
  DbStatus Load(Connection& db);

  bool loaded_ = false;
  uint64_t generation_ = 0;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_{nullptr, &std::fclose};
  bool wal_ = false;
  uint32_t changeCounter_ = 0;
  int64_t dataVersion_ = -1;

  std::vector<std::u16string> cities_;  // distinct fld市区町村名, in table order
  // Every ending of every name (the whole name included), ASCII letters in upper case, with the
  // indexes of the names that end so; the whole names once more apart.
  std::unordered_map<std::u16string, std::vector<std::size_t>> byEnding_;
  std::unordered_map<std::u16string, std::vector<std::size_t>> byName_;
  std::vector<std::vector<engine::TownRow>> rows_;  // rows_[i]: the POSITION rows of cities_[i]
  std::vector<std::vector<std::optional<engine::TownPosition>>> positions_;  // of rows_[i][j]
  std::vector<char> rowsLoaded_;

  // Addresses counted by StartAddress (0: never called) and the one last checked at.
  uint64_t address_ = 0;
  uint64_t checkedAt_ = 0;
  // Read transactions counted by StartSnapshot (0: none) and the one last checked in.
  uint64_t snapshot_ = 0;
  uint64_t checkedSnapshot_ = 0;
  bool inSnapshot_ = false;
};

}  // namespace mok::db
