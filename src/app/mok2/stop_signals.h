// The signals a conversion on a terminal answers: Ctrl-C (SIGINT) presses the stop button, whose
// question the user answers; a request to end (SIGTERM, SIGHUP: kill, a closed terminal) stops
// the run like the stop button, without asking, so that the output keeps its complete lines. A
// third Ctrl-C while the run has not yet taken the first ends the program at once, as a way out
// when every stop question is answered No.
//
//   StopSignals signals;                 // handlers installed until it goes out of scope
//   ...if (StopSignals::TakeStopPress()) ...ask...
#pragma once

#include <csignal>

namespace mok::app {

class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // True once for the stop presses since the last call.
  static bool TakeStopPress();
  // True after a request to end: the stop question is answered Yes.
  static bool EndRequested();

 private:
  struct sigaction previous_[3]{};
};

}  // namespace mok::app
