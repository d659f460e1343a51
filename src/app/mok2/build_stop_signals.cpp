#include "build_stop_signals.h"

#include <pthread.h>
#include <unistd.h>

#include <cstdio>

#include "db/import/staged_files.h"

namespace mok::app {
namespace {

// SIGUSR2 only ends the watcher when the build is over.
sigset_t WatchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGUSR2})
    sigaddset(&set, s);
  return set;
}

void Watch(sigset_t set) {
  int signal = 0;
  if (sigwait(&set, &signal) != 0 || signal == SIGUSR2)
    return;
  mok::db::StagedFiles::Discard();
  std::fprintf(stderr,
               "\nmok2 db: stopped by signal %d; the unfinished region databases are "
               "removed, the folder's databases are as they were\n",
               signal);
  std::fflush(stderr);
  ::_exit(128 + signal);
}

}  // namespace

BuildStopSignals::BuildStopSignals() {
  const sigset_t set = WatchedSignals();
  pthread_sigmask(SIG_BLOCK, &set, &previousMask_);
  watcher_ = std::thread(Watch, set);
}

BuildStopSignals::~BuildStopSignals() {
  pthread_kill(watcher_.native_handle(), SIGUSR2);
  watcher_.join();
  pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

}  // namespace mok::app
