// The step the conversion commands of mok2 (recognize, convert) start with: the settings file
// named by --ini (or mok.ini beside the program, the user's own when installed) read with --db-dir
// in place of its DBDIR, --main-db in place of its MAINDB and --match in place of its MATCHMODE,
// the database of that folder opened, and the number of recognition threads (--jobs). What each
// command says when a step fails is the command's rule.
//
//   const SessionCommand step("convert", options, {.databaseFailureAsMessage = true});
//   const auto session = step.Open(prompter);   // nullptr: said why; exit with 1
//   const auto jobs = step.Jobs(session->settings);  // nullopt: said why; exit with 2
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "batch/session.h"
#include "startup/prompter.h"
#include "startup/settings.h"
#include "tool_options.h"

namespace mok::app {

struct SessionRules {
  // A --ini that names no file ends the command (a command that only reads the settings).
  bool settingsFileMustExist = false;
  // The database's failure to open is said as the desktop program says it, through the prompter;
  // otherwise on one line of standard error after "mok2 <command>: ".
  bool databaseFailureAsMessage = false;
};

class SessionCommand {
 public:
  SessionCommand(std::string_view command, const ParsedOptions& options, SessionRules rules)
      : command_(command), options_(options), rules_(rules) {}

  // The session with its database open, or nullptr after the message why not: a --ini that
  // names something that is not a file, a --match that is neither standard nor extended, the
  // database that does not open.
  std::unique_ptr<batch::Session> Open(Prompter& prompter) const;

  // The number of recognition threads: --jobs, else the JOBS setting, else one per core; nullopt
  // (after a message) when --jobs is not a number from 1 to 64.
  std::optional<unsigned> Jobs(const Settings& settings) const;

 private:
  // Says "mok2 <command>: <text>" on standard error.
  void Complain(const std::string& text) const;

  std::string command_;
  const ParsedOptions& options_;
  SessionRules rules_;
};

}  // namespace mok::app
