// A region database (<DbDir>/<region>.sqlite) opened for reading: its municipalities and town
// rows (POSITION), the block tables the towns point to, and the postal codes (POST). One
// read-only connection serves every query; failures come back naming the file.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/region_city_cache.h"
#include "engine/address_store.h"

namespace mok::db {

class RegionDatabase {
 public:
  // Opens an existing region file; a missing file is an error.
  static DbResult<std::unique_ptr<RegionDatabase>> Open(const std::u16string& path);

  const std::u16string& path() const { return db_.path(); }

  // With `hold`, the reads of consecutive addresses share one read transaction (one shared lock
  // instead of one per query, and the municipality names checked once per transaction). The
  // transaction is renewed every second, so that a program writing the file gets its turn, and
  // ends with ReleaseReads (before anything waits for the user) or HoldReads(false).
  void HoldReads(bool hold);
  void ReleaseReads();
  void BeginAddress();
  DbResult<const std::vector<std::u16string>*> Municipalities();
  DbResult<std::vector<std::size_t>> FindMunicipalities(std::u16string_view name, bool endsWith);
  DbResult<const std::vector<engine::TownRow>*> TownRows(std::size_t index);

  DbResult<std::optional<engine::TownPosition>> FindTownPosition(const std::u16string& prefecture,
                                                                 const std::u16string& city,
                                                                 const std::u16string& town);
  DbResult<std::vector<engine::BlockRow>> BlockRows(const engine::TownPosition& town,
                                                    const std::optional<std::u16string>& exact);
  DbResult<std::optional<engine::PostalNames>> FindPostalNames(const std::u16string& cityKana,
                                                               const std::u16string& placeKana);

 private:
  explicit RegionDatabase(Connection db) : db_(std::move(db)) {}
  // The block table named by a POSITION row, checked to exist (once per table).
  DbStatus CheckBlockTable(const std::u16string& name);

  Connection db_;
  RegionCityCache cache_;
  bool hold_ = false;
  std::optional<ReadScope> held_;
  std::chrono::steady_clock::time_point heldSince_;
  std::vector<std::u16string> checkedBlockTables_;
};

}  // namespace mok::db
