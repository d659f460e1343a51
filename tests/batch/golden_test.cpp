// Whole conversion runs, one folder of tests/golden per case, through the real run controller
// against real SQLite databases built by the data tool. A case folder holds case.txt (the script,
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

// Every case runs with one recognizer and with three workers: the two give the same files and
// messages.
class GoldenRun : public ::testing::TestWithParam<std::tuple<std::string, int>> {};

TEST_P(GoldenRun, MatchesExpected) {
  const fs::path caseDir = kGoldenDir / std::get<0>(GetParam());
  GoldenRunner runner(caseDir, kGoldenDir / "towns.csv",
                      static_cast<int16_t>(std::get<1>(GetParam())));
  const auto commands = ParseGoldenScript(ReadBytes((caseDir / "case.txt").u16string()),
                                          runner.Work().path().string());
  for (const GoldenCommand& command : commands) {
    if (!runner.Execute(command))
      return;
  }
  runner.Compare(runner.User().transcript, "expected-messages.txt", "the messages");
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenRun,
                         ::testing::Combine(::testing::ValuesIn(CaseNames()),
                                            ::testing::Values(1, 3)),
                         [](const auto& info) {
                           std::string name = std::get<0>(info.param);
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name + "_jobs" + std::to_string(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace mok::test
