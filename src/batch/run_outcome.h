// How a conversion run ended, as a value: why it ended, the first error, and its counts. The run
// shows its end from it (run_messages.h), and the programs decide their summary and exit status
// on it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace mok::batch {

// Why a run ended.
enum class StopReason {
  NotStarted,      // a box was empty or invalid, the region did not open, or no record to convert
  Finished,        // the end of the input was reached
  UserStop,        // the user confirmed the stop request
  FileRefused,     // a file of the run must not be written, or could not be opened or read up to
                   // the start row
  ReadFailed,      // a line of the input or of the earlier output could not be read
  NoAddressField,  // a record has no field at the address field's position (normal run)
  WriteFailed,     // the output could not be written or did not reach the disk
  DatabaseFailed,  // the address data failed; every later record would fail the same way
  Error,           // any other failure: a number out of range, an unsupported output form, the
                   // output that could not be replaced by the new one
};

// The four ends the callers tell apart.
enum class RunEnd {
  NotStarted,  // nothing was written
  Finished,    // the end message (or the question about the unconverted records) was shown
  Stopped,     // the user confirmed the stop request
  Failed,      // a file, record, read, write or database failure ended the run
};

struct RunOutcome {
  StopReason reason = StopReason::NotStarted;
  // What failed, in the words of the message that says it: the write or database failure, the
  // refused or unopened file, the error's description and number. nullopt when the reason says
  // all (or the failure was said where it was met).
  std::optional<std::u16string> error;
  int32_t records = 0;    // the records counted before the run
  int32_t processed = 0;  // the records recognised: every record of a normal run, those
                          // converted again in an unprocessed-only run
  int32_t failed = 0;     // the records that were not converted
  // The records whose address is empty: written as the source line and one "," (nothing to
  // convert), never counted as converted nor as failed.
  int32_t blank = 0;
  bool unprocessedOnly = false;
  // The first failure of the error list (it could not be created, written or closed): the list is
  // incomplete, which the run has said. The records themselves are not affected.
  std::optional<std::u16string> errorListFailure;
  // After a failed write: how many records' lines reached the file the records went to.
  std::optional<int64_t> recordsWritten;

  // The records converted: those recognised that neither failed nor were blank.
  int32_t Converted() const { return processed - failed - blank; }

  RunEnd End() const;
};

}  // namespace mok::batch
