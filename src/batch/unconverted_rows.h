// Which records of the last run were not converted, told from the run's input and output files
// read side by side. A converted output line carries more fields than its input line; an
// unconverted one carries exactly the input line (or nothing when the source was not copied).
// So with input "a,東京都港区1-2-3,c" (3 fields) the output line "a,東京都港区1-2-3,c" (3 fields)
// or "" is listed, while "a,東京都港区1-2-3,c,港区...,13103,9,..." is not; with the log
// column on, an output of 4 fields (an empty address written with one trailing ",") is listed.
//
// The desktop program's unconverted list and mok2 convert's listing both walk the files here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "batch/file_error.h"
#include "batch/run_files.h"
#include "startup/settings.h"

namespace mok::batch {

// One unconverted record: its line in the input, the display form of its address, and its first
// fields other than the address (the display form of "0012,山田商店"), which tell the record.
struct UnconvertedRow {
  int64_t lineNumber = 0;
  std::u16string address;
  std::u16string record;
};

// What the walk found.
struct UnconvertedRows {
  // Set when a file cannot be opened or ends while its leading lines are skipped; nothing is
  // listed then.
  std::optional<FileError> failure;
  std::vector<UnconvertedRow> rows;  // in file order
  // Why the walk stopped before the end of either file: a line that is not CP932 text, or an
  // input that is a spreadsheet. "" when it reached the end; the rows before the stop are listed.
  std::u16string stopNotice;
};

// Why a workbook output has no list of unconverted records.
inline constexpr char16_t kWorkbookHasNoList[] =
    u"Excel形式の出力からは変換できなかったレコードを一覧にできません。"
    u"修正して変換し直すには、CSV形式（.csv）で出力して下さい。";

// The input's lines before run.startRow and the output's settings.addLine header lines are
// skipped, then the two files are read in step until either ends. A workbook output lists
// nothing and says why.
UnconvertedRows CollectUnconvertedRows(const RunFiles& run, const Settings& settings);

}  // namespace mok::batch
