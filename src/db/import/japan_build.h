// Builds the address databases of the whole country in one go from the nationwide town list,
// Japan Post's whole-country KEN_ALL file and Address Base Registry files: one region database
// per prefecture of the town list, named like the prefecture (北海道, 東京都, ...) and holding its
// towns, postal codes and the registry's residences, parcels and blocks of its municipalities, and
// one region 全国 holding all of them; every region is listed in ＤＢ一覧 of the folder's main
// database, which is created when missing (an existing one keeps its learning dictionary and the
// numbers of its regions).
//
// Each input file is read once and its rows are distributed to the regions. The region files are
// built side by side on worker threads, each as a staged file (staged_database.h); only when all
// of them are complete are they moved into place and registered, so a failed build leaves the
// folder as it was. One build at a time holds a folder (build_lock.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "db/import/registry_rows.h"

namespace mok::db {

inline constexpr char16_t kNationwideRegion[] = u"全国";

struct JapanBuildInputs {
  std::filesystem::path prefectures;            // prefectures.csv: the prefectures and their order
  std::filesystem::path towns;                  // town list (town_list.h), e.g. japan-towns.csv.xz
  std::filesystem::path postal;                 // KEN_ALL.CSV
  std::vector<std::filesystem::path> registry;  // registry files (registry_files.h), may be none
};

struct JapanBuildOptions {
  bool force = false;    // replace region databases that exist already
  unsigned threads = 0;  // worker threads; 0: one per processor
};

struct RegionBuildReport {
  std::u16string region;
  int64_t towns = 0;
  int64_t municipalities = 0;
  int64_t postalRecords = 0;
  int64_t residences = 0;  // registry rows stored
  int64_t parcels = 0;
  int64_t registryUnmatched = 0;  // registry rows of its municipalities whose town it lacks
  int64_t regionId = 0;           // fldID in ＤＢ一覧, known once the build is complete
};

struct JapanBuildReport {
  int64_t townRows = 0;         // data rows of the town list
  int64_t towns = 0;            // distinct towns
  int64_t withoutTownName = 0;  // town-list rows without 大字町丁目名 (skipped)
  int64_t withoutZone = 0;      // towns without plane coordinates (no point or zone)
  int64_t postalLines = 0;      // lines of the KEN_ALL file
  int64_t postalRecords = 0;    // cleaned postal records (those of 全国)
  // Registry rows read but not stored in any region: without a point (or abolished), malformed.
  int64_t registryWithoutPosition = 0;
  RegistryIssues registryMalformed;
  bool createdMainDatabase = false;
  std::vector<RegionBuildReport> regions;  // the prefectures in their order, then 全国
};

// Builds the regions into `dir` (created when missing). Without `force`, an existing region
// database of any prefecture or of 全国 is an error. `regionBuilt` is called (from one thread at
// a time) as each region file is complete. Throws ImportError.
JapanBuildReport BuildJapan(const std::filesystem::path& dir, const JapanBuildInputs& inputs,
                            const JapanBuildOptions& options = {},
                            const std::function<void(const RegionBuildReport&)>& regionBuilt = {});

}  // namespace mok::db
