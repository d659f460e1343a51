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
  const std::u16string line = fuzz::InputText(input), words = u" " + line + u" ";
  CommandLineOptions o;
  test::RecordingPrompter prompter;
  const bool valid = ParseCommandLine(line, o, prompter);
  MOK_FUZZ_CHECK(valid == o.valid && prompter.records.size() == (valid || line.empty() ? 0u : 1u));
  for (const auto& [has, value] : {std::pair(o.hasRegion, o.region),
                                   {o.hasInput, o.inputFile},
                                   {o.hasOutput, o.outputFile},
                                   {o.hasStartRow, o.startRow}}) {
    MOK_FUZZ_CHECK((valid || (!has && value.empty())) &&
                   (value.empty() || words.find(u" " + value + u" ") != words.npos));
  }

  std::vector<app::Command> commands = app::DbCommands();
  commands.push_back(app::RecognizeCommand());
  commands.push_back(app::ConvertCommand());
  const app::Command& command =
      commands[input.empty() ? 0 : static_cast<uint8_t>(input[0]) % commands.size()];
  std::vector<std::string> args;
  for (std::size_t at = 1; at <= input.size(); at += args.back().size() + 1)
    args.emplace_back(input.substr(at, input.find('\0', at) - at));
  if (const auto parsed = app::ParseOptions(command.name, command.options, args)) {
    for (const auto& value : parsed->values) {
      MOK_FUZZ_CHECK(std::ranges::any_of(
          command.options, [&](const app::OptionRule& rule) { return rule.name == value.first; }));
    }
    for (const std::string& word : parsed->words)
      MOK_FUZZ_CHECK(std::ranges::find(args, word) != args.end());
  }
}

}  // namespace mok
