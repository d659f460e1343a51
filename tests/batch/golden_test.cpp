// Whole conversion runs, one folder of tests/golden per case, through the real run controller
// against real SQLite databases built by the data tool, with the main database in the folder or
// on a throwaway PostgreSQL server. A case folder holds case.txt (the script,
// see tests/support/golden_script.h), optionally mok.ini (the settings) and towns.csv (the towns
// of region 東京都; tests/golden/towns.csv when absent), the files the script names and
// expected-messages.txt. MOK_GOLDEN_UPDATE=1 writes the expected files from what the runs produced.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "../support/golden_script.h"

namespace mok::test {
namespace {

namespace fs = std::filesystem;

const fs::path kGoldenDir = fs::path(MOK_SOURCE_DIR) / "tests" / "golden";

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kGoldenDir)) {
    if (fs::exists(entry.path() / "case.txt"))
      names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void RunCase(const std::string& name, int jobs, bool onServer) {
  const fs::path caseDir = kGoldenDir / name;
  GoldenRunner runner(caseDir, kGoldenDir / "towns.csv", static_cast<int16_t>(jobs), onServer);
  const auto commands = ParseGoldenScript(ReadBytes((caseDir / "case.txt").u16string()),
                                          runner.Work().path().string());
  for (const GoldenCommand& command : commands) {
    if (!runner.Execute(command))
      return;
  }
  runner.CompareTranscript();
}

std::string CaseName(const std::string& name, int jobs) {
  std::string shown = name;
  std::replace(shown.begin(), shown.end(), '-', '_');
  return shown + "_jobs" + std::to_string(jobs);
}

// Every case runs with one recognizer and with three workers: the two give the same files and
// messages.
class GoldenRun : public ::testing::TestWithParam<std::tuple<std::string, int>> {};

TEST_P(GoldenRun, MatchesExpected) {
  RunCase(std::get<0>(GetParam()), std::get<1>(GetParam()), false);
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenRun,
                         ::testing::Combine(::testing::ValuesIn(CaseNames()),
                                            ::testing::Values(1, 3)),
                         [](const auto& info) {
                           return CaseName(std::get<0>(info.param), std::get<1>(info.param));
                         });

// Every case again with the main database on a server: the same files, and the same messages
// but where they name the main database.
class GoldenServerRun : public GoldenRun {};

TEST_P(GoldenServerRun, MatchesExpected) {
  RunCase(std::get<0>(GetParam()), std::get<1>(GetParam()), true);
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenServerRun,
                         ::testing::Combine(::testing::ValuesIn(CaseNames()),
                                            ::testing::Values(1, 3)),
                         [](const auto& info) {
                           return CaseName(std::get<0>(info.param), std::get<1>(info.param));
                         });

}  // namespace
}  // namespace mok::test
