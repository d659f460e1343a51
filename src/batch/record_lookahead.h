// The records of a run read ahead of the one being converted, so that a recognition pool can
// recognise their addresses meanwhile. Nothing is shown while reading ahead: a line that cannot
// be read keeps its status and is reported when the run reaches it, and reading ahead stops
// there, where the run itself will stop. Without a pool, one record is read at a time. An earlier
// output's last line that was cut before its line end pairs with its record as an unconverted
// line.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "batch/input_reader.h"
#include "batch/line_reader.h"
#include "batch/recognition_pool.h"

namespace mok::batch {

class RecordLookahead {
 public:
  struct Record {
    InputRecord input;
    LineReader::Line previous;  // the earlier output's line read in step (unprocessed-only run)
    bool recognize = false;     // its address goes through the recognizer
    std::optional<RecognitionPool::Answer> answer;  // the pool's answer, when there is a pool
  };

  // `previous`: the earlier output, read in step with the input (unprocessed-only run), or
  // nullptr. `recognize`: whether a record read in full has its address recognised.
  RecordLookahead(LineReader& input, LineReader* previous, std::vector<int32_t> addressFields,
                  RecognitionPool* pool, std::function<bool(const Record&)> recognize);

  bool AtEnd();
  Record Next();

 private:
  void Fill();
  void SubmitBatch();

  LineReader& input_;
  LineReader* previous_;
  std::vector<int32_t> addressFields_;
  RecognitionPool* pool_;
  std::function<bool(const Record&)> recognize_;
  std::deque<Record> ahead_;
  std::vector<std::u16string> batch_;            // addresses not yet submitted
  std::deque<RecognitionPool::Answer> answers_;  // answers taken, for the records in order
  bool readFailed_ = false;                      // a record the run stops at was read
};

}  // namespace mok::batch
