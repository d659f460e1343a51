// The hand-over to the map program with a recording starter: what is copied and what the program
// is given. The golden case map-link starts a real program from a finished run.
#include "batch/map_link.h"

#include <gtest/gtest.h>

#include "../support/recording_prompter.h"
#include "batch_test_util.h"

namespace mok::batch {
namespace {

struct MapLinkTest : ::testing::Test {
  MapLinkTest() {
    std::filesystem::create_directories(dir / "tmp");
    test::WriteBytes(dir / "result.csv", "a\r\n");
    test::WriteBytes(dir / "tmp" / "result.csv", "old\r\n");
    settings.tempDir = dir.File("tmp");
  }
  bool Show(const std::u16string& outputPath) {
    return ShowInMapProgram(settings, prompter, outputPath,
                            [&](const std::vector<std::string>& argv, FileError&) {
                              started = argv;
                              return true;
                            });
  }
  test::TempDir dir;
  Settings settings;
  mok::test::RecordingPrompter prompter;
  std::vector<std::string> started;
};

// The output path as typed (blanks around it) is copied over an older copy; the program's own
// words are split as a command line, quotes grouping a path with blanks.
TEST_F(MapLinkTest, CopiesTheOutputAndGivesTheCommandAsLastArgument) {
  settings.mapProgram = u"\"/opt/map viewer/velmora\" -q \"\"";
  EXPECT_TRUE(Show(u"  " + dir.File("result.csv") + u" "));
  const std::string copy = (dir / "tmp" / "result.csv").string();
  EXPECT_EQ(started, (std::vector<std::string>{"/opt/map viewer/velmora", "-q", "",
                                               "[OpenStat(" + copy + ")]"}));
  EXPECT_EQ(test::ReadBytes(copy), "a\r\n");
  EXPECT_TRUE(prompter.records.empty());
}

TEST_F(MapLinkTest, NotConfiguredDoesNothing) {
  EXPECT_FALSE(Show(dir.File("result.csv")));  // no program
  settings.mapProgram = u"velmora";
  settings.tempDir.clear();
  EXPECT_FALSE(Show(dir.File("result.csv")));
  EXPECT_TRUE(started.empty());
  EXPECT_TRUE(prompter.records.empty());
}

TEST_F(MapLinkTest, FailedCopyIsReportedAndStartsNothing) {
  settings.mapProgram = u"velmora";
  settings.tempDir = dir.File("missing");
  EXPECT_FALSE(Show(dir.File("result.csv")));
  EXPECT_TRUE(started.empty());
  ASSERT_EQ(prompter.records.size(), 1u);
  EXPECT_EQ(prompter.records[0].Utf8(),
            "地図プログラムに変換結果を渡せませんでした。変換結果のファイルはそのまま使えます。\r\n"
            "ファイルが見つかりません。ファイル名と場所を確かめて下さい。\r\nDDE");
}

}  // namespace
}  // namespace mok::batch
