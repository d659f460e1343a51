// What a conversion run writes: the output file (a header line, then one line per input record)
// and the error list (one address per unconverted record). Converted and unconverted lines differ
// in their number of fields, which is how the system later tells them apart (field_count_rule.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "batch/line_writer.h"
#include "batch/output_sink.h"
#include "startup/prompter.h"
#include "startup/settings.h"
#include "text/encoding.h"

namespace mok::batch {

// The encoding the output of an input in `inputEncoding` is written in: the setting
// OUTPUTENCODING when it names one, else the input's own.
text::Encoding OutputEncoding(const Settings& settings, text::Encoding inputEncoding);

// The header line (without its line end) for a first record of `fieldCount` fields: when the
// source is copied, one column name per source field, the input's heading as written where it
// has one (`headings`, as many as there are; empty otherwise), then the names of the converted
// fields the settings ask for.
//   fieldCount 3, headings {ID, "会社名", 住所} -> ID,"会社名",住所,大字・町丁目+街区符号・地番,…
//   fieldCount 3, no headings                   -> ,,,大字・町丁目+街区符号・地番,…
std::u16string BuildOutputHeader(const Settings& settings, int32_t fieldCount,
                                 const std::vector<std::u16string>& headings = {});

// Writes the record `line` to the output (a line of CSV text, or a row of a workbook). False on
// a write error (the caller reports it).
bool OutputConvertLine(OutputSink& file, const std::u16string& line);

// The output line of a converted record (result code 0 or 4) and of an unconverted one.
std::u16string ConvertedLine(const Settings& settings, const std::u16string& sourceLine,
                             const std::u16string& fields);
std::u16string UnconvertedLine(const Settings& settings, const std::u16string& sourceLine);

// The error list beside an output: the output path with the extension of its file name replaced
// by ".err" (".err" appended when the file name has no "."). result.csv -> result.err.
std::u16string ErrorListPath(const std::u16string& outputPath);

// The error list of one run: created at the first unconverted record when UNKNOWNOUT is 1. The
// list is a convenience, the output is what counts: a list that cannot be created or written
// does not stop the run, but the first failure is given back so that the run can say so.
class ErrorList {
 public:
  // A new list at `path`, written in `encoding` (the output's).
  void Reset(const std::u16string& path, text::Encoding encoding) {
    writer_.Close();
    path_ = path;
    encoding_ = encoding;
    failed_ = false;
  }
  // The failure's text the first time writing fails (nothing afterwards).
  std::optional<std::u16string> WriteUnknownLine(const Settings& settings,
                                                 const std::u16string& address);
  bool IsOpen() const { return writer_.IsOpen(); }
  // Closes the list; the failure's text when what was written did not reach the disk.
  std::optional<std::u16string> Close();

 private:
  std::u16string path_;
  LineWriter writer_;
  text::Encoding encoding_ = text::Encoding::Cp932;
  bool failed_ = false;
};

}  // namespace mok::batch
