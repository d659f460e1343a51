// Per-call cost of the lookups below the town on a region holding Tokyo's towns and the bundled
// 文京区 residences (30,156, with the centres of their blocks): a residence, a block by its
// number, the nearest block (numbers read from the index only). Each call begins an address, as a
// conversion run does.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "db/address_database.h"
#include "db/import/import_support.h"
#include "db/import/main_database_import.h"
#include "db/import/registry_import.h"
#include "db/import/town_import.h"
#include "text/text.h"

namespace {

namespace fs = std::filesystem;
const fs::path kData = MOK_DATA_DIR;

// The region, built once in a temporary folder and removed at exit.
struct Region {
  Region() {
    const mok::db::ProgressMute mute;
    dir = fs::temp_directory_path() /
          ("mok-bench-registry-" + std::to_string(std::random_device()()));
    mok::db::CreateMainDatabase(dir, kData / "prefectures.csv");
    mok::db::ImportTowns(dir, u"東京都", kData / "japan-towns.csv.xz", u"東京都");
    mok::db::ImportRegistry(dir, u"東京都",
                            {kData / "abr/mt_rsdtdsp_rsdt_pref13.csv.zip",
                             kData / "abr/mt_rsdtdsp_rsdt_pos_pref13.csv.zip"});
    database.Open(mok::text::FromUtf8(dir.string()));
    database.SelectRegion(u"東京都");
    // As a conversion reads: one read transaction across addresses, renewed every second.
    database.HoldReads(true);
    database.BeginAddress();
    town = **database.FindTownPosition(u"東京都", u"文京区", u"白山一丁目");
  }
  ~Region() {
    database.Close();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  fs::path dir;
  mok::db::AddressDatabase database;
  mok::engine::TownPosition town;
};

Region& Data() {
  static Region region;
  return region;
}

void BM_FindResidence(benchmark::State& state) {
  Region& r = Data();
  for (auto _ : state) {
    r.database.BeginAddress();
    benchmark::DoNotOptimize(r.database.FindResidence(r.town, u"12", u"3", std::nullopt));
  }
}
BENCHMARK(BM_FindResidence);

void BM_FindBlock(benchmark::State& state) {
  Region& r = Data();
  for (auto _ : state) {
    r.database.BeginAddress();
    benchmark::DoNotOptimize(r.database.FindBlock(r.town, u"12"));
  }
}
BENCHMARK(BM_FindBlock);

void BM_FindNearestBlock(benchmark::State& state) {
  Region& r = Data();
  for (auto _ : state) {
    r.database.BeginAddress();
    benchmark::DoNotOptimize(r.database.FindNearestBlock(r.town, 40));
  }
}
BENCHMARK(BM_FindNearestBlock);

}  // namespace

BENCHMARK_MAIN();
