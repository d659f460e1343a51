// Speed of a whole conversion run: an input of 100,000 (or 1,000,000) records made from the
// bundled sample input is converted end to end against the Tokyo sample database, with one
// recognition worker and with one per core. Reports records per second of wall-clock time and of
// the process's CPU time (all threads), CPU microseconds per record, the peak memory of the
// process, and the share of the run spent reading the input and writing the output (measured by
// a read-only and a write-only pass over the same files).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "batch/conversion_run.h"
#include "batch/input_reader.h"
#include "batch/line_writer.h"
#include "batch/session.h"
#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "text/text.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;


class SilentPrompter : public mok::Prompter {
 public:
  void ShowMessage(const std::u16string&, mok::MessageIcon, const std::u16string&) override {}
  mok::Answer Ask(const std::u16string&, mok::MessageButtons, mok::MessageIcon,
                  const std::u16string&) override {
    return mok::Answer::No;
  }
};

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

// Arguments: records, workers (0: one per core).
void BM_ConvertEndToEnd(benchmark::State& state) {
  Workspace ws(static_cast<int>(state.range(0)));
  SilentPrompter prompter;
  mok::batch::Session session(mok::text::FromUtf8((ws.dir / "mok.ini").string()), prompter,
                              mok::text::FromUtf8(MOK_SAMPLE_DB));
  session.settings.monitor = false;
  session.settings.jobs = static_cast<int16_t>(state.range(1));
  if (!session.OpenDatabase()) {
    state.SkipWithError("the sample database does not open (build the sample-db target)");
    return;
  }
  mok::batch::NullRunObserver observer;
  mok::batch::ConversionRun run(session.settings, session.database, session.recognizer, prompter,
                                observer, session.settingsFilePath);
  mok::batch::RunRequest request;
  request.inputPath = mok::text::FromUtf8(ws.input.string());
  request.outputPath = mok::text::FromUtf8(ws.output.string());
  request.region = u"東京都";
  request.startRow = u"2";
  request.addressField = u"3";

  double total = 0;
  double cpu = 0;
  int64_t records = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const double cpuStart = ProcessCpuSeconds();
    const auto outcome = run.Execute(request);
    total += Seconds(Clock::now() - start);
    cpu += ProcessCpuSeconds() - cpuStart;
    if (outcome != mok::batch::RunOutcome::Finished) {
      state.SkipWithError("the run did not finish");
      return;
    }
    records += run.RecordCount();
  }
  // The peak of the runs, before the passes below hold a whole output in memory.
  const double peak = PeakMemoryMiB();
  const double reading = ReadOnlyPass(ws.input);
  const double writing = WriteOnlyPass(ws.output, ws.dir / "copy.csv");
  const double perRun = total / static_cast<double>(state.iterations());
  state.counters["records"] = static_cast<double>(run.RecordCount());
  state.counters["failed"] = static_cast<double>(run.FailCount());
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

}  // namespace

BENCHMARK_MAIN();
