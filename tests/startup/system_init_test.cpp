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
  StartupState state;
  Settings settings;
  RecordingPrompter prompter;
  std::vector<std::string> steps;
  InitializeSystem(
      state, settings, prompter, file,
      [&] { steps.push_back("fixed names, " + std::to_string(settings.fixedTerms.size())); },
      [&] {
        steps.push_back("workspace, " + U8(state.DatabasePath));
        return true;
      });
  EXPECT_EQ(steps, (std::vector<std::string>{"fixed names, 1", "workspace, /地図/mok2.sqlite"}));
  EXPECT_EQ(U8(state.SettingsFilePath), U8(file));
  EXPECT_EQ(U8(settings.dbDir), "/地図");
  EXPECT_EQ(U8(state.DatabasePath), "/地図/mok2.sqlite");
  EXPECT_EQ(U8(state.RegionListTable), "ＤＢ一覧");
  EXPECT_TRUE(state.WorkspaceCreated);
  EXPECT_TRUE(prompter.records.empty());
}

TEST(SystemInit, FailingWorkspaceIsReportedAndStartUpGoesOn) {
  TempFolder folder;
  StartupState state;
  Settings settings;
  RecordingPrompter prompter;
  InitializeSystem(state, settings, prompter, folder.File("none.ini"), nullptr,
                   [] { return false; });
  EXPECT_FALSE(state.WorkspaceCreated);
  ASSERT_EQ(prompter.records.size(), 1u);
  EXPECT_EQ(prompter.Texts()[0], "ワークスペースが作成できないので、実行できません。");
  EXPECT_EQ(U8(prompter.records[0].title), "MOK住所変換");
  EXPECT_EQ(prompter.records[0].buttons, MessageButtons::Ok);
  // Start-up went on: the paths are set; an empty DBDIR gives the file at the root.
  EXPECT_EQ(U8(state.DatabasePath), "/mok2.sqlite");
  EXPECT_EQ(U8(state.RegionListTable), "ＤＢ一覧");
}

TEST(SystemInit, SettingsFileDefaultsToTheProgramFolder) {
  StartupState state;
  Settings settings;
  RecordingPrompter prompter;
  InitializeSystem(state, settings, prompter, u"", nullptr, nullptr);
  EXPECT_EQ(U8(state.SettingsFilePath), U8(AddPathSeparator(ProgramDirectory()) + u"mok.ini"));
}

}  // namespace
}  // namespace mok
