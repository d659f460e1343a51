// The readers of CSV files on a file holding the input bytes: the line reader and the input
// reader of a conversion run, and the importers' CSV reader (which also takes .xz files).
#include <algorithm>
#include <utility>

#include "batch/input_reader.h"
#include "db/import/csv_reader.h"
#include "db/import/import_error.h"
#include "fuzz/fuzz_target.h"

namespace mok {

MOK_FUZZ_TARGET(csv) {
  const std::filesystem::path path = fuzz::ScratchFile("in.csv", input);
  const std::u16string file = path.u16string();

  // The lines by the plain rule: CR LF or CR ends a line, a line end at the end of the file makes
  // no extra line.
  std::vector<std::string> expected;
  std::string line;
  for (std::size_t i = 0; i < input.size(); ++i) {
    if (input[i] != '\r') {
      line += input[i];
      continue;
    }
    expected.push_back(std::exchange(line, {}));
    if (i + 1 < input.size() && input[i + 1] == '\n')
      ++i;
  }
  if (!line.empty())
    expected.push_back(line);

  batch::LineReader reader;
  MOK_FUZZ_CHECK(reader.Open(file));
  std::vector<std::string> lines;
  while (reader.ReadBytes(line) == batch::LineReader::Status::Ok)
    lines.push_back(line);
  MOK_FUZZ_CHECK(lines == expected && reader.AtEnd());

  // The input reader counts the records from the start row and refuses an undecodable line.
  fuzz::CountingPrompter prompter;
  batch::InputReader records(prompter);
  records.inputPath = file;
  records.startRow = static_cast<int32_t>(input.size() % 3) + 1;
  records.addressField = static_cast<int32_t>(input.size() % 4) - 1;
  const auto skipped = static_cast<std::size_t>(records.startRow - 1);
  const bool decodable = std::all_of(lines.begin(), lines.end(),
                                     [](const std::string& l) { return text::DecodeCp932(l); });
  const int32_t count = records.CountInputRecords();
  if (decodable && lines.size() >= skipped)
    MOK_FUZZ_CHECK(count == static_cast<int32_t>(lines.size() - skipped));
  else
    MOK_FUZZ_CHECK(count == -1);
  MOK_FUZZ_CHECK(reader.Open(file));
  std::u16string address;
  for (batch::RecordStatus status;
       (status = records.ReadNextRecord(reader, address)) != batch::RecordStatus::ReadFailed;) {
    MOK_FUZZ_CHECK(status == batch::RecordStatus::Ok ? text::Trim(address) == address
                                                     : address == records.sourceLine());
  }

  // The importers' reader: a record without quotes is split at every comma.
  try {
    db::CsvReader csv(path, db::TextEncoding::Detect);
    std::vector<std::u16string> fields;
    int64_t lineNumber = 0;
    while (csv.Next(fields)) {
      MOK_FUZZ_CHECK(csv.LineNumber() > lineNumber && !fields.empty());
      lineNumber = csv.LineNumber();
    }
  } catch (const db::ImportError&) {
  }
  const std::u16string s = fuzz::InputText(input);
  bool complete = false;
  const auto fields = db::SplitCsvRecord(s, &complete);
  if (s.find(u'"') == s.npos) {
    MOK_FUZZ_CHECK(complete &&
                   fields.size() ==
                       static_cast<std::size_t>(std::count(s.begin(), s.end(), u',')) + 1);
  }
}

}  // namespace mok
