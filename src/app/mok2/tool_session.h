// The start-up the recognize and convert commands share: the settings file (the one named by
// --ini or mok.ini beside the program), the --db-dir override, the main database with its
// prefecture names and the region list.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "db/address_database.h"
#include "startup/prompter.h"
#include "startup/settings.h"

namespace mok::app {

class ToolSession {
 public:
  // Reads the settings file and applies the database folder given on the command line.
  ToolSession(const std::optional<std::string>& ini, const std::optional<std::string>& dbDir,
              Prompter& prompter);
  ToolSession(const ToolSession&) = delete;
  ToolSession& operator=(const ToolSession&) = delete;

  // Opens the main database, reads the prefecture names and the region list; false (after the
  // database's own message) when the main database or its prefecture names cannot be read.
  bool OpenDatabase();

  const std::u16string iniPath;
  Settings settings;
  db::AddressDatabase database;
  std::vector<std::u16string> regions;
};

}  // namespace mok::app
