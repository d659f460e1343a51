// System initialisation at start-up: the settings file path, the settings, the engine's fixed
// tables, the main database path and the database workspace.
#pragma once

#include <functional>
#include <string>

#include "startup/command_line.h"
#include "startup/prompter.h"
#include "startup/settings.h"

namespace mok {

inline constexpr char16_t kMainDatabaseFileName[] = u"mok2.sqlite";
inline constexpr char16_t kMainWindowTitle[] = u"MOK 住所認識システム";
inline constexpr char16_t kWorkspaceError[] = u"ワークスペースが作成できないので、実行できません。";

// Program-wide paths and names set at start-up.
struct StartupState {
  std::u16string SettingsFilePath;
  std::u16string DatabasePath;
  std::u16string RegionListTable = u"ＤＢ一覧";
  bool WorkspaceCreated = false;
  CommandLineOptions CommandLine;
};

// The main database file in `dbDir`: an empty folder gives the file at the root ("/mok2.sqlite"),
// where opening it fails with the database's own message.
std::u16string MainDatabasePath(const std::u16string& dbDir);

// Sets the settings file path (`settingsFilePath`, or mok.ini in the program's folder when ""),
// loads the settings, calls `loadFixedNames`, sets the database path and the region-list table,
// and calls `createDbWorkspace`; when that fails, shows the workspace message and goes on. The
// engine and database steps come in as functions because this library sits below them.
void InitializeSystem(StartupState& state, Settings& settings, Prompter& prompter,
                      const std::u16string& settingsFilePath,
                      const std::function<void()>& loadFixedNames,
                      const std::function<bool()>& createDbWorkspace);

}  // namespace mok
