// Recognition of the nationwide sample: every address against the region 全国, and against the
// region of its own prefecture, on the nationwide databases (build/<preset>/japan-db). The
// municipality index must keep the whole-country region close to a one-prefecture one.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "batch/session.h"
#include "silent_prompter.h"
#include "text/text.h"

namespace {

namespace fs = std::filesystem;

struct Record {
  std::u16string address;
  std::u16string prefecture;  // the prefecture it was drawn from ("" for the wrong ones)
};

std::vector<std::string> Lines(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string field; std::getline(in, field, ',');)
    fields.push_back(field);
  return fields;
}

std::vector<Record> SampleRecords() {
  const fs::path data(MOK_DATA_DIR);
  const auto inputs = Lines(data / "sample-input-japan.csv");
  const auto expected = Lines(data / "sample-input-japan.expected.csv");
  std::vector<Record> records;
  for (std::size_t i = 1; i < inputs.size() && i < expected.size(); ++i) {
    const auto input = Fields(inputs[i]);
    const auto want = Fields(expected[i]);
    auto address = mok::text::DecodeCp932(input.size() > 2 ? input[2] : "");
    records.push_back(
        {address.value_or(u""), want.size() > 1 ? mok::text::FromUtf8(want[1]) : std::u16string()});
  }
  return records;
}

// One session per region, opened on first use.
class Regions {
 public:
  mok::batch::Session* For(const std::u16string& region) {
    auto& session = sessions_[region];
    if (!session) {
      const std::u16string dir = mok::text::FromUtf8(MOK_JAPAN_DB);
      session = std::make_unique<mok::batch::Session>(dir + u"/none.ini", prompter_, dir);
      if (!session->OpenDatabase() || !session->database.SelectRegion(region))
        return nullptr;
    }
    return session.get();
  }

 private:
  mok::bench::SilentPrompter prompter_;
  std::map<std::u16string, std::unique_ptr<mok::batch::Session>> sessions_;
};

void Recognize(benchmark::State& state, bool ownRegion) {
  const std::vector<Record> records = SampleRecords();
  Regions regions;
  std::vector<mok::batch::Session*> sessions;
  for (const Record& record : records) {
    sessions.push_back(
        regions.For(ownRegion && !record.prefecture.empty() ? record.prefecture : u"全国"));
    if (sessions.back() == nullptr) {
      state.SkipWithError("the nationwide databases are missing (./dev.sh japan-db)");
      return;
    }
  }
  int converted = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    converted += sessions[i]->recognizer.RecognizeAddress(records[i].address).code ==
                 mok::engine::ResultCode::Converted;
  }
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(sessions[next]->recognizer.RecognizeAddress(records[next].address));
    next = next + 1 == records.size() ? 0 : next + 1;
  }
  state.counters["addresses/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["converted"] = converted;
  state.counters["addresses"] = static_cast<double>(records.size());
}

void BM_JapanSample_AllJapan(benchmark::State& state) {
  Recognize(state, false);
}
void BM_JapanSample_OwnPrefecture(benchmark::State& state) {
  Recognize(state, true);
}
BENCHMARK(BM_JapanSample_AllJapan)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_JapanSample_OwnPrefecture)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
