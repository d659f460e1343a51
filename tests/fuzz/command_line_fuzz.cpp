// The command lines: the desktop program's argument text, and the words of a mok2 command (the
// input split at NUL bytes, the first byte choosing the command) against its declared options.
#include <algorithm>

#include "app/mok2/commands.h"
#include "fuzz/fuzz_target.h"
#include "startup/command_line.h"

namespace mok {

MOK_FUZZ_TARGET(command_line) {
  // A valid command line sets only values that are words of it; an invalid one sets nothing and
  // says so unless it is empty.
  const std::u16string line = fuzz::InputText(input);
  CommandLineOptions options;
  fuzz::CountingPrompter prompter;
  const bool valid = ParseCommandLine(line, options, prompter);
  MOK_FUZZ_CHECK(valid == options.valid && prompter.messages == (valid || line.empty() ? 0 : 1));
  const std::u16string padded = u" " + line + u" ";
  const std::pair<bool, std::u16string> values[] = {{options.hasRegion, options.region},
                                                    {options.hasInput, options.inputFile},
                                                    {options.hasOutput, options.outputFile},
                                                    {options.hasStartRow, options.startRow}};
  for (const auto& [has, value] : values) {
    MOK_FUZZ_CHECK(valid || (!has && value.empty()));
    MOK_FUZZ_CHECK(value.find(u' ') == value.npos &&
                   (value.empty() || padded.find(u" " + value + u" ") != padded.npos));
  }

  if (input.empty())
    return;
  std::vector<app::Command> commands = app::DbCommands();
  commands.push_back(app::RecognizeCommand());
  commands.push_back(app::ConvertCommand());
  const app::Command& command = commands[static_cast<unsigned char>(input[0]) % commands.size()];
  std::vector<std::string> args;
  for (std::size_t at = 1; at <= input.size();) {
    const std::size_t end = std::min(input.find('\0', at), input.size());
    args.emplace_back(input.substr(at, end - at));
    at = end + 1;
  }
  const auto parsed = app::ParseOptions(command.name, command.options, args);
  if (!parsed)
    return;
  for (const auto& value : parsed->values) {
    MOK_FUZZ_CHECK(std::any_of(command.options.begin(), command.options.end(),
                               [&](const app::OptionSpec& o) { return o.name == value.first; }));
  }
  for (const std::string& word : parsed->words)
    MOK_FUZZ_CHECK(std::find(args.begin(), args.end(), word) != args.end());
  MOK_FUZZ_CHECK(parsed->values.size() + parsed->words.size() <= args.size());
}

}  // namespace mok
