// The files of one conversion run, held open from its first record to its end: the input, the
// error list beside the output, and the file the records go to, which is the output itself
// (normal run; CSV text or an Excel workbook, output_sink.h) or the new output "<output>.$$$"
// next to the earlier output read in step (unprocessed-only run). Close closes every open file once
// and checks each close; the destructor closes whatever is still open, so no path of a run leaves a
// file open.
//
//   ConversionFiles files;
//   if (auto refused = files.Open(PathsOf(input, output), false, settings)) ...*refused...
//   ...files.Output().WriteRecord(line)...
//   const ClosedFiles closed = files.Close();  // closed.output: the output did not reach the disk
//   if (!closed.output) files.ReplaceOutput();  // the new output over the earlier one
#pragma once

#include <optional>
#include <string>

#include "batch/line_reader.h"
#include "batch/line_writer.h"
#include "batch/output_sink.h"
#include "batch/output_writer.h"
#include "batch/run_paths.h"
#include "startup/settings.h"
#include "text/encoding.h"

namespace mok::batch {

// What closing the files of a run found: the failure of each close, if any.
struct ClosedFiles {
  std::optional<std::u16string> output;     // the file the records went to
  std::optional<std::u16string> errorList;  // the error list
};

class ConversionFiles {
 public:
  ConversionFiles() = default;
  ~ConversionFiles() { Close(); }
  ConversionFiles(const ConversionFiles&) = delete;
  ConversionFiles& operator=(const ConversionFiles&) = delete;

  // Removes an earlier error list (every run starts without one), then opens the input and the
  // file the records go to, and for an unprocessed-only run the earlier output. The output and the
  // error list are written in the input's encoding unless OUTPUTENCODING names another; an earlier
  // output is read in whatever encoding it was written. Gives the message of the first failure:
  // its description and number, a line break and the path.
  std::optional<std::u16string> Open(const RunPaths& paths, bool unprocessedOnly,
                                     const Settings& settings);

  LineReader& Input() { return input_; }
  // The earlier output (unprocessed-only run), or nullptr.
  LineReader* Previous() { return unprocessedOnly_ ? &previous_ : nullptr; }
  // The file the records go to (open once Open succeeded).
  OutputSink& Output() { return *output_; }
  ErrorList& Errors() { return errorList_; }
  text::Encoding OutputEncoding() const { return outputEncoding_; }

  ClosedFiles Close();

  // Puts the new output of an unprocessed-only run in the place of the earlier one, in one step
  // (rename), so that there is no moment without an output; the error when it cannot. Nothing
  // to do for a normal run.
  std::optional<FileError> ReplaceOutput() const;

 private:
  RunPaths paths_;
  LineReader input_;
  LineReader previous_;
  std::unique_ptr<OutputSink> output_;
  ErrorList errorList_;
  bool unprocessedOnly_ = false;
  text::Encoding outputEncoding_ = text::Encoding::Cp932;
};

}  // namespace mok::batch
