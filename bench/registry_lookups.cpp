// Per-call cost of the lookups below the town on a region holding Tokyo's towns and the bundled
// 文京区 residences (30,156, with the centres of their blocks): a residence, a block by its
// number, the nearest block (numbers read from the index only). Each call begins an address, as a
// conversion run does.
//
// BM_RecognizeWithAndWithoutRegistry: one-worker conversion runs of 2,000 文京区 addresses made
// from the registry's residences (東京都文京区白山一丁目1番1号), against that region and against
// one with Tokyo's towns only; the CPU time per address with the residences must stay within 1.15
// times the time without (one lookup more per address, no scan of a town's rows).
#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "batch/conversion_run.h"
#include "batch/session.h"
#include "db/address_database.h"
#include "db/connection.h"
#include "db/import/import_support.h"
#include "db/import/main_database_import.h"
#include "db/import/registry_import.h"
#include "db/import/town_import.h"
#include "silent_prompter.h"
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
    mok::db::ImportTowns(dir, u"町字のみ", kData / "japan-towns.csv.xz", u"東京都");
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
  // Addresses of `count` residences spread over 文京区 (every 15th by town and numbers), as
  // 東京都文京区白山一丁目1番1号.
  std::vector<std::u16string> Addresses(int count) const {
    auto db =
        mok::db::Connection::Open(mok::text::FromUtf8((dir / "東京都.sqlite").string()), true);
    auto st = db->Compile(
        "select p.fld大字・町丁目, r.fld街区符号, r.fld住居番号 from 住居 r join POSITION p"
        " on p.fldID = r.fldPositionID order by r.rowid");
    std::vector<std::u16string> out;
    for (int row = 1; static_cast<int>(out.size()) < count && *st->Step(); ++row) {
      if (row % 15 == 0)
        out.push_back(u"東京都文京区" + st->Text(0) + st->Text(1) + u"番" + st->Text(2) + u"号");
    }
    return out;
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
    benchmark::DoNotOptimize(r.database.FindResidence(r.town, u"12", u"1", std::nullopt));
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

// CPU seconds of one-worker conversion runs of `input` (ID, address) against `region`, as
// `mok2 convert` runs them: reading, recognising and writing.
class RegionRun {
 public:
  RegionRun(const fs::path& input, const std::u16string& region)
      : session_(mok::text::FromUtf8((input.parent_path() / "mok.ini").string()), prompter_,
                 mok::text::FromUtf8(Data().dir.string())) {
    session_.settings.monitor = false;
    session_.settings.jobs = 1;
    session_.OpenDatabase();
    run_.emplace(session_, prompter_, observer_);
    request_.inputPath = mok::text::FromUtf8(input.string());
    request_.outputPath = mok::text::FromUtf8((input.parent_path() / "out.csv").string());
    request_.region = region;
    request_.startRow = u"1";
    request_.addressFields = {u"2"};
  }
  double Once() {
    const auto start = std::clock();
    last_ = run_->Execute(request_);
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  }
  int64_t Converted() const { return last_.records - last_.failed; }

 private:
  mok::bench::SilentPrompter prompter_;
  mok::batch::Session session_;
  mok::batch::NullRunObserver observer_;
  std::optional<mok::batch::ConversionRun> run_;
  mok::batch::RunRequest request_;
  mok::batch::RunOutcome last_;
};

void BM_RecognizeWithAndWithoutRegistry(benchmark::State& state) {
  constexpr int kRounds = 20;
  const std::vector<std::u16string> addresses = Data().Addresses(2000);
  const fs::path input = Data().dir / "bunkyo.csv";
  {
    std::ofstream out(input, std::ios::binary);
    for (std::size_t i = 0; i < addresses.size(); ++i)
      out << i << "," << *mok::text::EncodeCp932(addresses[i]) << "\r\n";
  }
  RegionRun withResidences(input, u"東京都");
  RegionRun townsOnly(input, u"町字のみ");
  // The municipality's rows, the statements and the pages, before timing: each run keeps the
  // region its session opened, as the desktop program's successive runs do.
  withResidences.Once();
  townsOnly.Once();
  double with = 0, without = 0;
  for (auto _ : state) {
    // In turn, so that both see the same load of the machine.
    for (int round = 0; round < kRounds; ++round) {
      with += withResidences.Once();
      without += townsOnly.Once();
    }
  }
  const double n = kRounds * static_cast<double>(state.iterations() * addresses.size());
  state.counters["addresses"] = static_cast<double>(addresses.size());
  state.counters["converted"] = static_cast<double>(withResidences.Converted());
  state.counters["us_with_residences"] = 1e6 * with / n;
  state.counters["us_towns_only"] = 1e6 * without / n;
  state.counters["ratio"] = with / without;
}
BENCHMARK(BM_RecognizeWithAndWithoutRegistry)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
