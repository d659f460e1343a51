// Which records of the last run were not converted, told from the run's input and output files
// read side by side. A converted output line carries more fields than its input line; an
// unconverted one carries exactly the input line (or nothing when the source was not copied).
// So with input "a,東京都港区1-2-3,c" (3 fields) the output line "a,東京都港区1-2-3,c" (3 fields)
// or "" is listed, while "a,東京都港区1-2-3,c,港区...,13103,9,..." is not; with the log
// column on, an output of 4 fields (an empty address written with one trailing ",") is listed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "batch/conversion_run.h"
#include "startup/prompter.h"
#include "startup/settings.h"

namespace mok::ui {

// The values of the last run the list is built from.
using UnconvertedRunFiles = batch::RunFiles;

// The display forms of the unconverted records' addresses, in file order: the input's lines
// before LngStartRow and the output's settings.addLine header lines are skipped, then the two
// files are read in step until either ends. nullopt when a file cannot be opened or ends while
// the leading lines are skipped; the message has then been shown.
std::optional<std::vector<std::u16string>> CollectUnconvertedAddresses(
    const UnconvertedRunFiles& run, const Settings& settings, Prompter& prompter);

}  // namespace mok::ui
