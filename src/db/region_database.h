// A region database (<DbDir>/<region>.sqlite) opened for reading: its municipalities and town
// rows (POSITION), the block tables the towns point to, the residences and parcels below the
// towns, and the postal codes (POST). One read-only connection serves every query; failures come
// back naming the file.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/blob_reader.h"
#include "db/connection.h"
#include "db/region_city_cache.h"
#include "engine/address_store.h"

namespace mok::db {

using engine::BlockPoint;
using engine::StoredPoint;

class RegionDatabase {
 public:
  // Opens an existing region file; a missing file is an error.
  static DbResult<std::unique_ptr<RegionDatabase>> Open(const std::u16string& path);

  const std::u16string& path() const { return db_.path(); }
  // Whether the file at path() is no longer the one open (deleted, or another installed under
  // its name by a rebuild); also true when that cannot be told.
  bool Replaced() const;
  // Forgets what was learnt about the file's tables (whether the registry and block tables
  // exist), for a connection kept for another run: the file may have gained or lost them since.
  void ForgetTables();

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
  DbResult<std::vector<engine::TownRow>> FindTownsBeginning(std::u16string_view start);

  DbResult<std::optional<engine::TownPosition>> FindTownPosition(const std::u16string& prefecture,
                                                                 const std::u16string& city,
                                                                 const std::u16string& town);
  DbResult<std::optional<engine::PostalNames>> FindPostalNames(const std::u16string& cityKana,
                                                               const std::u16string& placeKana);

  // Below the town (region_points.cpp); each one search of an index. Numbers are compared as
  // NormaliseRegistryNumber writes them, so "０１" finds 1. A database made before the registry
  // tables existed has no residences or parcels: nullopt.
  //
  // The residence 街区符号 `block` + 住居番号 `residence` [+ 住居番号2]; without `residence2` the
  // residence that has none comes first, else the first of its sub-numbers.
  DbResult<std::optional<StoredPoint>> FindResidence(
      const engine::TownPosition& town, std::u16string_view block, std::u16string_view residence,
      std::optional<std::u16string_view> residence2 = std::nullopt);
  // The parcel 本番 `main` [+ 枝番 [+ 枝番2]]; a number left out takes the parcel without it
  // first, else the first one with it (本番 alone: 100 before 100-1).
  DbResult<std::optional<StoredPoint>> FindParcel(
      const engine::TownPosition& town, std::u16string_view main,
      std::optional<std::u16string_view> branch = std::nullopt,
      std::optional<std::u16string_view> branch2 = std::nullopt);
  // The block row of `town` whose number is `number`, the first by table order when several;
  // without a number the town's first row.
  DbResult<std::optional<BlockPoint>> FindBlock(const engine::TownPosition& town,
                                                std::optional<std::u16string_view> number);
  // The block row nearest to `number` by the nearest-block rule: rows with a plain number first,
  // the smallest difference, the earlier row of two as near; a row without a plain number (the
  // representative row, Null) only when the town has no numbered one. The choice reads only the
  // numbers, from the block table's index; then the chosen row is read.
  DbResult<std::optional<BlockPoint>> FindNearestBlock(const engine::TownPosition& town,
                                                       int64_t number);

 private:
  explicit RegionDatabase(Connection db) : db_(std::move(db)) {}
  // The lookups of one block table, prepared when the table is first asked for; the table is
  // checked to exist then (a failure is not kept: the next lookup checks again).
  struct BlockStatements {
    Statement* byNumber = nullptr;  // ?1 town, ?2 number: the first row of that number
    Statement* first = nullptr;     // ?1 town: the town's first row
    Statement* numbers = nullptr;   // ?1 town: rowid and number of the town's rows, from the index
    Statement* byRowid = nullptr;   // ?1 rowid
  };
  DbResult<const BlockStatements*> BlockStatementsOf(const std::u16string& table);
  // Whether the registry tables exist (checked once), and how the residences' points are kept.
  DbResult<bool> HasRegistryTables();
  // `sql` with the town's id as ?1 and the numbers (as NormaliseRegistryNumber writes them) as
  // ?2...; the caller steps and resets it.
  DbResult<Statement*> BindNumbers(const std::string& sql,
                                   std::initializer_list<std::u16string_view> numbers,
                                   int64_t positionId);
  DbResult<std::optional<StoredPoint>> FindPoint(const std::string& sql,
                                                 std::initializer_list<std::u16string_view> numbers,
                                                 int64_t positionId);
  // The point of the residence stored under `key` (residence_key.h; a row's rowid).
  DbResult<std::optional<StoredPoint>> ReadResidencePoint(int64_t key);
  // The first row of a block statement (bound), reset afterwards.
  DbResult<std::optional<BlockPoint>> ReadBlockRow(Statement& row);

  Connection db_;
  RegionCityCache cache_;
  bool hold_ = false;
  std::optional<ReadScope> held_;
  std::chrono::steady_clock::time_point heldSince_;
  // By table name; the statements belong to the connection's cache.
  std::unordered_map<std::u16string, BlockStatements> blockStatements_;
  // The one row of each town without block numbers met so far (by fldPositionID), while the
  // file is the one the town rows were read from (the city cache's generation); at most
  // kMaxRepresentativeRows, forgotten together when full.
  static constexpr std::size_t kMaxRepresentativeRows = 50000;
  std::unordered_map<int64_t, BlockPoint> representativeRows_;
  uint64_t representativeGeneration_ = 0;
  std::optional<bool> registryTables_;
  // Whether the points are in 住居位置; a file made before it keeps them in columns of 住居.
  bool packedResidencePoints_ = false;
  Statement* residenceByKey_ = nullptr;  // of the connection's cache, prepared on first use
  // While reads are held, residence points are read through a blob handle on 住居位置.
  BlobReader residencePoints_{db_, "住居位置", "fld位置"};
};

}  // namespace mok::db
