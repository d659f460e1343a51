#include "startup/system_init.h"

#include "startup/paths.h"
#include "startup/settings_file.h"

namespace mok {

std::u16string MainDatabasePath(const std::u16string& dbDir) {
  std::u16string folder = AddPathSeparator(dbDir);
  if (folder.empty())
    folder = kPathSeparator;
  return folder + kMainDatabaseFileName;
}

void InitializeSystem(StartupState& state, Settings& settings, Prompter& prompter,
                      const std::u16string& settingsFilePath,
                      const std::function<void()>& loadFixedNames,
                      const std::function<bool()>& createDbWorkspace) {
  state.SettingsFilePath = settingsFilePath.empty()
                               ? AddPathSeparator(ProgramDirectory()) + kSettingsFileName
                               : settingsFilePath;
  LoadSettings(settings, state.SettingsFilePath, prompter);
  if (loadFixedNames)
    loadFixedNames();
  state.DatabasePath = MainDatabasePath(settings.dbDir);
  state.RegionListTable = u"ＤＢ一覧";
  state.WorkspaceCreated = createDbWorkspace ? createDbWorkspace() : true;
  if (!state.WorkspaceCreated)
    prompter.ShowMessage(kWorkspaceError, MessageIcon::None, kAppTitle);
}

}  // namespace mok
