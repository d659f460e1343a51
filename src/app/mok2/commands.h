// The commands of the command-line tool mok2, one table row each: the words that name it, its
// arguments and declared options, its help text and the function that runs it.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "tool_options.h"

namespace mok::app {

struct Command {
  std::string_view name;                 // "recognize", "db create"
  std::string_view arguments;            // "DIR REGION FILE", "[ADDRESS...]"
  std::optional<std::size_t> wordCount;  // the number of arguments, when fixed
  std::string_view summary;              // one line of the tool's usage
  std::string_view description;          // the help text before the options
  std::vector<OptionRule> options;
  int (*run)(const ParsedOptions&);
};

// Options several commands share.
inline constexpr OptionRule kDbDirOption{
    "--db-dir", "DIR", "folder of mok2.sqlite and the region databases (default: DBDIR)"};
inline constexpr OptionRule kMainDbOption{
    "--main-db", "SERVER",
    "main database on a server, postgresql://host/dbname (default: MAINDB, else DIR/mok2.sqlite)"};
inline constexpr OptionRule kIniOption{
    "--ini", "FILE", "settings file (default: mok.ini beside the program, or the user's own)"};
inline constexpr OptionRule kMatchOption{
    "--match", "MODE", "standard or extended matching (default: MATCHMODE of the settings)"};
inline constexpr OptionRule kJobsOption{
    "--jobs", "N", "threads that recognise addresses (default: JOBS, else one per core)"};

Command RecognizeCommand();
Command ConvertCommand();
std::vector<Command> DbCommands();

}  // namespace mok::app
