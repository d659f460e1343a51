// The conversion run behind the main window's run button: checks the request, remembers the
// folders and the window's entries in mok.ini, counts the input, then converts every record
// (normal run) or only the records that failed before (unprocessed-only run, when the output
// exists and NOTOVERWRITE is 1), writes the output and the error list, and ends with the end
// message or the question about the unconverted records, and the map link.
//
// Window-free: the window (or the command-line tool, or a test) hands in a RunRequest with the
// texts of its boxes, answers through the RunObserver and sees every message through the
// Prompter. One object per main window; its counters keep their values after a run.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "batch/input_reader.h"
#include "batch/output_writer.h"
#include "batch/run_observer.h"
#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "startup/prompter.h"
#include "startup/settings.h"

namespace mok::batch {

// The texts of the main window's boxes when the run button is pressed.
struct RunRequest {
  std::u16string inputPath;            // txtInputFile
  std::u16string outputPath;           // txtOutputFile
  std::u16string region;               // text of cmbSelectPref
  int regionIndex = -1;                // selected position of cmbSelectPref (0-based, -1: none)
  std::u16string startRow;             // txtStartRow
  std::u16string addressField = u"1";  // txtAdrField(0), the 1-based address field number
};

enum class RunOutcome {
  NotStarted,  // a box was empty or invalid, the region did not open, or no record to convert
  Finished,    // the end of the input was reached; the end message (or the question about
               // the unconverted records) was shown
  Stopped,     // the user confirmed the stop request
  Failed,      // a record, read, write or unexpected error ended the run
};

class ConversionRun {
 public:
  // `settingsFilePath`: mok.ini, where the run stores INPUTDIR, OUTPUTDIR and the window's
  // entries (section CURRENT).
  ConversionRun(Settings& settings, db::AddressDatabase& database, engine::Recognizer& recognizer,
                Prompter& prompter, RunObserver& observer, std::u16string settingsFilePath);
  ~ConversionRun();
  ConversionRun(const ConversionRun&) = delete;
  ConversionRun& operator=(const ConversionRun&) = delete;

  // The run button (cmdExec_Click). The paths of the request are the run's paths until it ends,
  // whatever happens to the window's boxes meanwhile.
  RunOutcome Execute(const RunRequest& request);

  // The stop button (cmdCancel_Click). Safe to call from a signal handler or another thread;
  // takes effect at the next record.
  void RequestCancel() { cancelRequested_.store(true); }

  // Closes whatever files a run has open (the main window's unload).
  bool CloseConvertFiles();

  bool IsRunning() const { return running_; }

  // Counters of the last run (kept until the next run starts): the records counted before the
  // run; the records processed (normal run) or converted again (unprocessed-only run); the
  // records that failed.
  int32_t RecordCount() const { return lngRecordCount_; }
  int32_t ConvertCount() const { return lngConvertCount_; }
  int32_t FailCount() const { return lngFailCount_; }
  bool WasUnprocessedOnly() const { return lastRunUnprocessedOnly_; }

  // Values of the last run, read by the unconverted-address list.
  const std::u16string& StrInputPath() const { return reader_.StrInputPath; }
  const std::u16string& StrOutputPath() const { return strOutputPath_; }
  int32_t LngStartRow() const { return reader_.LngStartRow; }
  int32_t LngAdrField() const { return reader_.LngAdrField; }

  // Parts of the run, public for the window and for tests.
  bool DecideConvertMode();
  bool OpenConvertFiles();
  bool CheckCancelRequest();
  void AskEditUnconverted();
  bool ConvertAll();
  bool ConvertUnprocessedOnly();

 private:
  bool Validate(const RunRequest& request);
  void RememberFolders();
  RunOutcome Run(const RunRequest& request);
  bool ReadRunNumbers(const RunRequest& request, std::u16string& error);
  void TakeErrorPath(const std::u16string& text);
  void ShowEndOfRun();
  bool SkipToStartRow();
  bool OpenAtStartRow();
  bool BeginOutput(LineWriter& file);
  bool Write(LineWriter& file, const std::u16string& line);
  void ShowWriteFailure();
  void StopForWriteFailure();
  void StopForRecord(int16_t code);

  Settings& settings_;
  db::AddressDatabase& database_;
  engine::Recognizer& recognizer_;
  Prompter& prompter_;
  RunObserver& observer_;
  std::u16string settingsFilePath_;

  InputReader reader_;
  std::u16string strOutputPath_;
  std::u16string strErrFile_;
  std::u16string strTempFile_;
  LineReader inFile_;       // intInFileNo
  LineWriter outFile_;      // intOutFileNo (normal run)
  LineReader previousOut_;  // intOutFileNo (unprocessed-only run: the previous output)
  LineWriter tempFile_;     // intTempFileNo
  ErrorList errorList_;     // intErrFileNo

  int32_t lngRecordCount_ = 0;
  int32_t lngConvertCount_ = 0;
  int32_t lngFailCount_ = 0;
  bool blnUnprocessedOnly_ = false;
  bool lastRunUnprocessedOnly_ = false;
  bool running_ = false;
  bool stopped_ = false;                        // the user confirmed the stop request
  std::optional<std::u16string> pendingError_;  // an error that ends in the error path
  std::u16string writeFailure_;                 // why the output could not be written
  std::atomic<bool> cancelRequested_{false};
};

}  // namespace mok::batch
