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
#include "text/text.h"

namespace mok::batch {
namespace {
const std::u16string kUnprocessedFailureMarker(28, u'?');
}

bool ConversionRun::ConvertUnprocessedOnly() {
  if (!OpenAtStartRow())
    return false;
  // The earlier header is dropped (a missing one shows at the first record) and a new one
  // written for the current settings.
  std::u16string previousLine;
  reader_.InputRawLineData(previousOut_, previousLine);
  if (!BeginOutput(tempFile_))
    return false;
  int32_t recordCounter = 0;

  const bool monitor = settings_.monitor;
  std::u16string inputLine;
  std::u16string address;
  std::u16string fields;
  while (!inFile_.AtEnd()) {
    if (CheckCancelRequest()) {
      CloseConvertFiles();
      return false;
    }
    if (!reader_.InputRawLineData(inFile_, inputLine)) {
      StopForRecord(kRecordReadFailed);
      return false;
    }
    reader_.BuildAddressText(inputLine, address);
    const std::u16string display = CompactFields(address);
    ++recordCounter;
    observer_.ShowProgress(recordCounter, lngRecordCount_);
    if (monitor)
      observer_.SetMonitorText(MonitorBox::Source, display);

    if (!reader_.InputRawLineData(previousOut_, reader_.strSourceLine)) {
      StopForRecord(kRecordReadFailed);
      return false;
    }
    const std::u16string& sourceLine = reader_.strSourceLine;
    if (WasConvertedBefore(inputLine, sourceLine, settings_.delimiter)) {
      if (!Write(tempFile_, sourceLine)) {
        StopForWriteFailure();
        return false;
      }
    } else {
      ++lngConvertCount_;
      int16_t code = recognizer_.RecognizeAddress(address, fields);
      if (code != engine::kConverted && code != engine::kFailure && code != engine::kNoBlock &&
          settings_.unknownCheck) {
        observer_.EditUnconvertedAddress(address);
        code = recognizer_.RecognizeAddress(address, fields);
      }
      observer_.SetMonitorText(MonitorBox::PreviousSource, display);
      bool written;
      if (code == engine::kConverted || code == engine::kEmptyAddress) {
        written = Write(tempFile_, ConvertedLine(settings_, sourceLine, fields));
        if (monitor)
          observer_.SetMonitorText(MonitorBox::PreviousResult, fields);
      } else {
        written = Write(tempFile_, UnconvertedLine(settings_, sourceLine));
        if (written) {
          ++lngFailCount_;
          errorList_.WriteUnknownLine(settings_, address);
          if (monitor)
            observer_.SetMonitorText(MonitorBox::PreviousResult, kUnprocessedFailureMarker);
        }
      }
      if (!written) {
        StopForWriteFailure();
        return false;
      }
    }
    if (monitor)
      observer_.SetMonitorText(MonitorBox::Source, u"");
  }
  CloseConvertFiles();
  if (!writeFailure_.empty()) {
    // The temporary file is incomplete: the earlier output stays as it was.
    ShowWriteFailure();
    return false;
  }
  // rename() replaces the output in one step, so there is no moment without an output file.
  if (std::rename(NativePath(strTempFile_).c_str(), NativePath(strOutputPath_).c_str()) != 0) {
    pendingError_ = FileErrorFromErrno(errno).Text();
    return false;
  }
  return true;
}

}  // namespace mok::batch
