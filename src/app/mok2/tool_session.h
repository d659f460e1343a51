// The conversion session of the recognize and convert commands: the settings file named by
// --ini (or mok.ini beside the program), with --db-dir in place of its DBDIR.
#pragma once

#include <memory>

#include "batch/session.h"
#include "startup/prompter.h"
#include "tool_options.h"

namespace mok::app {

std::unique_ptr<batch::Session> MakeSession(const ParsedOptions& options, Prompter& prompter);

}  // namespace mok::app
