// Command-line parsing.
//
// The argument text is split at spaces (U+0020 only: tabs, full-width spaces and quotes are
// ordinary characters, so a value cannot contain a space). A word that begins with "-" is an
// option named by its second character, in either case; the word after it is its value whatever
// it looks like. Other words are skipped. Example: `abc -I in.csv -d -o x` sets the input file
// "in.csv" and the region "-o"; "x" is skipped.
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

}  // namespace

bool ParseCommandLine(const std::u16string& commandLine, CommandLineOptions& options,
                      Prompter& prompter) {
  const bool firstActivate = options.firstActivate;
  options = CommandLineOptions{};
  options.firstActivate = firstActivate;
  if (commandLine.empty())
    return false;

  auto fail = [&]() {
    prompter.ShowMessage(std::u16string(kCommandLineError) + u"\r\n" + commandLine,
                         MessageIcon::None, kAppTitle);
    options = CommandLineOptions{};
    options.firstActivate = firstActivate;
    return false;
  };

  const std::vector<std::u16string_view> words = SplitWords(commandLine);
  if (words.empty() || words.size() > kMaxWords)
    return fail();

  for (std::size_t i = 0; i < words.size();) {
    const std::u16string_view word = words[i];
    if (word.front() != u'-') {
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

std::u16string JoinArguments(const std::vector<std::u16string>& words) {
  std::u16string text;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0)
      text += u' ';
    text += words[i];
  }
  return text;
}

std::u16string JoinArguments(int argc, const char* const* argv) {
  std::vector<std::u16string> words;
  for (int i = 1; i < argc; ++i)
    words.push_back(text::FromUtf8(argv[i]));
  return JoinArguments(words);
}

}  // namespace mok
