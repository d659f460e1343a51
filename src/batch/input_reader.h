// The input of a batch conversion: a CP932 text file, one record per line, fields separated by
// the literal "," (no quoting: a comma inside double quotes still separates fields). One field
// holds the address.
//
// The reader opens and reads the file, counts the records a run will process (from the start
// row to the end), and takes the address out of a line. A file whose name ends in lower-case
// "xls" is a spreadsheet, which is not supported: every read of it is refused with a message.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "batch/line_reader.h"
#include "startup/prompter.h"

namespace mok::batch {

// What ReadNextRecord found.
enum class RecordStatus {
  Ok,
  NoAddressField,  // the line has no field at the address field's position
  ReadFailed,      // the end of the file, a read error or an undecodable line
};

class InputReader {
 public:
  explicit InputReader(Prompter& prompter) : prompter_(prompter) {}

  // What is read: shared with the run and the windows.
  std::u16string inputPath;  // full path of the input file
  int32_t startRow = 0;      // 1-based line number of the first record
  int32_t addressField = 0;  // 0-based index of the address field
  bool textInput = false;    // false for an "xls" input: every read is refused

  // The raw line of the record last read by ReadNextRecord.
  const std::u16string& sourceLine() const { return sourceLine_; }
  // The fields of the first record, counted by CountInputRecords.
  int32_t firstRowFieldCount() const { return firstRowFieldCount_; }

  // Opens inputPath as the reader's own file (the preview and the counting read it so).
  bool OpenInputFile();
  bool GetLineData(std::u16string& line) { return InputRawLineData(inFile_, line); }
  void CloseInputFile() { inFile_.Close(); }
  bool InputFileAtEnd() { return inFile_.AtEnd(); }
  bool IsInputFileOpen() const { return inFile_.IsOpen(); }

  // One line of any open file. Refused (with the message) for an "xls" input; a line that is not
  // CP932 text is refused with a message naming the file and the line; the end of the file and
  // read errors fail silently. On failure `line` keeps its previous value.
  bool InputRawLineData(LineReader& file, std::u16string& line);
  // What InputRawLineData says of a line read earlier with `status`: true for a line that was
  // read; otherwise the message, if any, and false.
  bool ReportRead(LineReader::Status status, const std::u16string& path, int64_t lineNumber) const;

  // Records from the start row to the end; -1 when the file cannot be opened or read (also
  // when it ends before the start row). Sets firstRowFieldCount.
  int32_t CountInputRecords();

  // The address of `line`: the field at addressField, trimmed of half- and full-width spaces.
  // An empty line gives an empty address. A line without that field gives false and the whole
  // line as the address.
  bool BuildAddressText(const std::u16string& line, std::u16string& address) const;

  // Reads the next line of `file` (then sourceLine()) and takes its address.
  RecordStatus ReadNextRecord(LineReader& file, std::u16string& address);

 private:
  Prompter& prompter_;
  LineReader inFile_;
  std::u16string sourceLine_;
  int32_t firstRowFieldCount_ = 0;
};

// Whether a file of this name is read as text: false only when the text after the last "." of
// the file name is exactly "xls".
bool IsTextInputName(const std::u16string& path);

// The part of a path after its last separator (the platform's, "/").
std::u16string FileNameOf(const std::u16string& path);
// The part before the last separator, and whether there is one.
bool FolderOf(const std::u16string& path, std::u16string& folder);

// Splits at every occurrence of `delimiter` (an empty delimiter does not split).
std::vector<std::u16string> SplitFields(std::u16string_view line, std::u16string_view delimiter);
// Number of fields of a line split at `delimiter`; an empty line has 0.
int32_t CountFields(std::u16string_view line, std::u16string_view delimiter);

// The display form of an address or a line: its ","-separated parts trimmed, empty parts after
// the first one dropped. " a , ,b" -> "a,b"; " ,x" -> ",x".
std::u16string CompactFields(std::u16string_view text);

}  // namespace mok::batch
