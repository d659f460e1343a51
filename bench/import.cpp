// The data tool's imports of the bundled Tokyo data: the whole town list (5,393 rows with plane
// coordinates from PROJ) and the whole postal-code file, each into a fresh data folder.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "db/import/main_database_import.h"
#include "db/import/postal_import.h"
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

}  // namespace

BENCHMARK_MAIN();
