// The two kinds of conversion run, as the one record loop (record_loop.h) tells them apart.
//
// A normal run recognises every record from the start row on and writes the output anew; a record
// without the address field stops it.
//
// An unprocessed-only run (the output exists and NOTOVERWRITE is 1) reads the output of an earlier
// run over the same input next to the input: lines that were converted then are copied unchanged,
// the others are recognised again (a learned word may make them convert now), everything goes into
// "<output>.$$$", and only a run that reaches the end of the input replaces the output with it.
// Whether an earlier line was converted is told by its number of fields (field_count_rule.h): with
// the input line "1,東京都千代田区", the earlier output line "1,東京都千代田区,13101,..." is kept,
// "1,東京都千代田区" and "" are converted again.
#pragma once

#include <string_view>

#include "engine/recognition/recognizer.h"

namespace mok::batch {

struct RunKind {
  // Records are paired with the earlier output's lines, lines converted before are copied, and
  // the new output replaces the earlier one at the end.
  bool unprocessedOnly = false;
  // The codes after which UNKNOWN opens the correction dialog.
  bool (*offersCorrection)(engine::ResultCode) = nullptr;
  std::u16string_view failureMarker;  // the monitor's text for a failed record
};

const RunKind& RunKindOf(bool unprocessedOnly);

// Result codes 0 and 4 are written as converted records; every other code is a failed record.
inline bool IsWritten(engine::ResultCode code) {
  return code == engine::ResultCode::Converted || code == engine::ResultCode::EmptyAddress;
}

}  // namespace mok::batch
