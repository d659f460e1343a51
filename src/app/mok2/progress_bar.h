// A progress bar on standard error, only on a terminal: records done, records per second and the
// time left.
//
//   [###########-------------------] 1200/3000  40.0%    2400 rec/s 0:01 left
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace mok::app {

class ProgressBar {
 public:
  explicit ProgressBar(bool enabled);

  // Draws record `current` of `total`, at most about ten times a second (and always the last).
  void Show(int32_t current, int32_t total);

  // Clears the bar's line before anything else is written to the terminal.
  void Clear();

 private:
  using Clock = std::chrono::steady_clock;
  bool enabled_;
  bool started_ = false;
  bool drawn_ = false;
  Clock::time_point start_;
  Clock::time_point lastDraw_;
};

// "m:ss", or "h:mm:ss" from an hour on.
std::string FormatDuration(double seconds);

}  // namespace mok::app
