// Where a run's output records go: a CSV text file (line_writer.h) or an Excel workbook
// (workbook_sink.h), chosen by the output's name. A record is handed over as the CSV line the
// system has always written (the source record, "," and the converted fields); a workbook splits
// it into its cells. A failed write or close is reported, as for any output file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "batch/file_error.h"
#include "text/encoding.h"

namespace mok::batch {

class OutputSink {
 public:
  virtual ~OutputSink() = default;
  // Writes one record; false when it cannot be written (Failure() tells why).
  virtual bool WriteRecord(const std::u16string& line) = 0;
  // Finishes the file; false when what was written did not reach the disk.
  virtual bool Close() = 0;
  virtual bool IsOpen() const = 0;
  // The text of the last failure, for a message.
  virtual const std::u16string& Failure() const = 0;
  // The lines (header included) known to be in the file after a failed write; a workbook, whose
  // file is written whole when it closes, holds none.
  virtual int64_t LinesOnDisk() const { return 0; }
};

// The sink for `path`, the output of `inputPath`: an Excel workbook when the name ends in
// ".xlsx", else CSV text in `encoding`, `fresh` when whatever stands at the name (a link too)
// must go rather than be written through; nullptr and `error` when the file cannot be created.
std::unique_ptr<OutputSink> OpenOutputSink(const std::u16string& path,
                                           const std::u16string& inputPath, text::Encoding encoding,
                                           bool fresh, FileError* error);

}  // namespace mok::batch
