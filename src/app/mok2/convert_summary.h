// What mok2 convert prints when a run has ended: the summary line of a run that started (records,
// converted, failed and how it ended) and the output's path and encoding after a finished run,
// each in one language (summary_language.h).
//
//   全3件：変換 2件、変換できず 1件。変換が終了しました。   3 records, 2 converted, 1 failed.
//   Finished. 出力ファイル: /data/out.csv (cp932)                     Output: /data/out.csv (cp932)
#pragma once

#include <string>

#include "batch/run_files.h"
#include "batch/run_outcome.h"
#include "summary_language.h"

namespace mok::app {

// The summary line (without its line end) of a run that started; `files`: the run's files.
std::string ConvertSummary(const batch::RunOutcome& outcome, const batch::RunFiles& files,
                           SummaryLanguage language);

// "出力ファイル: <path> (<encoding>)" or "Output: …" (without its line end).
std::string OutputLine(const batch::RunFiles& files, SummaryLanguage language);

// The exit status: 0 finished with every record converted, 3 finished with records that failed
// or have an empty address, 130 stopped, 1 not started or failed, or finished with an incomplete
// error list.
int ExitStatus(const batch::RunOutcome& outcome);

}  // namespace mok::app
