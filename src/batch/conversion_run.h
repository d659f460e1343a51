// The conversion run behind the main window's run button: checks the request, remembers the
// folders and the window's entries in mok.ini, chooses the region, counts the input, then
// converts every record (normal run) or only the records that failed before (unprocessed-only
// run, when the output exists and NOTOVERWRITE is set), writes the output and the error list, and
// ends with the end message or the question about the unconverted records, and the map link.
//
// The steps before the records give verdicts (run_request.h, run_paths.h), the run's files are
// held by one owner that closes and checks each (conversion_files.h), the records pass through
// one loop for both kinds of run (record_loop.h), and the run's end comes back as a value
// (run_outcome.h) from which the end is shown (run_messages.h).
//
// Window-free: the window (or the command-line tool, or a test) hands in a RunRequest with the
// texts of its boxes, answers through the RunObserver and sees every message through the
// Prompter. One object per main window.
//
//   ConversionRun run(session, prompter, observer);
//   const RunOutcome outcome = run.Execute(request);
//   if (outcome.End() == RunEnd::Finished) ...outcome.processed, outcome.failed...
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "batch/input_reader.h"
#include "batch/run_files.h"
#include "batch/run_messages.h"
#include "batch/run_observer.h"
#include "batch/run_outcome.h"
#include "batch/run_request.h"
#include "batch/session.h"
#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "startup/prompter.h"
#include "startup/settings.h"

namespace mok::batch {

// What a run works with: the settings (whose paths and folders it updates), the address data,
// the recognizer, and mok.ini, where it stores INPUTDIR, OUTPUTDIR and the window's entries
// (section CURRENT).
struct RunContext {
  Settings& settings;
  db::AddressDatabase& database;
  const engine::Recognizer& recognizer;
  std::u16string settingsFilePath;
};

class ConversionRun {
 public:
  ConversionRun(RunContext context, Prompter& prompter, RunObserver& observer);
  ConversionRun(Session& session, Prompter& prompter, RunObserver& observer)
      : ConversionRun(RunContext{session.settings, session.database, session.recognizer,
                                 session.settingsFilePath},
                      prompter, observer) {}
  ConversionRun(const ConversionRun&) = delete;
  ConversionRun& operator=(const ConversionRun&) = delete;

  // The run button. The paths of the request are the run's paths until it ends, whatever
  // happens to the window's boxes meanwhile. Every file of the run is closed when it returns.
  RunOutcome Execute(const RunRequest& request);

  // The stop button. Safe to call from a signal handler or another thread; takes effect at the
  // next record.
  void RequestCancel() { cancelRequested_.store(true); }

  bool IsRunning() const { return running_; }

  // The files of the last run that got past its checks (kept until the next one does).
  const RunFiles& LastRunFiles() const { return lastFiles_; }

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

  RunOutcome Run(const RunRequest& request);
  RunOutcome ConvertRecords(const InputReader& reader, const RunRequest& request,
                            RunOutcome outcome, const InputCount& count);
  void ShowEnd(const RunOutcome& outcome);
  // The question about the unconverted records; `finished`: the run reached the end of the input.
  void AskEditUnconverted(const RunOutcome& outcome, bool finished);
  // Why the last run's address fields may be the wrong ones, from its input (address_field_hint.h).
  std::optional<std::u16string> FieldHint() const;

  RunContext context_;
  ReleasingPrompter releasing_;
  Prompter& prompter_;  // releasing_, seen as a Prompter with its default arguments
  RunObserver& observer_;
  RunFiles lastFiles_;
  std::optional<std::u16string> refusedOutput_;  // why the run's output must not be written
  bool running_ = false;
  std::atomic<bool> cancelRequested_{false};
};

}  // namespace mok::batch
