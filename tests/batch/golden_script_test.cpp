// The golden cases' interpreter itself: how a script is read, and that a command it does not
// know fails the case instead of being skipped.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "../support/golden_script.h"

namespace mok::test {
namespace {

TEST(GoldenScript, ReadsCommandsWordsAndLines) {
  const auto commands = ParseGoldenScript(
      "# a comment\n\ninput in.csv\noutput -\n  sql 東京都 delete from POSITION\n"
      "expect-file WORK/o.csv o.csv utf8\n",
      "/tmp/w");
  ASSERT_EQ(commands.size(), 4U);
  EXPECT_EQ(commands[0].words, (std::vector<std::string>{"input", "in.csv", "", "", ""}));
  EXPECT_EQ(commands[0].where, "case.txt line 3: input in.csv");
  EXPECT_EQ(commands[1].words[1], "");  // "-" is an empty text
  EXPECT_EQ(commands[2].line, "  sql 東京都 delete from POSITION");
  EXPECT_EQ(commands[3].words[1], "/tmp/w/o.csv");
  EXPECT_EQ(commands[3].words[3], "utf8");
}

TEST(GoldenScript, LinesCompareWithoutTheirLineEnds) {
  EXPECT_EQ(GoldenLines("a\r\nb"), "a\nb\n");
  EXPECT_EQ(GoldenLines(""), "");
}

TEST(GoldenScript, AnUnknownCommandOrAnswerFailsTheCase) {
  GoldenRunner runner(std::filesystem::path(MOK_SOURCE_DIR) / "tests" / "golden" / "validation",
                      std::filesystem::path(MOK_SOURCE_DIR) / "tests" / "golden" / "towns.csv", 1);
  for (const char* line : {"frobnicate x", "answers Yes Perhaps"}) {
    const auto commands = ParseGoldenScript(line, runner.Work().path().string());
    ASSERT_EQ(commands.size(), 1U);
    bool done = true;
    EXPECT_NONFATAL_FAILURE(done = runner.Execute(commands[0]), "case.txt line 1");
    EXPECT_FALSE(done) << line;
  }
}

}  // namespace
}  // namespace mok::test
