// The unprocessed-only run: the output of an earlier run over the same input is read next to the
// input; lines that were converted then are copied unchanged, the others are converted again
// (a learned word may make them convert now), everything goes into "<output>.$$$", and only a
// run that reaches the end of the input replaces the output with it.
//
// Whether an earlier line was converted is told by its number of fields: a converted line carries
// the converted fields after the source fields, an unconverted one only the source fields (or
// nothing). Example with the input line "1,東京都千代田区": the earlier output line
// "1,東京都千代田区,13101,..." is kept, "1,東京都千代田区" and "" are converted again.
#include <cerrno>
#include <cstdio>

#include "batch/conversion_run.h"
#include "batch/field_count_rule.h"
#include "batch/record_lookahead.h"
#include "text/text.h"

namespace mok::batch {

bool ConversionRun::ConvertUnprocessedOnly() {
  if (!OpenAtStartRow())
    return false;
  // The earlier header is dropped (a missing one shows at the first record) and a new one
  // written for the current settings.
  std::u16string previousLine;
  reader_.InputRawLineData(previousOut_, previousLine);
  if (!BeginOutput(tempFile_))
    return false;
  const HeldReads held(database_);
  int32_t recordCounter = 0;
  // Records that failed with a failure of the address data or without a block are not offered
  // for correction: a learned word cannot mend them.
  static constexpr RecordPolicy kPolicy{[](engine::ResultCode code) {
                                          return code != engine::ResultCode::Converted &&
                                                 code != engine::ResultCode::Failure &&
                                                 code != engine::ResultCode::NoBlock;
                                        },
                                        kUnprocessedFailureMarker};

  // The earlier output is read in step with the input; only its unconverted lines are converted.
  const std::u16string delimiter = settings_.delimiter;
  const std::unique_ptr<RecognitionPool> pool = StartPool();
  RecordLookahead ahead(inFile_, &previousOut_, reader_, pool.get(),
                        [delimiter](const RecordLookahead::Record& record) {
                          return !WasConvertedBefore(record.line, record.previous, delimiter);
                        });
  while (!ahead.AtEnd()) {
    if (CheckCancelRequest()) {
      CloseConvertFiles();
      return false;
    }
    RecordLookahead::Record record = ahead.Next();
    if (!reader_.ReportRead(record.status, inFile_.Path(), record.lineNumber)) {
      StopForRecord(RecordStatus::ReadFailed);
      return false;
    }
    const std::u16string display = CompactFields(record.address);
    ++recordCounter;
    observer_.ShowProgress(recordCounter, recordCount_);
    if (settings_.monitor)
      observer_.SetMonitorText(MonitorBox::Source, display);

    if (!reader_.ReportRead(record.previousStatus, previousOut_.Path(),
                            record.previousLineNumber)) {
      StopForRecord(RecordStatus::ReadFailed);
      return false;
    }
    const std::u16string& sourceLine = record.previous;
    if (!record.recognize) {
      if (!Write(tempFile_, sourceLine)) {
        StopForWriteFailure();
        return false;
      }
    } else {
      ++convertCount_;
      const RecordConversion done =
          ConvertRecord(record.address, sourceLine, tempFile_, kPolicy, std::move(record.answer));
      observer_.SetMonitorText(MonitorBox::PreviousSource, display);
      if (EndsRun(done))
        return false;
      if (settings_.monitor) {
        observer_.SetMonitorText(MonitorBox::PreviousResult,
                                 done.result == RecordConversion::Result::Converted
                                     ? done.fields
                                     : std::u16string(kPolicy.failureMarker));
      }
    }
    if (settings_.monitor)
      observer_.SetMonitorText(MonitorBox::Source, u"");
  }
  CloseConvertFiles();
  if (!writeFailure_.empty()) {
    // The temporary file is incomplete: the earlier output stays as it was.
    ShowWriteFailure();
    return false;
  }
  // rename() replaces the output in one step, so there is no moment without an output file.
  if (std::rename(NativePath(tempPath_).c_str(), NativePath(outputPath_).c_str()) != 0) {
    pendingError_ = FileErrorFromErrno(errno).Text();
    return false;
  }
  return true;
}

}  // namespace mok::batch
