// Speed of the recognition of single addresses: the addresses of the bundled sample input
// (third field, CP932) are recognised one after another on one thread against a copy of the Tokyo
// sample database, with the default output settings.
//
// Reports addresses per second and the share of the time spent inside SQLite. Every connection
// the program opens gets a profile callback (installed through an automatic extension, so the
// program's own code is not touched); it adds up the time each statement ran, from its first step
// to its reset, which slightly overstates SQLite's share since reading the columns of a row falls
// in between.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "batch/session.h"
#include "silent_prompter.h"
#include "text/text.h"

namespace {

namespace fs = std::filesystem;
using mok::bench::SilentPrompter;
using Clock = std::chrono::steady_clock;

std::atomic<int64_t> g_sqliteNanoseconds{0};
std::atomic<int64_t> g_statements{0};

int Profile(unsigned type, void*, void*, void* x) {
  if (type == SQLITE_TRACE_PROFILE) {
    g_sqliteNanoseconds += static_cast<int64_t>(*static_cast<sqlite3_int64*>(x));
    ++g_statements;
  }
  return 0;
}

int InstallProfile(sqlite3* db, const char**, const struct sqlite3_api_routines*) {
  sqlite3_trace_v2(db, SQLITE_TRACE_PROFILE, Profile, nullptr);
  return SQLITE_OK;
}

// The addresses of the sample input (after its header line).
std::vector<std::u16string> SampleAddresses() {
  std::ifstream in(fs::path(MOK_DATA_DIR) / "sample-input.csv", std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  const auto text = mok::text::DecodeCp932(all.str());
  std::vector<std::u16string> addresses;
  if (!text)
    return addresses;
  std::u16string_view rest(*text);
  bool header = true;
  while (!rest.empty()) {
    const std::size_t end = rest.find(u'\n');
    std::u16string_view line = rest.substr(0, end);
    rest = end == std::u16string_view::npos ? std::u16string_view() : rest.substr(end + 1);
    if (!line.empty() && line.back() == u'\r')
      line.remove_suffix(1);
    if (std::exchange(header, false))
      continue;
    const std::size_t a = line.find(u',');
    const std::size_t b = a == std::u16string_view::npos ? a : line.find(u',', a + 1);
    if (b == std::u16string_view::npos)
      continue;
    const std::size_t c = line.find(u',', b + 1);
    addresses.emplace_back(
        line.substr(b + 1, c == std::u16string_view::npos ? std::u16string_view::npos : c - b - 1));
  }
  return addresses;
}

// A copy of the sample databases in a temporary folder, removed at the end.
class SampleCopy {
 public:
  SampleCopy() {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("mok-bench-recognize-" + std::to_string(rd()));
    fs::create_directories(dir_);
    const fs::path sample(MOK_SAMPLE_DB);
    if (!fs::exists(sample / "mok2.sqlite"))
      return;
    for (const auto& entry : fs::directory_iterator(sample)) {
      if (entry.path().extension() == ".sqlite")
        fs::copy_file(entry.path(), dir_ / entry.path().filename());
    }
    ok = true;
  }
  ~SampleCopy() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::u16string Dir() const { return mok::text::FromUtf8(dir_.string()); }
  bool ok = false;

 private:
  fs::path dir_;
};

void BM_RecognizeSampleAddresses(benchmark::State& state) {
  sqlite3_auto_extension(reinterpret_cast<void (*)()>(InstallProfile));
  SampleCopy copy;
  const std::vector<std::u16string> addresses = SampleAddresses();
  if (!copy.ok || addresses.empty()) {
    state.SkipWithError("sample database or sample input missing (build the sample-db target)");
    return;
  }
  SilentPrompter prompter;
  mok::batch::Session session(copy.Dir() + u"/mok.ini", prompter, copy.Dir());
  if (!session.OpenDatabase() || !session.database.SelectRegion(u"東京都")) {
    state.SkipWithError("cannot open the sample database");
    return;
  }
  // As a run reads: one read transaction over many addresses.
  session.database.HoldReads(true);
  const mok::engine::Recognizer& recognizer = session.recognizer;
  mok::db::AddressDatabase& database = session.database;

  // One pass first, so that connections and caches are warm, and to count what converts.
  int converted = 0;
  for (const auto& address : addresses) {
    converted +=
        recognizer.RecognizeAddress(address, database).code == mok::engine::ResultCode::Converted
            ? 1
            : 0;
  }

  g_sqliteNanoseconds = 0;
  g_statements = 0;
  std::size_t next = 0;
  int64_t count = 0;
  const auto start = Clock::now();
  for (auto _ : state) {
    benchmark::DoNotOptimize(recognizer.RecognizeAddress(addresses[next], database));
    next = next + 1 == addresses.size() ? 0 : next + 1;
    ++count;
  }
  const double elapsed = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
  // The rate counter divides by the CPU time of the thread; the wall-clock rate is given too, as
  // the two differ on a machine shared with other work. SQLite's share is wall time over wall
  // time (the profile reports the statements' wall time).
  state.counters["addresses/s"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsRate);
  state.counters["addresses/s_wall"] = elapsed > 0 ? static_cast<double>(count) * 1e9 / elapsed : 0;
  state.counters["sqlite_share_%"] =
      elapsed > 0 ? 100.0 * static_cast<double>(g_sqliteNanoseconds.load()) / elapsed : 0.0;
  state.counters["statements/address"] =
      count > 0 ? static_cast<double>(g_statements.load()) / static_cast<double>(count) : 0.0;
  state.counters["converted"] = converted;
  state.counters["addresses"] = static_cast<double>(addresses.size());
  sqlite3_reset_auto_extension();
}
BENCHMARK(BM_RecognizeSampleAddresses)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
