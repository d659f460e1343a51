// The nationwide build of the data tool (mok2 db build-japan) on the bundled data: the town list
// of all Japan (xz, 277,676 rows), the whole-country KEN_ALL (124,578 lines) and the registry
// files of abr/ into 47 prefecture regions and 全国, in a fresh folder, with one worker thread
// and with two. Wall time
// counts: the build is meant to finish within 30 s on a machine of two cores.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "db/import/import_support.h"
#include "db/import/japan_build.h"

namespace {

namespace fs = std::filesystem;

const fs::path kData = MOK_DATA_DIR;

void BM_BuildJapan(benchmark::State& state) {
  mok::db::JapanBuildInputs inputs{
      kData / "prefectures.csv", kData / "japan-towns.csv.xz", kData / "KEN_ALL.CSV", {}};
  for (const auto& entry : fs::directory_iterator(kData / "abr"))
    inputs.registry.push_back(entry.path());
  const mok::db::ProgressMute mute;
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path dir =
        fs::temp_directory_path() / ("mok-japan-bench-" + std::to_string(std::random_device()()));
    state.ResumeTiming();
    const auto report =
        mok::db::BuildJapan(dir, inputs, {.threads = static_cast<unsigned>(state.range(0))});
    benchmark::DoNotOptimize(report.towns);
    state.PauseTiming();
    std::uintmax_t bytes = 0;
    for (const auto& entry : fs::directory_iterator(dir))
      bytes += entry.file_size();
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["regions"] = static_cast<double>(report.regions.size());
    fs::remove_all(dir);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_BuildJapan)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond)
    ->ArgName("threads");

}  // namespace

BENCHMARK_MAIN();
