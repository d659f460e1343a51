#include "batch/recognition_pool.h"

#include <algorithm>
#include <array>
#include <set>
#include <unordered_set>

#include "db/address_database.h"
#include "engine/forwarding_store.h"

namespace mok::batch {

namespace {

// The registered words of one kind, to tell which words one of them begins. The store compares
// them without ASCII case, so both sides are lowered here; a word let through is still decided
// by the database. A lookup lowers the word once and compares views of its beginnings.
class RegisteredPrefixes {
 public:
  explicit RegisteredPrefixes(const std::vector<std::u16string>& words) {
    for (const std::u16string& word : words)
      lengths_.insert(word.size());
    lowered_.reserve(words.size());
    for (const std::u16string& word : words)
      words_.insert(lowered_.emplace_back(Lowered(word)));
  }
  // The views point into this object's own strings.
  RegisteredPrefixes(const RegisteredPrefixes&) = delete;
  RegisteredPrefixes& operator=(const RegisteredPrefixes&) = delete;

  bool AnyBegins(std::u16string_view word) const {
    if (lengths_.empty())
      return false;
    const std::u16string lowered = Lowered(word);
    for (const std::size_t length : lengths_) {
      if (length > lowered.size())
        break;
      if (words_.count(std::u16string_view(lowered).substr(0, length)) > 0)
        return true;
    }
    return false;
  }

 private:
  static std::u16string Lowered(std::u16string_view word) {
    std::u16string lowered(word);
    for (char16_t& c : lowered) {
      if (c >= u'A' && c <= u'Z')
        c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return lowered;
  }

  std::set<std::size_t> lengths_;                  // ascending
  std::vector<std::u16string> lowered_;            // the words, lowered; reserved, so never moved
  std::unordered_set<std::u16string_view> words_;  // views of lowered_
};

// The worker's view of the address data: everything as the databases answer, except that a
// learned word found is only noted and its use never counted.
class NoCountStore : public engine::ForwardingStore {
 public:
  explicit NoCountStore(db::AddressDatabase& database)
      : ForwardingStore(database), database_(database) {}

  // Reads the registered words (again at every dictionary generation), so that only a word one
  // of them begins is looked up: each lookup takes and drops the main database's file lock, and
  // the workers would queue for the engine's process-wide lock table. When the words cannot be
  // read, every word is looked up.
  void ReadRegisteredWords() {
    // Prefecture words are stored, never looked up.
    for (const engine::WordKind kind : {engine::WordKind::City, engine::WordKind::Town}) {
      auto words = database_.RegisteredWords(kind);
      if (!words) {
        for (auto& prefixes : registered_)
          prefixes.reset();
        return;
      }
      registered_[static_cast<std::size_t>(kind)].emplace(*words);
    }
  }

  bool TakeLearned() { return std::exchange(learned_, false); }

  DbResult<std::optional<engine::LearnedWord>> FindLearnedWord(engine::WordKind kind,
                                                               std::u16string_view word) override {
    const auto& registered = registered_[static_cast<std::size_t>(kind)];
    if (registered && !registered->AnyBegins(word))
      return std::optional<engine::LearnedWord>();
    auto found = database_.FindLearnedWord(kind, word);
    if (found && *found)
      learned_ = true;
    return found;
  }
  DbStatus CountLearnedWordUse(int64_t) override { return {}; }

 private:
  db::AddressDatabase& database_;
  bool learned_ = false;
  std::array<std::optional<RegisteredPrefixes>, 4> registered_;  // by WordKind
};

}  // namespace

// What each worker has of its own: its connections to the databases, through its store.
struct RecognitionPool::Worker {
  db::AddressDatabase database;
  NoCountStore store{database};
  uint64_t dictionary = 0;  // the generation its registered words were read at
};

RecognitionPool::RecognitionPool(const Settings& settings)
    : settings_(settings), recognizer_(settings_) {}

std::unique_ptr<RecognitionPool> RecognitionPool::Start(const Settings& settings,
                                                        const std::u16string& dbDir,
                                                        const std::u16string& mainServer,
                                                        const std::u16string& region,
                                                        unsigned workers) {
  std::unique_ptr<RecognitionPool> pool(new RecognitionPool(settings));
  for (unsigned i = 0; i < std::max(workers, 1U); ++i) {
    auto worker = std::make_unique<Worker>();
    if (!worker->database.Open(dbDir, mainServer) || !worker->database.ReloadRegionList() ||
        !worker->database.SelectRegion(region)) {
      return nullptr;
    }
    worker->database.HoldReads(true);
    worker->store.ReadRegisteredWords();
    pool->workers_.push_back(std::move(worker));
  }
  for (std::size_t i = 1; i < pool->workers_.size(); ++i)
    pool->threads_.emplace_back([p = pool.get(), w = pool->workers_[i].get()] { p->Work(*w); });
  return pool;
}

RecognitionPool::~RecognitionPool() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  workReady_.notify_all();
  for (std::thread& thread : threads_)
    thread.join();
  // Nothing is held once the pool ends.
  if (!workers_.empty())
    workers_.front()->database.HoldReads(false);
}

std::vector<RecognitionPool::Answer> RecognitionPool::Recognize(
    Worker& worker, const std::vector<std::u16string>& addresses) const {
  // The generation is taken before the words are read: an answer never claims a newer one than
  // the words it used.
  const uint64_t dictionary = dictionary_.load();
  if (dictionary != worker.dictionary) {
    worker.store.ReadRegisteredWords();
    worker.dictionary = dictionary;
  }
  std::vector<Answer> answers;
  answers.reserve(addresses.size());
  for (const std::u16string& address : addresses) {
    engine::Recognition recognition = recognizer_.RecognizeAddress(address, worker.store);
    answers.push_back({std::move(recognition), worker.store.TakeLearned(), dictionary});
  }
  return answers;
}

void RecognitionPool::Work(Worker& worker) {
  while (true) {
    std::shared_ptr<Batch> batch;
    {
      std::unique_lock lock(mutex_);
      workReady_.wait(lock, [&] { return stopping_ || assigned_ < queued_.size(); });
      if (stopping_)
        break;
      batch = queued_[assigned_++];
    }
    std::vector<Answer> answers = Recognize(worker, batch->addresses);
    {
      std::lock_guard lock(mutex_);
      batch->answers = std::move(answers);
      batch->done = true;
    }
    batchDone_.notify_all();
  }
  worker.database.HoldReads(false);
}

void RecognitionPool::Submit(std::vector<std::u16string> addresses) {
  auto batch = std::make_shared<Batch>();
  batch->addresses = std::move(addresses);
  {
    std::lock_guard lock(mutex_);
    queued_.push_back(std::move(batch));
  }
  workReady_.notify_one();
}

std::vector<RecognitionPool::Answer> RecognitionPool::Take() {
  std::unique_lock lock(mutex_);
  if (queued_.empty())
    return {};
  std::shared_ptr<Batch> batch = queued_.front();
  while (!batch->done) {
    if (assigned_ == queued_.size()) {
      batchDone_.wait(lock);
      continue;
    }
    std::shared_ptr<Batch> next = queued_[assigned_++];
    lock.unlock();
    std::vector<Answer> answers = Recognize(*workers_.front(), next->addresses);
    lock.lock();
    next->answers = std::move(answers);
    next->done = true;
  }
  queued_.pop_front();
  --assigned_;
  return std::move(batch->answers);
}

std::size_t RecognitionPool::Queued() const {
  std::lock_guard lock(mutex_);
  return queued_.size();
}

}  // namespace mok::batch
