#include "session_command.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "batch/database_message.h"
#include "batch/worker_count.h"
#include "startup/new_settings.h"
#include "startup/paths.h"
#include "startup/settings_file.h"
#include "startup/system_init.h"
#include "text/text.h"

namespace mok::app {

void SessionCommand::Complain(const std::string& text) const {
  std::fprintf(stderr, "mok2 %s: %s\n", command_.c_str(), text.c_str());
}

std::unique_ptr<batch::Session> SessionCommand::Open(Prompter& prompter) const {
  const auto ini = options_.Value("--ini");
  const auto dbDir = options_.Value("--db-dir");
  std::error_code ec;
  if (ini && rules_.settingsFileMustExist &&
      !std::filesystem::exists(std::filesystem::path(*ini))) {
    Complain("settings file '" + *ini + "' not found");
    return nullptr;
  }
  if (ini && std::filesystem::exists(*ini, ec) && !std::filesystem::is_regular_file(*ini, ec)) {
    Complain("the settings file '" + *ini + "' is not a file");
    return nullptr;
  }
  // --match decides for this run only: the settings file keeps its MATCHMODE.
  const auto match = options_.Value("--match");
  if (match && *match != "standard" && *match != "extended") {
    Complain("unknown matching '" + *match + "' (standard or extended)");
    return nullptr;
  }
  const std::u16string settingsFile = ini ? text::FromUtf8(*ini) : DefaultSettingsFile(prompter);
  const bool newUser = !std::filesystem::exists(std::filesystem::path(settingsFile), ec);
  auto session = std::make_unique<batch::Session>(
      settingsFile, prompter, dbDir ? std::optional(text::FromUtf8(*dbDir)) : std::nullopt);
  if (newUser)
    StartAsNewUser(session->settings);
  if (match)
    session->settings.extendedMatch = *match == "extended";
  // --main-db decides for this run only, as --db-dir does.
  if (const auto mainDb = options_.Value("--main-db"))
    session->settings.mainDb = text::FromUtf8(*mainDb);
  if (auto opened = session->OpenDatabase(); !opened) {
    if (rules_.databaseFailureAsMessage) {
      prompter.ShowMessage(batch::DatabaseMessage(opened.error()), MessageIcon::None, kAppTitle);
    } else {
      Complain(text::ToUtf8(batch::DatabaseMessage(opened.error())));
    }
    return nullptr;
  }
  return session;
}

std::optional<unsigned> SessionCommand::Jobs(const Settings& settings) const {
  int jobs = settings.jobs;
  if (const auto given = options_.Value("--jobs")) {
    char* end = nullptr;
    const long number = std::strtol(given->c_str(), &end, 10);
    if (given->empty() || *end != '\0' || number < 1 || number > batch::kMaxWorkers) {
      Complain("--jobs takes a number from 1 to " + std::to_string(batch::kMaxWorkers));
      return std::nullopt;
    }
    jobs = static_cast<int>(number);
  }
  return batch::WorkerCount(jobs);
}

}  // namespace mok::app
