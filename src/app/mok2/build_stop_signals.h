// The signals a database build answers: Ctrl-C (SIGINT), a request to end (SIGTERM) and a closed
// terminal (SIGHUP) stop the build at once. The temporary files of the region databases being
// built are removed (db::StagedFiles), a line says so, and the program ends with 128 + the
// signal's number; the databases already in the folder stay as they were.
//
// The signals are blocked in every thread while the object lives (the build's workers, started
// after it, inherit that) and taken by one thread of its own, which may take locks and remove
// files, as a signal handler may not.
//
//   const BuildStopSignals signals;   // before the build starts its threads
#pragma once

#include <csignal>
#include <thread>

namespace mok::app {

class BuildStopSignals {
 public:
  BuildStopSignals();
  ~BuildStopSignals();
  BuildStopSignals(const BuildStopSignals&) = delete;
  BuildStopSignals& operator=(const BuildStopSignals&) = delete;

 private:
  sigset_t previousMask_{};
  std::thread watcher_;
};

}  // namespace mok::app
