#include "startup/system_init.h"

#include <gtest/gtest.h>

#include "startup/paths.h"
#include "startup_test_util.h"
#include "support/recording_prompter.h"

namespace mok {
namespace {

using test::RecordingPrompter;
using test::TempFolder;
using test::U8;
using test::WriteText;

TEST(SystemInit, LoadsSettingsThenFixedNamesThenCreatesTheWorkspace) {
  TempFolder folder;
  const std::u16string file = folder.File("mok.ini");
  WriteText(file, u"[MOK]\r\nDBDIR=/地図\r\nFIXEDTERM_0001=3,霞が関\r\n");
  RecordingPrompter prompter;
  std::vector<std::string> steps;
  const Startup startup = InitializeSystem(
      prompter, file, [&] { steps.push_back("fixed names"); },
      [&] {
        steps.push_back("workspace");
        return true;
      });
  EXPECT_EQ(steps, (std::vector<std::string>{"fixed names", "workspace"}));
  EXPECT_EQ(U8(startup.settingsFilePath), U8(file));
  EXPECT_EQ(U8(startup.settings.dbDir), "/地図");
  EXPECT_EQ(startup.settings.fixedTerms.size(), 1u);
  EXPECT_TRUE(startup.workspaceCreated);
  EXPECT_TRUE(prompter.records.empty());
}

TEST(SystemInit, FailingWorkspaceIsReportedAndStartUpGoesOn) {
  TempFolder folder;
  RecordingPrompter prompter;
  const Startup startup =
      InitializeSystem(prompter, folder.File("none.ini"), nullptr, [] { return false; });
  EXPECT_FALSE(startup.workspaceCreated);
  ASSERT_EQ(prompter.records.size(), 1u);
  EXPECT_EQ(prompter.Texts()[0], "ワークスペースが作成できないので、実行できません。");
  EXPECT_EQ(U8(prompter.records[0].title), "MOK住所変換");
}

TEST(SystemInit, SettingsFileDefaultsToTheProgramFolder) {
  RecordingPrompter prompter;
  const Startup startup = InitializeSystem(prompter, u"", nullptr, nullptr);
  EXPECT_EQ(startup.settingsFilePath, AddPathSeparator(ProgramDirectory()) + u"mok.ini");
}

}  // namespace
}  // namespace mok
