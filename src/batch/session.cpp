#include "batch/session.h"

#include <utility>

#include "startup/settings_file.h"

namespace mok::batch {

namespace {

Settings ReadSettings(const std::u16string& file, Prompter& prompter,
                      const std::optional<std::u16string>& dbDir) {
  Settings settings;
  LoadSettings(settings, file, prompter);
  if (dbDir)
    settings.dbDir = *dbDir;
  return settings;
}

}  // namespace

Session::Session(std::u16string settingsFile, Prompter& prompter,
                 const std::optional<std::u16string>& dbDir)
    : settingsFilePath(std::move(settingsFile)),
      settings(ReadSettings(settingsFilePath, prompter, dbDir)) {}

Session::Session(std::u16string settingsFile, Settings readSettings)
    : settingsFilePath(std::move(settingsFile)), settings(std::move(readSettings)) {}

DbStatus Session::OpenDatabase() {
  if (auto opened = database.Open(settings.dbDir, settings.mainDb); !opened)
    return opened;
  return database.ReloadRegionList();
}

}  // namespace mok::batch
