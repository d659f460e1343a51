// The records of one conversion run, from the header line to the end of the input, a confirmed
// stop or the first failure, for both kinds of run (run_kind.h): every record is read (ahead,
// while a recognition pool recognises the addresses), its address recognised and its line written,
// or, in an unprocessed-only run, a line converted before copied. The monitor, the counter, the
// stop question, the correction dialog and the failures that do not end the run are shown as the
// records pass; how the records ended comes back as the run's outcome, whose messages the run
// shows once its files are closed.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "batch/conversion_files.h"
#include "batch/dictionary_watch.h"
#include "batch/input_reader.h"
#include "batch/recognition_pool.h"
#include "batch/record_lookahead.h"
#include "batch/run_kind.h"
#include "batch/run_observer.h"
#include "batch/run_outcome.h"
#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "startup/prompter.h"
#include "startup/settings.h"

namespace mok::batch {

// What the records of a run are converted with.
struct RecordLoopContext {
  const Settings& settings;
  db::AddressDatabase& database;
  const engine::Recognizer& recognizer;
  Prompter& prompter;
  RunObserver& observer;
  std::atomic<bool>& cancelRequested;  // the stop button, also from a signal handler
};

class RecordLoop {
 public:
  // `files`: open, the input read up to the start row (and an earlier output past its header).
  RecordLoop(const RecordLoopContext& context, const InputReader& reader, ConversionFiles& files,
             const RunKind& kind)
      : context_(context), reader_(reader), files_(files), kind_(kind) {}

  // Writes the header for the input's first record and headings (`count`) and goes through the
  // records. `outcome`: the run so far (its record count); given back with why the records ended
  // and how many were processed and failed.
  RunOutcome Run(RunOutcome outcome, const InputCount& count);

 private:
  // Why the records ended before the end of the input.
  struct Stop {
    StopReason reason;
    std::optional<std::u16string> error;
  };
  struct RecordConversion {
    bool converted = false;
    engine::ResultCode code = engine::ResultCode::Failure;
    std::u16string fields;     // the output fields of a converted record
    std::optional<Stop> stop;  // the line could not be written, or the database failed
  };

  bool StopConfirmed();
  // One record: reported when it could not be read, shown, and converted or copied.
  std::optional<Stop> TakeRecord(RecordLookahead::Record& record, int32_t position);
  std::optional<Stop> Convert(RecordLookahead::Record& record, const std::u16string& display);
  // Recognises the address (again after the correction dialog when the kind offers it), and
  // writes the record's line and its error-list entry.
  RecordConversion ConvertRecord(const std::u16string& address, const std::u16string& sourceLine,
                                 std::optional<RecognitionPool::Answer> answer);
  engine::Recognition Recognize(const std::u16string& address,
                                std::optional<RecognitionPool::Answer> answer);
  // Whether a worker's answer was given under the learning dictionary as it stands now.
  bool AnswerCurrent(const RecognitionPool::Answer& answer);
  // Shows the address data's failures; gives the one that ends the run.
  std::optional<std::u16string> SayFailures(const engine::Recognition& recognition);
  void ShowResult(const std::u16string& display, const RecordConversion& done);
  // The failure's text when `line` could not be written.
  std::optional<std::u16string> Write(const std::u16string& line);
  // Workers for the run's records (JOBS, else one per core), or none when one recognizer serves.
  std::unique_ptr<RecognitionPool> StartPool() const;
  RunOutcome End(Stop stop);

  const RecordLoopContext context_;
  const InputReader& reader_;
  ConversionFiles& files_;
  const RunKind& kind_;
  RunOutcome outcome_;
  RecognitionPool* pool_ = nullptr;   // the run's workers, while the records pass
  DictionaryWatch* watch_ = nullptr;  // the learning dictionary's changes, likewise
  bool countWarningShown_ = false;    // learned-word counts not stored, said once
};

}  // namespace mok::batch
