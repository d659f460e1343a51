// Hands a finished output to the companion map program: the output file is copied into TEMPDIR,
// the program named by VELMORA is started, and it is sent the command
// "[OpenStat(" + copy path + ")]". There is no DDE here, so the command text reaches the program
// as the last argument of its command line (started directly, without a shell).
//
// Example: output /data/out/result.csv, TEMPDIR /tmp/map, VELMORA "/opt/velmora/velmora -q":
// /tmp/map/result.csv is written and "/opt/velmora/velmora" "-q" "[OpenStat(/tmp/map/result.csv)]"
// is started.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "batch/file_error.h"
#include "startup/prompter.h"
#include "startup/settings.h"

namespace mok::batch {

// Starts a program with these arguments (argv[0] is the program) and does not wait for it.
// False with `error` filled when it cannot be started.
using ProgramStarter = std::function<bool(const std::vector<std::string>& argv, FileError& error)>;

// The default starter (posix_spawnp).
bool StartProgram(const std::vector<std::string>& argv, FileError& error);

// Splits a command line into words: blanks separate words, double quotes group a word that
// contains blanks ("C:/Program Files/x" -> one word).
std::vector<std::string> SplitCommandLine(const std::u16string& commandLine);

// The command sent to the map program for a copied file.
std::u16string MapCommand(const std::u16string& copyPath);

// True when the command was handed over; false when the link is not configured (nothing done,
// no message) or a step failed (message: description(number) + CR LF + "DDE").
bool ShowInMapProgram(const Settings& settings, Prompter& prompter,
                      const std::u16string& outputPathText,
                      const ProgramStarter& start = StartProgram);

}  // namespace mok::batch
