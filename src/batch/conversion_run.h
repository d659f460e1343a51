// The conversion run behind the main window's run button: checks the request, remembers the
// folders and the window's entries in mok.ini, chooses the region, counts the input, then
// converts every record (normal run) or only the records that failed before (unprocessed-only
// run, when the output exists and NOTOVERWRITE is set), writes the output and the error list, and
// ends with the end message or the question about the unconverted records, and the map link.
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
#include <string_view>

#include "batch/input_reader.h"
#include "batch/output_writer.h"
#include "batch/recognition_pool.h"
#include "batch/run_observer.h"
#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "startup/prompter.h"
#include "startup/settings.h"

namespace mok::batch {

// The texts of the main window's boxes when the run button is pressed.
struct RunRequest {
  std::u16string inputPath;            // the input file box
  std::u16string outputPath;           // the output file box
  std::u16string region;               // the text of the region box
  std::u16string startRow;             // the start row box
  std::u16string addressField = u"1";  // the first address field box: a 1-based field number
};

// The question a stop request asks before the run stops.
inline constexpr char16_t kStopQuestion[] = u"変換を中止しますか？";

enum class RunOutcome {
  NotStarted,  // a box was empty or invalid, the region did not open, or no record to convert
  Finished,    // the end of the input was reached; the end message (or the question about
               // the unconverted records) was shown
  Stopped,     // the user confirmed the stop request
  Failed,      // a record, read, write or unexpected error ended the run
};

// The files of a run, as the unconverted-address list reads them afterwards.
struct RunFiles {
  std::u16string inputPath;
  std::u16string outputPath;
  int32_t startRow = 1;      // 1-based line number of the first record of the input
  int32_t addressField = 0;  // 0-based index of the address field
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

  // The run button. The paths of the request are the run's paths until it ends, whatever
  // happens to the window's boxes meanwhile.
  RunOutcome Execute(const RunRequest& request);

  // The stop button. Safe to call from a signal handler or another thread; takes effect at the
  // next record.
  void RequestCancel() { cancelRequested_.store(true); }

  // Closes whatever files a run has open (the main window's unload).
  void CloseConvertFiles();

  bool IsRunning() const { return running_; }

  // Counters of the last run (kept until the next run starts): the records counted before the
  // run; the records processed (normal run) or converted again (unprocessed-only run); the
  // records that failed.
  int32_t RecordCount() const { return recordCount_; }
  int32_t ConvertCount() const { return convertCount_; }
  int32_t FailCount() const { return failCount_; }
  bool WasUnprocessedOnly() const { return lastRunUnprocessedOnly_; }

  // The files of the last run.
  RunFiles LastRunFiles() const;

 private:
  // Shows messages and asks questions after releasing the region database's read transaction:
  // nothing is held while the user reads.
  class ReleasingPrompter : public Prompter {
   public:
    ReleasingPrompter(Prompter& inner, db::AddressDatabase& database)
        : inner_(inner), database_(database) {}
    void ShowMessage(const std::u16string& text, MessageIcon icon,
                     const std::u16string& title) override {
      database_.ReleaseReads();
      inner_.ShowMessage(text, icon, title);
    }
    Answer Ask(const std::u16string& text, MessageButtons buttons, MessageIcon icon,
               const std::u16string& title) override {
      database_.ReleaseReads();
      return inner_.Ask(text, buttons, icon, title);
    }

   private:
    Prompter& inner_;
    db::AddressDatabase& database_;
  };
  // The records of a run read the region database in held read transactions.
  struct HeldReads {
    explicit HeldReads(db::AddressDatabase& database) : database_(database) {
      database_.HoldReads(true);
    }
    ~HeldReads() { database_.HoldReads(false); }
    db::AddressDatabase& database_;
  };

  // How the two run kinds treat a record that is converted.
  struct RecordPolicy {
    bool (*offersCorrection)(engine::ResultCode);  // the codes after which UNKNOWN opens the
                                                   // correction dialog
    std::u16string_view failureMarker;             // the monitor's text for a failed record
  };
  // The monitor's text for a failed record, one length per run kind.
  static constexpr std::u16string_view kNormalFailureMarker = u"??????????????????????????????????";
  static constexpr std::u16string_view kUnprocessedFailureMarker = u"????????????????????????????";
  struct RecordConversion {
    enum class Result { Converted, Failed, WriteFailed, DatabaseFailed } result = Result::Failed;
    engine::ResultCode code = engine::ResultCode::Failure;
    std::u16string fields;  // the output fields of a converted record
  };

  bool Validate(const RunRequest& request);
  void RememberFolders();
  RunOutcome Run(const RunRequest& request);
  std::optional<std::u16string> ReadRunNumbers(const RunRequest& request);
  void TakeErrorPath(const std::u16string& text);
  void ShowEndOfRun();
  bool DecideConvertMode();
  bool OpenConvertFiles();
  bool CheckCancelRequest();
  void AskEditUnconverted();
  bool ConvertAll();
  bool ConvertUnprocessedOnly();
  bool SkipToStartRow();
  bool OpenAtStartRow();
  bool BeginOutput(LineWriter& file);
  bool Write(LineWriter& file, const std::u16string& line);
  // Recognises the address (again after the correction dialog when the policy offers it), shows
  // the address data's failures, and writes the record's line and its error-list entry.
  // `answer`: the recognition pool's answer for the address, when the run has a pool.
  RecordConversion ConvertRecord(const std::u16string& address, const std::u16string& sourceLine,
                                 LineWriter& file, const RecordPolicy& policy,
                                 std::optional<RecognitionPool::Answer> answer);
  // Ends the run for a record whose line could not be written or whose database failed.
  bool EndsRun(const RecordConversion& done);
  // Workers for the run's records (JOBS, else one per core), or none when one recognizer serves.
  std::unique_ptr<RecognitionPool> StartPool();
  // The recognition of the address (the pool's answer when it serves), its failures shown;
  // nullopt when the database failed (pendingError_ says how).
  std::optional<engine::Recognition> Recognize(const std::u16string& address,
                                               std::optional<RecognitionPool::Answer> answer);
  void ShowWriteFailure();
  void StopForWriteFailure();
  void StopForRecord(RecordStatus status);

  Settings& settings_;
  db::AddressDatabase& database_;
  engine::Recognizer& recognizer_;
  ReleasingPrompter releasingPrompter_;
  Prompter& prompter_;  // releasingPrompter_
  RunObserver& observer_;
  std::u16string settingsFilePath_;

  InputReader reader_;
  std::u16string outputPath_;
  std::u16string errorListPath_;
  std::u16string tempPath_;
  LineReader inFile_;
  LineWriter outFile_;      // the output (normal run)
  LineReader previousOut_;  // the previous output (unprocessed-only run)
  LineWriter tempFile_;     // the new output until it replaces the previous one
  ErrorList errorList_;

  int32_t recordCount_ = 0;
  int32_t convertCount_ = 0;
  int32_t failCount_ = 0;
  bool unprocessedOnly_ = false;
  bool lastRunUnprocessedOnly_ = false;
  bool running_ = false;
  bool stopped_ = false;                        // the user confirmed the stop request
  std::optional<std::u16string> pendingError_;  // an error that ends in the error path
  std::u16string writeFailure_;                 // why the output could not be written
  bool countWarningShown_ = false;              // learned-word counts not stored, said once
  std::atomic<bool> cancelRequested_{false};
};

}  // namespace mok::batch
