// The records of the system's text files, read from their lines: a record is one line, or, when a
// quoted field holds a line break (record_fields.h), the lines up to the one that closes it,
// joined by CR LF as they were written. A quoted field still open at the end of the file is an
// error rather than a record that swallows the rest of the file.
//
// Example: the lines 1,"丸の内1-1-1 / 受付",x / 2,b are the records 1,"丸の内1-1-1\r\n受付",x
// (lines 1 and 2; its number is 1) and 2,b (line 3).
#pragma once

#include <string>

#include "batch/line_reader.h"

namespace mok::batch {

// The next record of `file`, decoded, numbered with the line it begins on.
LineReader::Line ReadRecord(LineReader& file);

// The next record's bytes, undecoded (records that are skipped and never shown).
LineReader::Status ReadRecordBytes(LineReader& file, std::string& bytes);

}  // namespace mok::batch
