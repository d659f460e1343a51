// The data tool's imports of the bundled Tokyo data: the whole town list (5,393 rows with plane
// coordinates from PROJ) and the whole postal-code file, each into a fresh data folder; and the
// Address Base Registry's parcel files of 和歌山市 (367,519 parcels, 117,836 with a point) into
// a region holding the town list's 和歌山県, reported with the database's growth per million
// rows stored.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "db/import/main_database_import.h"
#include "db/import/postal_import.h"
#include "db/import/registry_import.h"
#include "db/import/town_import.h"

namespace {

namespace fs = std::filesystem;

const fs::path kData = MOK_DATA_DIR;

fs::path FreshFolder() {
  std::random_device rd;
  const fs::path dir = fs::temp_directory_path() / ("mok-import-bench-" + std::to_string(rd()));
  fs::create_directories(dir);
  mok::db::CreateMainDatabase(dir, kData / "prefectures.csv");
  return dir;
}

void BM_ImportTokyoTowns(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path dir = FreshFolder();
    state.ResumeTiming();
    const auto report = mok::db::ImportTowns(dir, u"東京都", kData / "geolonia-tokyo-2022.csv");
    benchmark::DoNotOptimize(report.blockRows);
    state.PauseTiming();
    fs::remove_all(dir);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ImportTokyoTowns)->Unit(benchmark::kMillisecond);

void BM_ImportTokyoPostalCodes(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path dir = FreshFolder();
    state.ResumeTiming();
    const auto report = mok::db::ImportPostal(dir, u"東京都", kData / "13TOKYO.CSV");
    benchmark::DoNotOptimize(report.records);
    state.PauseTiming();
    fs::remove_all(dir);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ImportTokyoPostalCodes)->Unit(benchmark::kMillisecond);

void BM_ImportWakayamaParcels(benchmark::State& state) {
  const fs::path dir = FreshFolder();
  mok::db::ImportTowns(dir, u"和歌山県", kData / "japan-towns.csv.xz", u"和歌山県");
  const fs::path region = dir / "和歌山県.sqlite";
  const auto townsOnly = fs::file_size(region);
  for (auto _ : state) {
    const auto report = mok::db::ImportRegistry(dir, u"和歌山県",
                                                {kData / "abr/mt_parcel_city302015.csv.zip",
                                                 kData / "abr/mt_parcel_pos_city302015.csv.zip"});
    const auto stored = report.written.Of(mok::db::RegistryKind::Parcel).stored;
    state.counters["parcels"] =
        static_cast<double>(report.read.Of(mok::db::RegistryKind::Parcel).masterRows);
    state.counters["stored"] = static_cast<double>(stored);
    state.counters["MB_per_M_rows"] =
        static_cast<double>(fs::file_size(region) - townsOnly) / static_cast<double>(stored);
  }
  fs::remove_all(dir);
}
// Importing again replaces the rows of the first run, as a user's update would.
BENCHMARK(BM_ImportWakayamaParcels)->Iterations(3)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
