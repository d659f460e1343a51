// What a conversion run tells the window that started it, and what it asks of it, without
// depending on any window toolkit. The desktop program implements it on the main window, the
// command-line tool on the terminal, the tests with a recorder.
//
// Message boxes and questions do not go through here but through the Prompter the run was given.
#pragma once

#include <cstdint>
#include <string>

#include "batch/run_files.h"

namespace mok::batch {

// The boxes of the main window that the run's validation puts the focus on.
enum class InputBox {
  InputFile,
  OutputFile,
  StartRow,
  AddressField,  // the first address field box
};

// The three text boxes of the status monitor.
enum class MonitorBox {
  Source,          // the record being converted
  PreviousSource,  // the previous record's address
  PreviousResult,  // its output fields, or the failure marker
};

class RunObserver {
 public:
  virtual ~RunObserver() = default;

  // Running: the run button hidden, the stop button shown, the other buttons disabled; idle:
  // the reverse. Called with true when a run starts and with false when it ends, whatever the
  // outcome.
  virtual void SetRunningState(bool running) = 0;

  // A validation message was shown about `box`; the window puts the focus there.
  virtual void FocusInputBox(InputBox box) = 0;

  // The counter label: record `current` of `total` (lblCount shows current + "/" + total).
  virtual void ShowProgress(int32_t current, int32_t total) = 0;

  // A monitor box takes `text` and is repainted ("" clears it).
  virtual void SetMonitorText(MonitorBox box, const std::u16string& text) = 0;

  // Called once per record, once it is read and shown in the monitor's source box and before it
  // is converted: let the event loop run (repaint, clicks) and
  // return true when the stop button was pressed since the last call. The run then asks
  // whether to stop. (A stop can also be requested with ConversionRun::RequestCancel.)
  virtual bool PollStopRequest() = 0;

  // The correction dialog, shown modally for an address that failed to convert while the
  // setting UNKNOWN is 1. The dialog gives nothing back: the user may have registered a learned
  // word in it, so the run recognises the same address again once it returns.
  virtual void EditUnconvertedAddress(const std::u16string& address) = 0;

  // The user asked, at the end of a run with failures, to edit the unconverted records: open the
  // unconverted-address list for the run's `files` and return when it is closed.
  virtual void ListUnconvertedRows(const RunFiles& files) = 0;
};

// An observer that shows nothing and never requests a stop; a base for observers that only need
// some of the calls.
class NullRunObserver : public RunObserver {
 public:
  void SetRunningState(bool) override {}
  void FocusInputBox(InputBox) override {}
  void ShowProgress(int32_t, int32_t) override {}
  void SetMonitorText(MonitorBox, const std::u16string&) override {}
  bool PollStopRequest() override { return false; }
  void EditUnconvertedAddress(const std::u16string&) override {}
  void ListUnconvertedRows(const RunFiles&) override {}
};

}  // namespace mok::batch
