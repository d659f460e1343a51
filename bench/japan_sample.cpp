// Recognition of the nationwide sample: every address against the region 全国, and against the
// region of its own prefecture, on the nationwide databases (build/<preset>/japan-db); and of the
// Tokyo sample (data/sample-input.csv) against the Tokyo sample database. Each with the standard
// and with the extended matching (MATCHMODE 1), which must stay within 1.2 times the standard
// time. The municipality index must keep the whole-country region close to a one-prefecture one.
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

// The Tokyo sample's addresses (no answer key: the prefecture is left empty).
std::vector<Record> TokyoRecords() {
  const auto inputs = Lines(fs::path(MOK_DATA_DIR) / "sample-input.csv");
  std::vector<Record> records;
  for (std::size_t i = 1; i < inputs.size(); ++i) {
    const auto input = Fields(inputs[i]);
    records.push_back({mok::text::DecodeCp932(input.size() > 2 ? input[2] : "").value_or(u""), {}});
  }
  return records;
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

// One session per region of a database folder, opened on first use, with the matching asked for.
class Regions {
 public:
  Regions(const char* dir, bool extended) : dir_(mok::text::FromUtf8(dir)), extended_(extended) {}
  mok::batch::Session* For(const std::u16string& region) {
    auto& session = sessions_[region];
    if (!session) {
      session = std::make_unique<mok::batch::Session>(dir_ + u"/none.ini", prompter_, dir_);
      session->settings.extendedMatch = extended_;
      if (!session->OpenDatabase() || !session->database.SelectRegion(region))
        return nullptr;
    }
    return session.get();
  }

 private:
  std::u16string dir_;
  bool extended_;
  mok::bench::SilentPrompter prompter_;
  std::map<std::u16string, std::unique_ptr<mok::batch::Session>> sessions_;
};

enum class Sample { AllJapan, OwnPrefecture, Tokyo };

void Recognize(benchmark::State& state, Sample sample, bool extended) {
  const bool tokyo = sample == Sample::Tokyo;
  const std::vector<Record> records = tokyo ? TokyoRecords() : SampleRecords();
  Regions regions(tokyo ? MOK_SAMPLE_DB : MOK_JAPAN_DB, extended);
  std::vector<mok::batch::Session*> sessions;
  for (const Record& record : records) {
    sessions.push_back(regions.For(tokyo ? u"東京都"
                                   : sample == Sample::OwnPrefecture && !record.prefecture.empty()
                                       ? record.prefecture
                                       : u"全国"));
    if (sessions.back() == nullptr) {
      state.SkipWithError("the sample or nationwide databases are missing (./dev.sh japan-db)");
      return;
    }
  }
  int converted = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    converted +=
        sessions[i]->recognizer.RecognizeAddress(records[i].address, sessions[i]->database).code ==
        mok::engine::ResultCode::Converted;
  }
  std::size_t next = 0;
  for (auto _ : state) {
    mok::batch::Session& session = *sessions[next];
    benchmark::DoNotOptimize(
        session.recognizer.RecognizeAddress(records[next].address, session.database));
    next = next + 1 == records.size() ? 0 : next + 1;
  }
  state.counters["addresses/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["converted"] = converted;
  state.counters["addresses"] = static_cast<double>(records.size());
}

BENCHMARK_CAPTURE(Recognize, AllJapan, Sample::AllJapan, false)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(Recognize, AllJapan_Extended, Sample::AllJapan, true)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(Recognize, OwnPrefecture, Sample::OwnPrefecture, false)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(Recognize, OwnPrefecture_Extended, Sample::OwnPrefecture, true)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(Recognize, Tokyo, Sample::Tokyo, false)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(Recognize, Tokyo_Extended, Sample::Tokyo, true)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
