// The input of a batch conversion: a text file (CP932, or UTF-8 with or without a byte-order
// mark), one record per line (or over several lines when a quoted field holds a line break,
// record_reader.h), the address in one field or joined from several (record_fields.h splits the
// records).
//
// What is read is described once, by an InputSource, and never changes while it is read. The
// reader opens the file, reads its lines with the messages the user sees for a line that cannot
// be read, counts the records a run will process (from the start row to the end), and reads
// records as values: the line, its address and its status. A file whose name ends in lower-case
// "xls" is a spreadsheet, which is not supported: every read of it is refused with a message.
//
//   const InputReader reader(DescribeInput(u"/data/in.csv", 2, {2}), prompter);
//   if (auto file = reader.Open()) {
//     reader.SkipToStartRow(*file);
//     const InputRecord record = ReadInputRecord(*file, reader.Source().addressFields);
//     ...record.line, record.address, record.status...
//   }
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "batch/line_reader.h"
#include "batch/record_fields.h"
#include "startup/prompter.h"

namespace mok::batch {

// What is read: the input file, the record its records start at and the fields with the address.
struct InputSource {
  std::u16string path;                     // full path of the input file
  int32_t startRow = 1;                    // 1-based number of the first record
  std::vector<int32_t> addressFields{0};   // 0-based indexes of the address fields, in order
  bool text = true;                        // false for an "xls" input: every read is refused
  std::optional<text::Encoding> encoding;  // as named by the user; nullopt: told from the bytes
};

// The source of `path`, told a spreadsheet or text by its name, read in `encoding` (nullopt: the
// one its bytes show).
InputSource DescribeInput(std::u16string path, int32_t startRow = 1,
                          std::vector<int32_t> addressFields = {0},
                          std::optional<text::Encoding> encoding = std::nullopt);

// Whether a file of this name is read as text: false only when the text after the last "." of
// the file name is exactly "xls".
bool IsTextInputName(const std::u16string& path);

// What a record's read found.
enum class RecordStatus {
  Ok,
  NoAddressField,  // the line has no field at the address field's position
  ReadFailed,      // the end of the file, a read error or an undecodable line
};

// One record as read.
struct InputRecord {
  RecordStatus status = RecordStatus::ReadFailed;
  std::u16string line;     // the record without its line end ("" when it could not be read)
  std::u16string address;  // the address fields joined; the whole record when it lacks one
  LineReader::Status read = LineReader::Status::End;  // how the record's read went
  int64_t lineNumber = 0;  // the 1-based number in the file of the line it begins on
};

// Reads the next record of `file` and takes its address from `addressFields`. Nothing is shown: a
// record that cannot be read keeps its status for ReportRead.
InputRecord ReadInputRecord(LineReader& file, const std::vector<int32_t>& addressFields);

// What CountInputRecords found.
struct InputCount {
  // Records from the start row to the end; -1 when the file cannot be opened or read (also when
  // it ends before the start row).
  int32_t records = -1;
  int32_t firstRowFieldCount = 0;  // the fields of the first record (0 for none)
  // The fields of the record before the start row as written (the input's headings), or none
  // when the records start at the first one.
  std::vector<std::u16string> headings;
};

class InputReader {
 public:
  InputReader(InputSource source, Prompter& prompter)
      : source_(std::move(source)), prompter_(prompter) {}

  const InputSource& Source() const { return source_; }

  // The input opened for reading, or nullopt after the message: a missing file, or the failure
  // to open it with the path.
  std::optional<LineReader> Open() const;

  // The next record of `file` (the input or a file read in step with it). Refused with the message
  // for a spreadsheet input; a record that is not text of the file's encoding, or whose quoted
  // field is never closed, is refused with a message naming the file and the line; the end of the
  // file and read errors give nullopt without a message.
  std::optional<std::u16string> ReadRawLine(LineReader& file) const;

  // What ReadRawLine says of a line read earlier with `status`: true for a line that was read;
  // otherwise the message, if any, and false. `file` names the file and its encoding.
  bool ReportRead(LineReader::Status status, const LineReader& file, int64_t lineNumber) const;

  // Reads past the records before the start row; false when one cannot be read.
  bool SkipToStartRow(LineReader& file) const;

  // The records from the start row to the end, the fields of the first of them and the headings.
  // Nothing to convert is said, with the likely cause when the file's lines end in LF alone.
  InputCount CountInputRecords() const;

 private:
  const InputSource source_;
  Prompter& prompter_;
};

// The part of a path after its last separator (the platform's, "/").
std::u16string FileNameOf(const std::u16string& path);
// The part before the last separator; nullopt when there is none.
std::optional<std::u16string> FolderOf(const std::u16string& path);

}  // namespace mok::batch
