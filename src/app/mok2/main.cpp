// mok2: the command-line tool. Builds the address databases (db), recognises single addresses
// (recognize) and runs a whole conversion without windows (convert).
#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"

namespace mok::app {
namespace {

std::vector<Command> AllCommands() {
  std::vector<Command> commands = DbCommands();
  commands.push_back(RecognizeCommand());
  commands.push_back(ConvertCommand());
  return commands;
}

std::string Synopsis(const Command& command) {
  std::string text = "mok2 " + std::string(command.name);
  if (!command.options.empty())
    text += " [options]";
  if (!command.arguments.empty())
    text += " " + std::string(command.arguments);
  return text;
}

void PrintUsage(const std::vector<Command>& commands, std::FILE* out) {
  std::fputs("usage: mok2 <command> [options]\n", out);
  for (const Command& command : commands) {
    std::string line = "  " + std::string(command.name);
    if (!command.arguments.empty())
      line += " " + std::string(command.arguments);
    if (line.size() < 38)
      line.resize(38, ' ');
    else
      line += "  ";
    std::fprintf(out, "%s%s\n", line.c_str(), std::string(command.summary).c_str());
  }
  std::fputs("Run 'mok2 <command> --help' for the options of a command.\n", out);
}

void PrintHelp(const Command& command) {
  std::printf("usage: %s\n%s", Synopsis(command).c_str(), std::string(command.description).c_str());
  if (!command.options.empty())
    std::printf("Options:\n%s", DescribeOptions(command.options).c_str());
}

// The commands whose name begins with the word `group` ("db" for the db commands).
std::vector<Command> GroupCommands(const std::vector<Command>& commands, const std::string& group) {
  std::vector<Command> members;
  for (const Command& command : commands) {
    if (command.name.starts_with(group + " "))
      members.push_back(command);
  }
  return members;
}

// `mok2 db` alone, with --help, or with a word that names none of its commands: the list of the
// group's commands (exit 0 for --help, 2 otherwise); nullopt when `args` name no group.
std::optional<int> RunGroup(const std::vector<Command>& commands,
                            const std::vector<std::string>& args) {
  const std::vector<Command> members = GroupCommands(commands, args[0]);
  if (members.empty())
    return std::nullopt;
  const bool help = args.size() > 1 && (args[1] == "--help" || args[1] == "-h");
  if (args.size() > 1 && !help)
    std::fprintf(stderr, "mok2 %s: unknown command '%s'\n", args[0].c_str(), args[1].c_str());
  PrintUsage(members, help ? stdout : stderr);
  return help ? 0 : 2;
}

int Run(const std::vector<std::string>& args) {
  const std::vector<Command> commands = AllCommands();
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    PrintUsage(commands, args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  // A command is named by one word, or two for the db commands.
  for (const Command& command : commands) {
    const std::size_t spaces =
        static_cast<std::size_t>(std::count(command.name.begin(), command.name.end(), ' '));
    if (args.size() <= spaces)
      continue;
    std::string name = args[0];
    for (std::size_t i = 1; i <= spaces; ++i)
      name += " " + args[i];
    if (name != command.name)
      continue;
    const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(spaces + 1),
                                        args.end());
    const auto options = ParseOptions(command.name, command.options, rest);
    if (!options) {
      std::fprintf(stderr, "usage: %s\n", Synopsis(command).c_str());
      return 2;
    }
    if (options->help) {
      PrintHelp(command);
      return 0;
    }
    if (command.wordCount && options->words.size() != *command.wordCount) {
      std::fprintf(stderr, "mok2 %s: expected %zu arguments, got %zu\nusage: %s\n",
                   std::string(command.name).c_str(), *command.wordCount, options->words.size(),
                   Synopsis(command).c_str());
      return 2;
    }
    try {
      return command.run(*options);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "mok2 %s: %s\n", std::string(command.name).c_str(), e.what());
      return 1;
    }
  }
  if (const auto status = RunGroup(commands, args))
    return *status;
  std::fprintf(stderr, "mok2: unknown command '%s'\n", args[0].c_str());
  PrintUsage(commands, stderr);
  return 2;
}

}  // namespace
}  // namespace mok::app

int main(int argc, char** argv) {
  return mok::app::Run(std::vector<std::string>(argv + 1, argv + argc));
}
