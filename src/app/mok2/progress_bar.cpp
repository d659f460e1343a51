#include "progress_bar.h"

#include <unistd.h>

#include <cstdio>

namespace mok::app {

std::string FormatDuration(double seconds) {
  const long s = static_cast<long>(seconds + 0.5);
  char buffer[32];
  if (s >= 3600) {
    std::snprintf(buffer, sizeof buffer, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  } else {
    std::snprintf(buffer, sizeof buffer, "%ld:%02ld", s / 60, s % 60);
  }
  return buffer;
}

ProgressBar::ProgressBar(bool enabled) : enabled_(enabled && isatty(STDERR_FILENO)) {}

void ProgressBar::Show(int32_t current, int32_t total) {
  if (!enabled_ || total <= 0)
    return;
  const auto now = Clock::now();
  if (current == 1 || !started_) {
    start_ = now;
    started_ = true;
  }
  if (current != total && now - lastDraw_ < std::chrono::milliseconds(100))
    return;
  lastDraw_ = now;
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  const double rate = elapsed > 0 ? current / elapsed : 0;
  const double left = rate > 0 ? (total - current) / rate : 0;
  constexpr int kWidth = 30;
  const int filled = static_cast<int>(static_cast<int64_t>(kWidth) * current / total);
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kWidth - filled), '-');
  std::fprintf(stderr, "\r[%s] %d/%d %5.1f%% %7.0f rec/s %s left ", bar.c_str(), current, total,
               100.0 * current / total, rate, FormatDuration(left).c_str());
  std::fflush(stderr);
  drawn_ = true;
}

void ProgressBar::Clear() {
  if (!drawn_)
    return;
  std::fputs("\r\033[K", stderr);
  drawn_ = false;
}

}  // namespace mok::app
