// Imports Address Base Registry files into a region database: residences (住居表示) into 住居,
// parcels (地番) into 地番, and blocks into the towns' block tables (registry_blocks.h), each row
// linked to its town (registry_town_linker.h), with plane X/Y from PROJ in the town's zone.
//
//   mok2 db import-abr DIR 東京都 mt_rsdtdsp_rsdt_pref13.csv.zip mt_rsdtdsp_rsdt_pos_pref13.csv.zip
//
// Importing a municipality's residences (or blocks) again replaces the residences and registry
// blocks it had; importing its parcels replaces its parcels; both in the one transaction of the
// import. Rows are stored only with a point; what is left out is counted in the report: rows
// whose town the region lacks (per town name), rows of municipalities the region does not hold,
// and what the reading left out (registry_rows.h).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "db/connection.h"
#include "db/import/registry_blocks.h"
#include "db/import/registry_rows.h"

namespace mok::db {

struct RegistryKindReport {
  int64_t stored = 0;          // rows written
  int64_t replaced = 0;        // rows of an earlier import of the same municipalities removed
  int64_t unmatched = 0;       // rows whose town the region lacks
  int64_t otherRegion = 0;     // rows of municipalities the region does not hold
  int64_t municipalities = 0;  // municipalities whose rows were written (or replaced)
};

struct RegistryWriteReport {
  std::array<RegistryKindReport, 3> kinds;  // by RegistryKind
  RegistryBlockCounts blocks;
  int64_t withoutZone = 0;  // residences and parcels without plane X/Y (zone not known)
  // "東京都 文京区 白山九丁目" and its rows, most rows first.
  std::vector<std::pair<std::u16string, int64_t>> unmatchedTowns;
  // "文京区 (131059)" and its rows, for municipalities the region does not hold.
  std::vector<std::pair<std::u16string, int64_t>> otherMunicipalities;
  const RegistryKindReport& Of(RegistryKind kind) const { return kinds[static_cast<int>(kind)]; }
};

// Writes `rows` into the region database `db`, inside the caller's transaction. With
// `onlyHeldMunicipalities`, rows of municipalities the region does not hold are its business no
// more than another region's (the nationwide build gives every prefecture region the same rows)
// and are not counted.
RegistryWriteReport AddRegistryRows(Connection& db, const RegistryRows& rows,
                                    bool onlyHeldMunicipalities = false);

struct RegistryImportReport {
  RegistryRows read;  // what the files held (the rows themselves are released)
  RegistryWriteReport written;
  int64_t regionId = 0;
};

// Imports `files` (registry_files.h) into the region database of `region` in `dir`, which must
// exist with its towns. Throws ImportError and leaves the databases as they were on failure.
RegistryImportReport ImportRegistry(const std::filesystem::path& dir, const std::u16string& region,
                                    const std::vector<std::filesystem::path>& files);

}  // namespace mok::db
