#include "tool_session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "commands.h"
#include "startup/paths.h"
#include "startup/settings_file.h"
#include "text/text.h"

namespace mok::app {

std::unique_ptr<batch::Session> MakeSession(std::string_view command, const ParsedOptions& options,
                                            Prompter& prompter) {
  const auto ini = options.Value("--ini");
  const auto dbDir = options.Value("--db-dir");
  std::error_code ec;
  if (ini && std::filesystem::exists(*ini, ec) && !std::filesystem::is_regular_file(*ini, ec)) {
    std::fprintf(stderr, "mok2 %s: the settings file '%s' is not a file\n",
                 std::string(command).c_str(), ini->c_str());
    return nullptr;
  }
  // --match decides for this run only: the settings file keeps its MATCHMODE.
  const auto match = options.Value("--match");
  if (match && *match != "standard" && *match != "extended") {
    std::fprintf(stderr, "mok2 %s: unknown matching '%s' (standard or extended)\n",
                 std::string(command).c_str(), match->c_str());
    return nullptr;
  }
  auto session = std::make_unique<batch::Session>(
      ini ? text::FromUtf8(*ini) : JoinPath(ProgramDirectory(), kSettingsFileName), prompter,
      dbDir ? std::optional(text::FromUtf8(*dbDir)) : std::nullopt);
  if (match)
    session->settings.extendedMatch = *match == "extended";
  return session;
}

std::optional<unsigned> JobsOf(std::string_view command, const ParsedOptions& options,
                               const Settings& settings) {
  long jobs = settings.jobs;
  if (const auto given = options.Value("--jobs")) {
    char* end = nullptr;
    jobs = std::strtol(given->c_str(), &end, 10);
    if (given->empty() || *end != '\0' || jobs < 1 || jobs > 64) {
      std::fprintf(stderr, "mok2 %s: --jobs takes a number from 1 to 64\n",
                   std::string(command).c_str());
      return std::nullopt;
    }
  }
  if (jobs > 0)
    return static_cast<unsigned>(std::min(jobs, 64L));
  return std::max(1U, std::thread::hardware_concurrency());
}

}  // namespace mok::app
