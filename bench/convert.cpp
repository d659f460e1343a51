// Speed of a whole conversion run: an input of 100,000 (or 1,000,000) records made from the
// bundled sample input is converted end to end against the Tokyo sample database, with one
// recognition worker and with one per core. Reports records per second of wall-clock time and of
// the process's CPU time (all threads), CPU microseconds per record, the peak memory of the
// process, and the share of the run spent reading the input and writing the output (measured by
// a read-only and a write-only pass over the same files).
#include <benchmark/benchmark.h>
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
  SilentPrompter prompter;
  mok::batch::InputReader reader(prompter);
  reader.textInput = true;
  reader.addressField = 2;
  mok::batch::LineReader file;
  file.Open(mok::text::FromUtf8(input.string()));
  const auto start = Clock::now();
  std::u16string address;
  while (!file.AtEnd()) {
    reader.ReadNextRecord(file, address);
    benchmark::DoNotOptimize(address);
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
    run_.emplace(session_.settings, session_.database, session_.recognizer, prompter_, observer_,
                 session_.settingsFilePath);
    request_.inputPath = mok::text::FromUtf8(ws.input.string());
    request_.outputPath = mok::text::FromUtf8(ws.output.string());
    request_.region = u"東京都";
    request_.startRow = u"2";
    request_.addressField = u"3";
  }

  // The measure of one whole run, or nullopt when the database did not open or the run did not
  // finish.
  std::optional<Measure> Once() {
    if (!opened_)
      return std::nullopt;
    const auto start = Clock::now();
    const double cpuStart = ProcessCpuSeconds();
    const auto outcome = run_->Execute(request_);
    const Measure measure{Seconds(Clock::now() - start), ProcessCpuSeconds() - cpuStart};
    if (outcome != mok::batch::RunOutcome::Finished)
      return std::nullopt;
    return measure;
  }
  const mok::batch::ConversionRun& Run() const { return *run_; }

 private:
  SilentPrompter prompter_;
  mok::batch::Session session_;
  mok::batch::NullRunObserver observer_;
  std::optional<mok::batch::ConversionRun> run_;
  mok::batch::RunRequest request_;
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
    records += run.Run().RecordCount();
  }
  // The peak of the runs, before the passes below hold a whole output in memory.
  const double peak = PeakMemoryMiB();
  const double reading = ReadOnlyPass(ws.input);
  const double writing = WriteOnlyPass(ws.output, ws.dir / "copy.csv");
  const double perRun = total / static_cast<double>(state.iterations());
  state.counters["records"] = static_cast<double>(run.Run().RecordCount());
  state.counters["failed"] = static_cast<double>(run.Run().FailCount());
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

// What the workers gain: runs with one worker and with one per core, taken in turn so that a
// machine whose speed drifts (a virtual machine sharing its host) slows both alike; the best run
// of each counts. The ceiling is what the machine gives for the same work without sharing
// anything: one one-worker run per core at once, on inputs of their own (their summed rate over
// the best one-worker rate; a core slower than the others shows here).
void BM_ParallelSpeedup(benchmark::State& state) {
  constexpr int kRounds = 5;
  const int records = static_cast<int>(state.range(0));
  const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
  Workspace ws(records);
  BenchRun one(ws, 1);
  BenchRun all(ws, 0);
  std::vector<std::unique_ptr<Workspace>> ownInputs;
  std::vector<std::unique_ptr<BenchRun>> independent;
  for (unsigned i = 0; i < cores; ++i) {
    ownInputs.push_back(std::make_unique<Workspace>(records));
    independent.push_back(std::make_unique<BenchRun>(*ownInputs.back(), 1));
  }
  double bestOne = 1e9;
  double bestAll = 1e9;
  double bestOneCpu = 1e9;
  double bestIndependent = 0;  // records per second of all of them together
  for (auto _ : state) {
    for (int round = 0; round < kRounds; ++round) {
      const auto a = one.Once();
      const auto b = all.Once();
      std::vector<std::optional<BenchRun::Measure>> measures(cores);
      std::vector<std::thread> threads;
      for (unsigned i = 0; i < cores; ++i)
        threads.emplace_back([&, i] { measures[i] = independent[i]->Once(); });
      for (std::thread& thread : threads)
        thread.join();
      double together = 0;
      for (const auto& measure : measures) {
        if (!measure) {
          state.SkipWithError("the run did not finish (is the sample database built?)");
          return;
        }
        together += records / measure->wall;
      }
      if (!a || !b) {
        state.SkipWithError("the run did not finish (is the sample database built?)");
        return;
      }
      bestOne = std::min(bestOne, a->wall);
      bestOneCpu = std::min(bestOneCpu, a->cpu);
      bestAll = std::min(bestAll, b->wall);
      bestIndependent = std::max(bestIndependent, together);
    }
  }
  state.counters["workers"] = cores;
  state.counters["one_worker_per_second"] = records / bestOne;
  state.counters["all_workers_per_second"] = records / bestAll;
  state.counters["speedup"] = bestOne / bestAll;
  state.counters["ceiling"] = bestIndependent * bestOne / records;
  state.counters["one_worker_cpu_us_per_record"] = 1e6 * bestOneCpu / records;
}
BENCHMARK(BM_ParallelSpeedup)
    ->ArgName("records")
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
