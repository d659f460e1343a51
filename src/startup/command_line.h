// The program's command line: options "-d" region, "-i" input file, "-o" output file and
// "-l" start row, which the main window applies at its first activation.
#pragma once

#include <string>
#include <vector>

#include "startup/prompter.h"

namespace mok {

struct CommandLineOptions {
  bool valid = false;          // present and parsed without error; only then are options applied
  bool firstActivate = false;  // true from start-up until the main window is first activated
  bool hasRegion = false;
  std::u16string region;
  bool hasInput = false;
  std::u16string inputFile;
  bool hasOutput = false;
  std::u16string outputFile;
  bool hasStartRow = false;
  std::u16string startRow;
};

inline constexpr char16_t kCommandLineError[] = u"起動時オプションの指定が間違っています。";

// Parses the argument text (the command line after the program's name, as one text) into
// `options` and returns whether it is valid; the result is also stored in options.valid.
// An empty text is not valid and shows nothing; a wrong one shows the error message followed
// by the whole argument text. On an error no option is set.
bool ParseCommandLine(const std::u16string& commandLine, CommandLineOptions& options,
                      Prompter& prompter);

// The same for the program's arguments as it was given them: each argument is one word (a value
// may hold spaces), the message shows them joined by spaces; no argument is not valid and shows
// nothing.
bool ParseCommandLine(const std::vector<std::u16string>& arguments, CommandLineOptions& options,
                      Prompter& prompter);

// The program's arguments from main()'s (UTF-8), skipping argv[0].
std::vector<std::u16string> ProgramArguments(int argc, const char* const* argv);

// The argument text of a program started with `words` (without the program's name): the words
// joined by single spaces, as the platform hands a command line over.
std::u16string JoinArguments(const std::vector<std::u16string>& words);
// The same from main()'s arguments (UTF-8), skipping argv[0].
std::u16string JoinArguments(int argc, const char* const* argv);

}  // namespace mok
