#include "tool_session.h"

#include "startup/paths.h"
#include "startup/settings_file.h"
#include "text/text.h"

namespace mok::app {
namespace {

std::u16string SettingsFilePath(const std::optional<std::string>& ini) {
  return ini ? text::FromUtf8(*ini) : JoinPath(ProgramDirectory(), kSettingsFileName);
}

// The settings are complete before the database is built on them.
Settings ReadSettings(const std::u16string& iniPath, const std::optional<std::string>& dbDir,
                      Prompter& prompter) {
  Settings settings;
  LoadSettings(settings, iniPath, prompter);
  if (dbDir)
    settings.dbDir = text::FromUtf8(*dbDir);
  return settings;
}

}  // namespace

ToolSession::ToolSession(const std::optional<std::string>& ini,
                         const std::optional<std::string>& dbDir, Prompter& prompter)
    : iniPath(SettingsFilePath(ini)),
      settings(ReadSettings(iniPath, dbDir, prompter)),
      database(settings, prompter) {}

bool ToolSession::OpenDatabase() {
  if (!database.OpenMainDatabase() || !database.LoadPrefectureNames())
    return false;
  database.LoadRegionList(regions);
  return true;
}

}  // namespace mok::app
