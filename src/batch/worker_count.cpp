#include "batch/worker_count.h"

#include <algorithm>
#include <thread>

namespace mok::batch {

unsigned WorkerCount(int jobs) {
  const int wanted = jobs > 0 ? jobs : static_cast<int>(std::thread::hardware_concurrency());
  return static_cast<unsigned>(std::clamp(wanted, 1, kMaxWorkers));
}

}  // namespace mok::batch
