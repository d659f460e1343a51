#include "tool_session.h"

#include <cstdio>
#include <filesystem>

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

}  // namespace mok::app
