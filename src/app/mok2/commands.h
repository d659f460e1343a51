// The subcommands of the command-line tool mok2. Each takes the words after its name.
#pragma once

#include <string>
#include <vector>

namespace mok::app {

using Args = std::vector<std::string>;

int RunDbCommand(const Args& args);         // mok2 db ...
int RunRecognizeCommand(const Args& args);  // mok2 recognize ...
int RunConvertCommand(const Args& args);    // mok2 convert ...

}  // namespace mok::app
