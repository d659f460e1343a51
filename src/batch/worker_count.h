// How many threads recognise the addresses of a run: the JOBS setting (or mok2's --jobs), else
// one per core, and never more than kMaxWorkers, whoever asks. Each worker holds its own
// connections and caches, so an unbounded number (JOBS=32767) would take gigabytes of memory and
// thousands of open files before the first record.
//
//   WorkerCount(0)      -> the number of cores (at most 64)
//   WorkerCount(32767)  -> 64
#pragma once

namespace mok::batch {

inline constexpr int kMaxWorkers = 64;

unsigned WorkerCount(int jobs);

}  // namespace mok::batch
