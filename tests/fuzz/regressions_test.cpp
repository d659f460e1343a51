// Every committed input of the fuzz targets, fed to its target: the seed corpus
// (tests/fuzz/corpus/<target>) and the inputs of the faults the fuzzer found
// (tests/fuzz/regressions/<target>), so that a mended fault stays mended.
#include <gtest/gtest.h>

#include <sstream>

#include "fuzz/fuzz_target.h"

namespace mok::fuzz {
namespace {

class FuzzRegressions : public ::testing::TestWithParam<const char*> {};

TEST_P(FuzzRegressions, EveryCommittedInputPassesItsChecks) {
  ASSERT_TRUE(Targets().contains(GetParam()));
  int inputs = 0;
  for (const char* kind : {"corpus/", "regressions/"}) {
    const auto dir = std::filesystem::path(MOK_SOURCE_DIR "/tests/fuzz/") / kind / GetParam();
    std::error_code missing;  // a target without regression inputs has no folder
    for (const auto& file : std::filesystem::directory_iterator(dir, missing)) {
      std::ostringstream bytes;
      bytes << std::ifstream(file.path(), std::ios::binary).rdbuf();
      try {
        Targets()[GetParam()](bytes.str());
      } catch (const CheckFailed& failed) {
        ADD_FAILURE() << file.path() << ": " << failed.what;
      }
      ++inputs;
    }
  }
  EXPECT_GE(inputs, 3) << "the seed corpus is missing";
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzRegressions,
                         ::testing::Values("address", "text", "csv", "settings", "numerals",
                                           "command_line", "run"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace mok::fuzz
