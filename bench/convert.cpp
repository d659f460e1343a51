// Speed of a whole conversion run: an input of 100,000 (or 1,000,000) records made from the
// bundled sample input is converted end to end against the Tokyo sample database, with one
// recognition worker and with one per core. Reports records per second of wall-clock time and of
// the process's CPU time (all threads), CPU microseconds per record, the peak memory of the
// process, and the share of the run spent reading the input and writing the output (measured by
// a read-only and a write-only pass over the same files).
#include <benchmark/benchmark.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "batch/conversion_run.h"
#include "batch/input_reader.h"
#include "batch/line_writer.h"
#include "batch/session.h"
#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "silent_prompter.h"
#include "text/text.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using mok::bench::SilentPrompter;

// CPU seconds of the whole process (every thread) and its peak resident memory in MiB.
double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
double PeakMemoryMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

struct Workspace {
  fs::path dir;
  fs::path input;
  fs::path output;
  explicit Workspace(int records) {
    std::string templ = (fs::temp_directory_path() / "mok-bench-XXXXXX").string();
    dir = ::mkdtemp(templ.data());
    input = dir / "input.csv";
    output = dir / "output.csv";
    std::ifstream in(fs::path(MOK_DATA_DIR) / "sample-input.csv", std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    const std::string text = all.str();
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
      std::size_t end = text.find("\r\n", start);
      if (end == std::string::npos)
        end = text.size();
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    std::ofstream out(input, std::ios::binary);
    out << lines[0] << "\r\n";
    for (int i = 0; i < records; ++i) {
      out << lines[1 + static_cast<std::size_t>(i) % (lines.size() - 1)] << "\r\n";
    }
  }
  ~Workspace() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Reading alone: every line decoded and its address taken, as the run does.
double ReadOnlyPass(const fs::path& input) {
  mok::batch::LineReader file;
  file.Open(mok::text::FromUtf8(input.string()));
  const auto start = Clock::now();
  while (!file.AtEnd()) {
    const mok::batch::InputRecord record = mok::batch::ReadInputRecord(file, {2});
    benchmark::DoNotOptimize(record.address);
  }
  return Seconds(Clock::now() - start);
}

// Writing alone: the run's output lines encoded and written again.
double WriteOnlyPass(const fs::path& output, const fs::path& copy) {
  mok::batch::LineReader file;
  file.Open(mok::text::FromUtf8(output.string()));
  std::vector<std::u16string> lines;
  std::u16string line;
  while (!file.AtEnd() && file.ReadLine(line) == mok::batch::LineReader::Status::Ok) {
    lines.push_back(line);
  }
  mok::batch::LineWriter writer;
  const auto start = Clock::now();
  writer.Open(mok::text::FromUtf8(copy.string()));
  for (const auto& l : lines)
    writer.WriteLine(l);
  writer.Close();
  return Seconds(Clock::now() - start);
}

// A conversion run of the workspace's input against the Tokyo sample database.
class BenchRun {
 public:
  struct Measure {
    double wall = 0;  // seconds
    double cpu = 0;   // seconds of every thread
  };

  // `workers`: 0 for one per core.
  BenchRun(const Workspace& ws, int workers)
      : session_(mok::text::FromUtf8((ws.dir / "mok.ini").string()), prompter_,
                 mok::text::FromUtf8(MOK_SAMPLE_DB)) {
    session_.settings.monitor = false;
    session_.settings.jobs = static_cast<int16_t>(workers);
    opened_ = session_.OpenDatabase().ok();
    run_.emplace(session_, prompter_, observer_);
    request_.inputPath = mok::text::FromUtf8(ws.input.string());
    request_.outputPath = mok::text::FromUtf8(ws.output.string());
    request_.region = u"東京都";
    request_.startRow = u"2";
    request_.addressFields = {u"3"};
  }

  // The measure of one whole run, or nullopt when the database did not open or the run did not
  // finish.
  std::optional<Measure> Once() {
    if (!opened_)
      return std::nullopt;
    const auto start = Clock::now();
    const double cpuStart = ProcessCpuSeconds();
    last_ = run_->Execute(request_);
    const Measure measure{Seconds(Clock::now() - start), ProcessCpuSeconds() - cpuStart};
    if (last_.End() != mok::batch::RunEnd::Finished)
      return std::nullopt;
    return measure;
  }
  // The outcome of the last run.
  const mok::batch::RunOutcome& Last() const { return last_; }

 private:
  SilentPrompter prompter_;
  mok::batch::Session session_;
  mok::batch::NullRunObserver observer_;
  std::optional<mok::batch::ConversionRun> run_;
  mok::batch::RunRequest request_;
  mok::batch::RunOutcome last_;
  bool opened_ = false;
};

// Arguments: records, workers (0: one per core).
void BM_ConvertEndToEnd(benchmark::State& state) {
  Workspace ws(static_cast<int>(state.range(0)));
  BenchRun run(ws, static_cast<int>(state.range(1)));
  double total = 0;
  double cpu = 0;
  int64_t records = 0;
  for (auto _ : state) {
    const auto measure = run.Once();
    if (!measure) {
      state.SkipWithError("the run did not finish (is the sample database built?)");
      return;
    }
    total += measure->wall;
    cpu += measure->cpu;
    records += run.Last().records;
  }
  // The peak of the runs, before the passes below hold a whole output in memory.
  const double peak = PeakMemoryMiB();
  const double reading = ReadOnlyPass(ws.input);
  const double writing = WriteOnlyPass(ws.output, ws.dir / "copy.csv");
  const double perRun = total / static_cast<double>(state.iterations());
  state.counters["records"] = static_cast<double>(run.Last().records);
  state.counters["failed"] = static_cast<double>(run.Last().failed);
  state.counters["records_per_second"] = static_cast<double>(records) / total;
  state.counters["records_per_cpu_second"] = static_cast<double>(records) / cpu;
  state.counters["cpu_us_per_record"] = 1e6 * cpu / static_cast<double>(records);
  state.counters["peak_MiB"] = peak;
  state.counters["read_share_pct"] = 100.0 * reading / perRun;
  state.counters["write_share_pct"] = 100.0 * writing / perRun;
}
BENCHMARK(BM_ConvertEndToEnd)
    ->ArgNames({"records", "workers"})
    ->Args({100000, 1})
    ->Args({100000, 0})
    ->Args({1000000, 0})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// Runs `work` with the calling thread bound to one core, then lets it run on any again.
template <typename Work>
auto OnCore(unsigned core, Work work) {
  cpu_set_t cores;
  CPU_ZERO(&cores);
  CPU_SET(core, &cores);
  sched_setaffinity(0, sizeof cores, &cores);
  auto result = work();
  CPU_ZERO(&cores);
  for (unsigned c = 0; c < std::max(1U, std::thread::hardware_concurrency()); ++c)
    CPU_SET(c, &cores);
  sched_setaffinity(0, sizeof cores, &cores);
  return result;
}

// What the workers gain: the one-worker run on each core in turn and the run with one worker
// per core, taken in rounds so that a machine whose speed drifts (a virtual machine sharing its
// host) slows all alike; the best run of each counts. The speedup is against the fastest core.
// The ceiling is what the cores could give together at most: their summed one-worker rates over
// the fastest one (2 for two equal cores; less when a core is slower than the other).
void BM_ParallelSpeedup(benchmark::State& state) {
  constexpr int kRounds = 5;
  const int records = static_cast<int>(state.range(0));
  const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
  Workspace ws(records);
  BenchRun one(ws, 1);
  BenchRun all(ws, 0);
  std::vector<double> bestOnCore(cores, 1e9);  // wall seconds of the one-worker run
  std::vector<double> cpuOnCore(cores, 1e9);
  double bestAll = 1e9;
  for (auto _ : state) {
    for (int round = 0; round < kRounds; ++round) {
      for (unsigned core = 0; core < cores; ++core) {
        const auto a = OnCore(core, [&] { return one.Once(); });
        if (!a) {
          state.SkipWithError("the run did not finish (is the sample database built?)");
          return;
        }
        bestOnCore[core] = std::min(bestOnCore[core], a->wall);
        cpuOnCore[core] = std::min(cpuOnCore[core], a->cpu);
      }
      const auto b = all.Once();
      if (!b) {
        state.SkipWithError("the run did not finish (is the sample database built?)");
        return;
      }
      bestAll = std::min(bestAll, b->wall);
    }
  }
  const double bestOne = *std::min_element(bestOnCore.begin(), bestOnCore.end());
  double summed = 0;
  for (const double wall : bestOnCore)
    summed += records / wall;
  state.counters["workers"] = cores;
  state.counters["one_worker_per_second"] = records / bestOne;
  state.counters["all_workers_per_second"] = records / bestAll;
  state.counters["speedup"] = bestOne / bestAll;
  state.counters["ceiling"] = summed * bestOne / records;
  state.counters["of_ceiling_pct"] = 100.0 * (bestOne / bestAll) / (summed * bestOne / records);
  state.counters["one_worker_cpu_us_per_record"] =
      1e6 * *std::min_element(cpuOnCore.begin(), cpuOnCore.end()) / records;
  for (unsigned core = 0; core < cores; ++core)
    state.counters["core" + std::to_string(core) + "_per_second"] = records / bestOnCore[core];
}
BENCHMARK(BM_ParallelSpeedup)
    ->ArgName("records")
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
