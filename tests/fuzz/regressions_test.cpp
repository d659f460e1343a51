// Every committed input of the fuzz targets, fed to its target: the seed corpus
// (tests/fuzz/corpus/<target>) and the inputs of the faults the fuzzer found
// (tests/fuzz/regressions/<target>), so that a mended fault stays mended.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz/fuzz_target.h"

namespace mok::fuzz {
namespace {

namespace fs = std::filesystem;

class FuzzRegressions : public ::testing::TestWithParam<const char*> {};

TEST_P(FuzzRegressions, EveryCommittedInputPassesItsChecks) {
  const auto target = Targets().find(GetParam());
  ASSERT_NE(target, Targets().end()) << "no fuzz target " << GetParam();
  int inputs = 0;
  for (const char* kind : {"corpus", "regressions"}) {
    const fs::path dir = fs::path(MOK_SOURCE_DIR) / "tests/fuzz" / kind / GetParam();
    if (!fs::is_directory(dir))
      continue;
    for (const auto& file : fs::directory_iterator(dir)) {
      std::ostringstream bytes;
      bytes << std::ifstream(file.path(), std::ios::binary).rdbuf();
      try {
        target->second(bytes.str());
      } catch (const CheckFailed& failed) {
        ADD_FAILURE() << file.path() << ": " << failed.what;
      }
      ++inputs;
    }
  }
  EXPECT_GE(inputs, 3) << "the seed corpus of " << GetParam() << " is missing";
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzRegressions,
                         ::testing::Values("address", "text", "csv", "settings", "numerals",
                                           "command_line"));

}  // namespace
}  // namespace mok::fuzz
