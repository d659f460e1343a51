// Command-line parsing.
//
// An argument text is split at spaces (U+0020 only: tabs, full-width spaces and quotes are
// ordinary characters, so a value in it cannot contain a space); the program's own arguments are
// taken as the words they are, so that `-i "My Files/a.csv"` names one file. A word that begins
// with "-" is an option named by its second character, in either case; the word after it is its
// value whatever it looks like. Other words are skipped. Example: `abc -I in.csv -d -o x` sets the
// input file "in.csv" and the region "-o"; "x" is skipped.
#include "startup/command_line.h"

#include "text/text.h"

namespace mok {
namespace {

// At most this many words are held; one more is an error.
constexpr std::size_t kMaxWords = 101;

std::vector<std::u16string_view> SplitWords(std::u16string_view text) {
  std::vector<std::u16string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == u' ')
      ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != u' ')
      ++i;
    if (i > start)
      words.push_back(text.substr(start, i - start));
  }
  return words;
}

// No option set; the first activation as it was.
CommandLineOptions Unset(const CommandLineOptions& options) {
  CommandLineOptions unset;
  unset.firstActivate = options.firstActivate;
  return unset;
}

// Parses the words; `commandLine` is the text a message shows.
bool ParseWords(const std::vector<std::u16string_view>& words, const std::u16string& commandLine,
                CommandLineOptions& options, Prompter& prompter) {
  options = Unset(options);
  auto fail = [&]() {
    prompter.ShowMessage(std::u16string(kCommandLineError) + u"\r\n" + commandLine,
                         MessageIcon::None, kAppTitle);
    options = Unset(options);
    return false;
  };

  if (words.empty() || words.size() > kMaxWords)
    return fail();

  for (std::size_t i = 0; i < words.size();) {
    const std::u16string_view word = words[i];
    if (!word.starts_with(u'-')) {
      ++i;  // neither an option nor a value: skipped
      continue;
    }
    if (word.size() < 2)
      return fail();
    bool* has = nullptr;
    std::u16string* value = nullptr;
    switch (word[1]) {
      case u'd':
      case u'D':
        has = &options.hasRegion;
        value = &options.region;
        break;
      case u'i':
      case u'I':
        has = &options.hasInput;
        value = &options.inputFile;
        break;
      case u'o':
      case u'O':
        has = &options.hasOutput;
        value = &options.outputFile;
        break;
      case u'l':
      case u'L':
        has = &options.hasStartRow;
        value = &options.startRow;
        break;
      default:
        return fail();
    }
    // The value of the last word held would be one word too many.
    if (i + 1 == kMaxWords)
      return fail();
    *has = true;
    *value = i + 1 < words.size() ? std::u16string(words[i + 1]) : std::u16string();
    i += 2;
  }
  options.valid = true;
  return true;
}

}  // namespace

bool ParseCommandLine(const std::u16string& commandLine, CommandLineOptions& options,
                      Prompter& prompter) {
  if (commandLine.empty()) {
    options = Unset(options);
    return false;
  }
  return ParseWords(SplitWords(commandLine), commandLine, options, prompter);
}

bool ParseCommandLine(const std::vector<std::u16string>& arguments, CommandLineOptions& options,
                      Prompter& prompter) {
  if (arguments.empty()) {
    options = Unset(options);
    return false;
  }
  const std::vector<std::u16string_view> words(arguments.begin(), arguments.end());
  return ParseWords(words, JoinArguments(arguments), options, prompter);
}

std::u16string JoinArguments(const std::vector<std::u16string>& words) {
  std::u16string text;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0)
      text += u' ';
    text += words[i];
  }
  return text;
}

std::vector<std::u16string> ProgramArguments(int argc, const char* const* argv) {
  std::vector<std::u16string> words;
  for (int i = 1; i < argc; ++i)
    words.push_back(text::FromUtf8(argv[i]));
  return words;
}

std::u16string JoinArguments(int argc, const char* const* argv) {
  return JoinArguments(ProgramArguments(argc, argv));
}

}  // namespace mok
