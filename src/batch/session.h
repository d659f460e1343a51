// Everything a conversion works with, built in the order each part needs the one before: the
// settings (from the settings file), the address data of the settings' database folder and a
// recognizer over the settings, which recognises against that address data. The programs, the
// tests and the benchmarks build their conversions from a Session; a run (ConversionRun) is
// added by whoever talks to the user. The database is opened by the program: the command-line
// tool through OpenDatabase, the main window in its load step.
//
//   Session session(iniPath, prompter);
//   if (auto opened = session.OpenDatabase(); !opened) ...opened.error().Message()...
//   ConversionRun run(session, prompter, observer);
#pragma once

#include <optional>
#include <string>

#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "startup/prompter.h"
#include "startup/settings.h"

namespace mok::batch {

struct Session {
  // Reads the settings file (a missing one gives the defaults; a malformed fixed name is shown
  // through `prompter`); `dbDir` replaces the DBDIR setting when given.
  Session(std::u16string settingsFile, Prompter& prompter,
          const std::optional<std::u16string>& dbDir = std::nullopt);
  // Takes settings already read from `settingsFile` (the desktop program's start-up reads them
  // before it builds the engine's fixed tables).
  Session(std::u16string settingsFile, Settings settings);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Opens the main database of the settings (the server MAINDB, else the folder's file) and
  // reads its prefecture and region lists.
  DbStatus OpenDatabase();

  const std::u16string settingsFilePath;
  Settings settings;
  db::AddressDatabase database;
  engine::Recognizer recognizer{settings};
};

}  // namespace mok::batch
