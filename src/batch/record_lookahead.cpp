#include "batch/record_lookahead.h"

#include <utility>

#include "batch/record_reader.h"

namespace mok::batch {

namespace {

// Addresses per batch handed to the pool, and batches kept in flight: enough to keep every
// worker busy while the run writes, few enough that a stop discards little work.
constexpr std::size_t kBatchSize = 64;
constexpr std::size_t kBatchesAhead = 8;

// The earlier output's line of an input record. A last line without its line end was cut by a
// kill or a power cut while it was written: it reads as the record's unconverted line (its input
// line), so that the record is converted again instead of keeping a cut coordinate.
LineReader::Line PairedLine(LineReader& previous, const InputRecord& input) {
  LineReader::Line line = ReadRecord(previous);
  if (!line.ended) {
    line.status = LineReader::Status::Ok;
    line.text = input.line;
  }
  return line;
}

}  // namespace

RecordLookahead::RecordLookahead(LineReader& input, LineReader* previous,
                                 std::vector<int32_t> addressFields, RecognitionPool* pool,
                                 std::function<bool(const Record&)> recognize)
    : input_(input),
      previous_(previous),
      addressFields_(std::move(addressFields)),
      pool_(pool),
      recognize_(std::move(recognize)) {}

bool RecordLookahead::AtEnd() {
  return ahead_.empty() && (readFailed_ || input_.AtEnd());
}

void RecordLookahead::Fill() {
  const std::size_t capacity = pool_ == nullptr ? 1 : kBatchSize * kBatchesAhead;
  while (ahead_.size() < capacity && !readFailed_ && !input_.AtEnd()) {
    Record record;
    record.input = ReadInputRecord(input_, addressFields_);
    if (record.input.read == LineReader::Status::Ok && previous_ != nullptr)
      record.previous = PairedLine(*previous_, record.input);
    readFailed_ = record.input.read != LineReader::Status::Ok ||
                  record.previous.status != LineReader::Status::Ok;
    record.recognize = !readFailed_ && recognize_(record);
    if (pool_ != nullptr && record.recognize) {
      batch_.push_back(record.input.address);
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
