// Recognition on several threads: each worker has its own connections to the databases of the
// run's folder and region, and all of them share one recognizer, which reads only its model and
// the pool's copy of the settings (so the threads take no lock to use it). The answers come back
// in the order the addresses were given, so that whoever writes the output sees them as one
// recognizer would have given them. The thread that takes the answers is one of the workers:
// instead of waiting for the oldest batch it recognises the next one not yet begun, so that N
// workers keep N cores busy, the reading and writing included.
//
// Workers never count the use of a learned word: the counts order the learned words, and they
// must change in record order. An answer that applied the learning dictionary is marked, and the
// run recognises that address once more against its own store, in order, where the count is
// stored as before.
//
// Another program may change the learning dictionary while the pool runs. Each answer carries the
// dictionary generation it was given under; the run tells the pool when it sees the dictionary
// changed (DictionaryChanged), the workers then read the registered words again, and an answer of
// an earlier generation is no longer current: the run recognises that address itself.
//
//   auto pool = RecognitionPool::Start(settings, dbDir, u"", u"東京都", 2);
//   pool->Submit({u"東京都千代田区丸の内1-1-1", u"東京都港区芝公園4-2-8"});
//   for (auto& answer : pool->Take()) ...
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/recognition/recognizer.h"
#include "startup/settings.h"

namespace mok::batch {

class RecognitionPool {
 public:
  struct Answer {
    engine::Recognition recognition;
    bool learned = false;     // a learned word was found on the way: recognise again in order
    uint64_t dictionary = 0;  // the dictionary generation it was given under
  };

  // `workers` workers (the caller's thread and workers - 1 threads, at least one) over the
  // region databases of `dbDir` and the main database there or on the server `mainServer`;
  // nullptr when a worker's databases do not open (the caller then recognises on its own).
  static std::unique_ptr<RecognitionPool> Start(const Settings& settings,
                                                const std::u16string& dbDir,
                                                const std::u16string& mainServer,
                                                const std::u16string& region, unsigned workers);
  ~RecognitionPool();
  RecognitionPool(const RecognitionPool&) = delete;
  RecognitionPool& operator=(const RecognitionPool&) = delete;

  // Queues a batch of addresses; batches are answered in the order they were queued.
  void Submit(std::vector<std::u16string> addresses);
  // The answers of the oldest batch not yet taken, in the order of its addresses; until they are
  // ready the caller recognises batches not yet begun.
  std::vector<Answer> Take();
  // Batches queued and not yet taken.
  std::size_t Queued() const;

  // The learning dictionary changed: answers given before are no longer current.
  void DictionaryChanged() { dictionary_.fetch_add(1); }
  // Whether the answer was given under the dictionary as it stands.
  bool Current(const Answer& answer) const { return answer.dictionary == dictionary_.load(); }

 private:
  struct Worker;
  struct Batch {
    std::vector<std::u16string> addresses;
    std::vector<Answer> answers;
    bool done = false;
  };

  explicit RecognitionPool(const Settings& settings);
  void Work(Worker& worker);
  std::vector<Answer> Recognize(Worker& worker, const std::vector<std::u16string>& addresses) const;

  mutable std::mutex mutex_;
  std::condition_variable workReady_;
  std::condition_variable batchDone_;
  std::deque<std::shared_ptr<Batch>> queued_;  // in order; the front is taken next
  std::size_t assigned_ = 0;                   // batches of queued_ handed to a worker
  bool stopping_ = false;
  std::atomic<uint64_t> dictionary_{0};  // the dictionary generation
  const Settings settings_;              // unchanged while the workers read it
  const engine::Recognizer recognizer_;
  std::vector<std::unique_ptr<Worker>> workers_;  // the first is the caller's
  std::vector<std::thread> threads_;
};

}  // namespace mok::batch
