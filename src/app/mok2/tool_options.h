// The options a mok2 command declares, and the parsing of its words against them. Every command
// of the tool is one row of the command table (commands.h) with its declared options, so that
// parsing, error messages and help texts are the same everywhere.
//
//   {"--db-dir", "DIR", "folder of mok2.sqlite and the region databases"}
//   mok2 recognize --db-dir /data 東京都千代田区丸の内1-1  ->  values {"--db-dir": "/data"},
//                                                        words {"東京都千代田区丸の内1-1"}
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mok::app {

struct OptionRule {
  std::string_view name;       // "--db-dir", "--json" or a letter "-d"
  std::string_view valueName;  // "DIR"; empty for a flag
  std::string_view help;
  // As the desktop program reads its own options: the value is the next word whatever it looks
  // like ("" when the option is the last word), and the letter is read in either case.
  bool desktopStyle = false;
};

struct ParsedOptions {
  std::map<std::string, std::string, std::less<>> values;  // flags present have ""
  std::vector<std::string> words;                          // everything that is not an option
  bool help = false;                                       // --help or -h

  bool Has(std::string_view name) const { return values.find(name) != values.end(); }
  std::optional<std::string> Value(std::string_view name) const;
};

// Parses `args` against `options`; "--" ends the options. On an unknown option or a missing
// value, says so on standard error (prefixed with "mok2 <command>: ") and gives nullopt.
std::optional<ParsedOptions> ParseOptions(std::string_view command,
                                          std::span<const OptionRule> options,
                                          const std::vector<std::string>& args);

// The lines of a help text that list the options.
std::string DescribeOptions(std::span<const OptionRule> options);

}  // namespace mok::app
