#include "batch/record_lookahead.h"

#include <utility>

namespace mok::batch {

namespace {

// Addresses per batch handed to the pool, and batches kept in flight: enough to keep every
// worker busy while the run writes, few enough that a stop discards little work.
constexpr std::size_t kBatchSize = 64;
constexpr std::size_t kBatchesAhead = 8;

}  // namespace

RecordLookahead::RecordLookahead(LineReader& input, LineReader* previous, const InputReader& reader,
                                 RecognitionPool* pool,
                                 std::function<bool(const Record&)> recognize)
    : input_(input),
      previous_(previous),
      reader_(reader),
      pool_(pool),
      recognize_(std::move(recognize)) {}

bool RecordLookahead::AtEnd() {
  return ahead_.empty() && (stopped_ || input_.AtEnd());
}

void RecordLookahead::Fill() {
  const std::size_t capacity = pool_ == nullptr ? 1 : kBatchSize * kBatchesAhead;
  while (ahead_.size() < capacity && !stopped_ && !input_.AtEnd()) {
    Record record;
    record.status = input_.ReadLine(record.line);
    record.lineNumber = input_.LineNumber();
    if (record.status == LineReader::Status::Ok) {
      record.hasField = reader_.BuildAddressText(record.line, record.address);
      if (previous_ != nullptr) {
        record.previousStatus = previous_->ReadLine(record.previous);
        record.previousLineNumber = previous_->LineNumber();
      }
    }
    stopped_ =
        record.status != LineReader::Status::Ok || record.previousStatus != LineReader::Status::Ok;
    record.recognize = !stopped_ && recognize_(record);
    if (pool_ != nullptr && record.recognize) {
      batch_.push_back(record.address);
      if (batch_.size() == kBatchSize)
        SubmitBatch();
    }
    ahead_.push_back(std::move(record));
  }
}

void RecordLookahead::SubmitBatch() {
  if (!batch_.empty())
    pool_->Submit(std::exchange(batch_, {}));
}

RecordLookahead::Record RecordLookahead::Next() {
  Fill();
  Record record = std::move(ahead_.front());
  ahead_.pop_front();
  if (pool_ != nullptr && record.recognize) {
    if (answers_.empty()) {
      // The record's batch may still be filling: it goes to the pool now.
      if (pool_->Queued() == 0)
        SubmitBatch();
      for (auto& answer : pool_->Take())
        answers_.push_back(std::move(answer));
    }
    record.answer = std::move(answers_.front());
    answers_.pop_front();
  }
  return record;
}

}  // namespace mok::batch
