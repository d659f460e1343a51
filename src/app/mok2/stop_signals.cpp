#include "stop_signals.h"

namespace mok::app {
namespace {

volatile std::sig_atomic_t g_stopPresses = 0;
volatile std::sig_atomic_t g_endRequested = 0;

extern "C" void OnInterrupt(int) {
  g_stopPresses = g_stopPresses + 1;
  if (g_stopPresses >= 3) {
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
  }
}

extern "C" void OnEndRequest(int) {
  g_endRequested = 1;
  g_stopPresses = g_stopPresses + 1;
}

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

}  // namespace

StopSignals::StopSignals() {
  struct sigaction interrupt {};
  interrupt.sa_handler = OnInterrupt;
  sigemptyset(&interrupt.sa_mask);
  struct sigaction endRequest = interrupt;
  endRequest.sa_handler = OnEndRequest;
  sigaction(SIGINT, &interrupt, &previous_[0]);
  sigaction(SIGTERM, &endRequest, &previous_[1]);
  sigaction(SIGHUP, &endRequest, &previous_[2]);
}

StopSignals::~StopSignals() {
  for (int i = 0; i < 3; ++i)
    sigaction(kSignals[i], &previous_[i], nullptr);
}

bool StopSignals::TakeStopPress() {
  if (g_stopPresses == 0)
    return false;
  g_stopPresses = 0;
  return true;
}

bool StopSignals::EndRequested() {
  return g_endRequested != 0;
}

}  // namespace mok::app
