// The block rows the registry import writes into the towns' block tables, where the nearest-block
// rule finds them: a block of the registry's own block files at its point, else a block whose
// residences were imported at the centre of their points (recorded as derived in 住居表示街区).
//
//   residences 白山一丁目 1-1 (35.7151, 139.7524) and 1-2 (35.7153, 139.7526), no block file
//   -> block 1 of 白山一丁目 at (35.7152, 139.7525), derived
//
// A block the town has already from another source (MLIT's block positions) keeps that row;
// only plain numbers go into a block table (its fld街区・番地 is compared as a number). Every row
// written is listed in 住居表示街区, so that importing the municipality again replaces exactly
// these rows.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/import/position_writer.h"
#include "db/import/registry_town_linker.h"

namespace mok::db {

class PlaneProjector;

struct RegistryBlockCounts {
  int64_t registry = 0;       // blocks at the registry's own block point
  int64_t derived = 0;        // blocks at the centre of their residences
  int64_t kept = 0;           // blocks the town had from another source, left as they were
  int64_t withoutNumber = 0;  // 街区符号 that are not a plain number: no block row
  int64_t withoutTable = 0;   // towns whose POSITION row names no block table
  int64_t removed = 0;        // rows of an earlier registry import removed
  int64_t withoutZone = 0;    // blocks without plane coordinates (zone not known)
};

class RegistryBlocks {
 public:
  // A block of the registry's block files.
  void AddBlockPoint(const LinkedTown& town, const std::u16string& number, double lat, double lon,
                     const std::u16string& latitude, const std::u16string& longitude);
  // A residence of the block `number`: its point counts towards the block's centre.
  void AddResidence(const LinkedTown& town, const std::u16string& number, double lat, double lon);

  // Writes the blocks into their towns' tables and 住居表示街区.
  void Write(Connection& db, PlaneProjector& projector, RegistryBlockCounts& counts);

  // Removes the rows an earlier registry import wrote for `towns` (block table and
  // 住居表示街区).
  static void RemoveEarlier(Connection& db, const std::vector<LinkedTown>& towns,
                            RegistryBlockCounts& counts);

 private:
  struct Block {
    const LinkedTown* town = nullptr;
    std::u16string latitude, longitude;  // the registry's own point, "" for a derived one
    double lat = 0, lon = 0;             // the point, or the sums of the residences' points
    int64_t residences = 0;
  };
  bool Accept(const LinkedTown& town, const std::u16string& number);
  std::map<std::pair<int64_t, std::u16string>, Block> blocks_;
  int64_t withoutNumber_ = 0;
  int64_t withoutTable_ = 0;
};

// A point of the registry, with plane X/Y from PROJ in its zone; zone and X/Y stay empty (and
// `withoutZone` counts it) when the zone is not known.
BlockCoordinates ProjectRegistryPoint(PlaneProjector& projector, const LinkedTown& town, double lat,
                                      double lon, const std::u16string& latitude,
                                      const std::u16string& longitude, int64_t& withoutZone);

}  // namespace mok::db
