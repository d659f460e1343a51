#include "startup/system_init.h"

#include "startup/new_settings.h"
#include "startup/paths.h"
#include "startup/settings_file.h"
#include "startup/settings_location.h"

namespace mok {

std::u16string DefaultSettingsFile(Prompter& prompter) {
  const SettingsLocation location =
      LocateSettingsFile(ProgramDirectory(), HomeFoldersFromEnvironment());
  if (!location.problem.empty())
    prompter.ShowMessage(location.problem, MessageIcon::None, kAppTitle);
  return location.settingsFile;
}

Startup InitializeSystem(Prompter& prompter, const std::u16string& settingsFilePath,
                         const std::function<void()>& loadFixedNames,
                         const std::function<bool()>& createDbWorkspace) {
  Startup startup;
  startup.settingsFilePath =
      settingsFilePath.empty() ? DefaultSettingsFile(prompter) : settingsFilePath;
  // The desktop program keeps its settings: a new user's file is made at the first start.
  CreateNewSettingsFile(startup.settingsFilePath);
  LoadSettings(startup.settings, startup.settingsFilePath, prompter);
  if (loadFixedNames)
    loadFixedNames();
  startup.workspaceCreated = createDbWorkspace ? createDbWorkspace() : true;
  if (!startup.workspaceCreated)
    prompter.ShowMessage(kWorkspaceError, MessageIcon::None, kAppTitle);
  return startup;
}

}  // namespace mok
