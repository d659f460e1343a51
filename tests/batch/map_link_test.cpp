#include "batch/map_link.h"

#include <gtest/gtest.h>

#include "../support/recording_prompter.h"
#include "batch_test_util.h"

namespace mok::batch {
namespace {

using test::TempDir;

TEST(MapLink, CopiesTheOutputAndHandsTheCommandToTheProgram) {
  TempDir dir;
  std::filesystem::create_directories(dir / "out");
  std::filesystem::create_directories(dir / "tmp");
  test::WriteBytes(dir / "out" / "result.csv", "a\r\n");
  test::WriteBytes(dir / "tmp" / "result.csv", "old\r\n");
  Settings settings;
  settings.tempDir = dir.U("tmp");
  settings.mapProgram = u"\"/opt/map viewer/velmora\" -q";
  mok::test::RecordingPrompter prompter;
  std::vector<std::string> started;
  const auto starter = [&](const std::vector<std::string>& argv, FileError&) {
    started = argv;
    return true;
  };
  EXPECT_TRUE(
      ShowInMapProgram(settings, prompter, u"  " + dir.U("out/result.csv") + u" ", starter));
  const std::string copy = (dir / "tmp" / "result.csv").string();
  EXPECT_EQ(started, (std::vector<std::string>{"/opt/map viewer/velmora", "-q",
                                               "[OpenStat(" + copy + ")]"}));
  EXPECT_EQ(test::ReadBytes(copy), "a\r\n");
  EXPECT_TRUE(prompter.records.empty());
}

TEST(MapLink, NotConfiguredDoesNothing) {
  Settings settings;
  settings.tempDir = u"/tmp";
  mok::test::RecordingPrompter prompter;
  bool called = false;
  const auto starter = [&](const std::vector<std::string>&, FileError&) { return called = true; };
  EXPECT_FALSE(ShowInMapProgram(settings, prompter, u"/nowhere/x.csv", starter));
  settings.tempDir.clear();
  settings.mapProgram = u"velmora";
  EXPECT_FALSE(ShowInMapProgram(settings, prompter, u"/nowhere/x.csv", starter));
  EXPECT_FALSE(called);
  EXPECT_TRUE(prompter.records.empty());
}

TEST(MapLink, FailuresEndWithDde) {
  TempDir dir;
  test::WriteBytes(dir / "result.csv", "a\r\n");
  Settings settings;
  settings.mapProgram = u"velmora";
  mok::test::RecordingPrompter prompter;
  // The copy fails: the folder does not exist.
  settings.tempDir = dir.U("missing");
  EXPECT_FALSE(ShowInMapProgram(settings, prompter, dir.U("result.csv")));
  // The program cannot be started.
  settings.tempDir = dir.U("");
  settings.mapProgram = dir.U("no-such-program");
  EXPECT_FALSE(ShowInMapProgram(settings, prompter, dir.U("result.csv")));
  ASSERT_EQ(prompter.records.size(), 2u);
  for (const auto& r : prompter.records) {
    const std::string t = r.Utf8();
    EXPECT_EQ(t.substr(t.size() - 5), "\r\nDDE") << t;
    EXPECT_NE(t.find(")"), std::string::npos) << t;
  }
}

TEST(MapLink, StartsARealProgramWithTheCommandAsLastArgument) {
  TempDir dir;
  test::WriteBytes(dir / "result.csv", "a\r\n");
  std::filesystem::create_directories(dir / "tmp");
  // A stand-in for the map program that records its last argument.
  const auto script = dir / "velmora.sh";
  test::WriteBytes(script,
                   "#!/bin/sh\nfor a; do last=$a; done\nprintf %s \"$last\" > \"$0.args\"\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  Settings settings;
  settings.tempDir = dir.U("tmp");
  settings.mapProgram = text::FromUtf8(script.string());
  mok::test::RecordingPrompter prompter;
  ASSERT_TRUE(ShowInMapProgram(settings, prompter, dir.U("result.csv")));
  const auto args = dir / "velmora.sh.args";
  for (int i = 0; i < 500 && !std::filesystem::exists(args); ++i)
    ::usleep(10000);
  ::usleep(20000);
  EXPECT_EQ(test::ReadBytes(args), "[OpenStat(" + (dir / "tmp" / "result.csv").string() + ")]");
}

TEST(MapLink, SplitCommandLine) {
  EXPECT_EQ(SplitCommandLine(u"a b  c"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(SplitCommandLine(u"\"a b\" c"), (std::vector<std::string>{"a b", "c"}));
  EXPECT_EQ(SplitCommandLine(u"  "), std::vector<std::string>{});
  EXPECT_EQ(SplitCommandLine(u"x \"\""), (std::vector<std::string>{"x", ""}));
}

}  // namespace
}  // namespace mok::batch
