// System initialisation at start-up: the settings file path, the settings, the engine's fixed
// tables and the database workspace.
#pragma once

#include <functional>
#include <string>

#include "startup/prompter.h"
#include "startup/settings.h"

namespace mok {

inline constexpr char16_t kMainWindowTitle[] = u"MOK 住所認識システム";
inline constexpr char16_t kWorkspaceError[] = u"ワークスペースが作成できないので、実行できません。";

// What start-up prepared for the program.
struct Startup {
  // mok.ini beside the program, or the user's own for an installed program (settings_location.h),
  // unless another was named
  std::u16string settingsFilePath;
  Settings settings;
  bool workspaceCreated = false;
};

// The settings file of a program started without one named: mok.ini beside it, or the user's own
// for an installed program (settings_location.h), after showing through `prompter` what kept the
// user's settings or databases from being made.
std::u16string DefaultSettingsFile(Prompter& prompter);

// Takes the settings file (`settingsFilePath`, or DefaultSettingsFile when ""),
// loads the settings, calls `loadFixedNames` and `createDbWorkspace`; when the workspace cannot
// be created, shows the workspace message and goes on. The engine and database steps come in as
// functions because this library sits below them.
Startup InitializeSystem(Prompter& prompter, const std::u16string& settingsFilePath,
                         const std::function<void()>& loadFixedNames,
                         const std::function<bool()>& createDbWorkspace);

}  // namespace mok
