#include "tool_session.h"

#include "startup/paths.h"
#include "startup/settings_file.h"
#include "text/text.h"

namespace mok::app {

std::unique_ptr<batch::Session> MakeSession(const ParsedOptions& options, Prompter& prompter) {
  const auto ini = options.Value("--ini");
  const auto dbDir = options.Value("--db-dir");
  return std::make_unique<batch::Session>(
      ini ? text::FromUtf8(*ini) : JoinPath(ProgramDirectory(), kSettingsFileName), prompter,
      dbDir ? std::optional(text::FromUtf8(*dbDir)) : std::nullopt);
}

}  // namespace mok::app
