// The conversion session of the recognize and convert commands: the settings file named by
// --ini (or mok.ini beside the program), with --db-dir in place of its DBDIR and --match in place
// of its MATCHMODE.
#pragma once

#include <memory>
#include <string_view>

#include "batch/session.h"
#include "startup/prompter.h"
#include "tool_options.h"

namespace mok::app {

// nullptr (after a message) when --ini names something that is not a file or --match is neither
// standard nor extended.
std::unique_ptr<batch::Session> MakeSession(std::string_view command, const ParsedOptions& options,
                                            Prompter& prompter);

}  // namespace mok::app
