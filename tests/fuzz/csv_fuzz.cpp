// The readers of CSV files on a file of the input bytes: the line reader and the input reader of
// a conversion run, and the importers' CSV reader (which also takes .xz files).
#include <algorithm>

#include "batch/input_reader.h"
#include "batch/record_fields.h"
#include "db/import/csv_reader.h"
#include "db/import/import_error.h"
#include "fuzz/fuzz_target.h"
#include "text/encoding.h"

namespace mok {

MOK_FUZZ_TARGET(csv) {
  const std::filesystem::path path = fuzz::ScratchPath("in.csv");
  std::ofstream(path, std::ios::binary) << input;
  batch::LineReader reader;
  MOK_FUZZ_CHECK(reader.Open(path.u16string()));
  // The lines by the plain rule: CR LF or CR ends a line, and a lone LF too when the file's first
  // line end is one; one at the end makes no extra line. A UTF-8 byte-order mark is not part of
  // the first line.
  std::string bytes(input);
  if (reader.Encoding() == text::Encoding::Utf8Bom)
    bytes.erase(0, text::kUtf8Bom.size());
  for (std::size_t at = 0; (at = bytes.find("\r\n", at)) != bytes.npos;)
    bytes.erase(++at, 1);
  if (const std::size_t first = bytes.find_first_of("\r\n");
      first != bytes.npos && bytes[first] == '\n')
    std::replace(bytes.begin(), bytes.end(), '\n', '\r');
  std::vector<std::string> expected;
  for (std::size_t at = 0, end; at < bytes.size(); at = end + 1) {
    end = std::min(bytes.find('\r', at), bytes.size());
    expected.push_back(bytes.substr(at, end - at));
  }
  std::vector<std::string> lines;
  for (std::string line; reader.ReadBytes(line) == batch::LineReader::Status::Ok;)
    lines.push_back(line);
  MOK_FUZZ_CHECK(lines == expected && reader.AtEnd());

  // The input reader counts the records after the start row (a record goes on over the lines of
  // a quoted field), unless a line does not decode or a quoted field is never closed.
  test::RecordingPrompter prompter;
  const int32_t startRow = static_cast<int32_t>(input.size() % 3) + 1;
  const batch::InputReader records(batch::DescribeInput(path.u16string(), startRow), prompter);
  const auto skipped = static_cast<std::size_t>(startRow - 1);
  const bool decodes = std::ranges::all_of(lines, [&](const std::string& line) {
    return text::Decode(line, reader.Encoding()).has_value();
  });
  std::size_t recordCount = 0;
  bool open = false;
  for (const std::string& line : lines) {
    recordCount += open ? 0 : 1;
    open = batch::EndsInsideQuotes(line, open);
  }
  MOK_FUZZ_CHECK(
      records.CountInputRecords().records ==
      (decodes && !open && recordCount >= skipped ? static_cast<int>(recordCount - skipped) : -1));

  // The importers' reader; a record without quotes is split at every comma.
  try {
    db::CsvReader csv(path, db::TextEncoding::Detect);
    std::vector<std::u16string> fields;
    for (int64_t line = 0; csv.Next(fields); line = csv.LineNumber())
      MOK_FUZZ_CHECK(csv.LineNumber() > line && !fields.empty());
  } catch (const db::ImportError&) {
  }
  const std::u16string s = fuzz::InputText(input);
  bool complete = false;
  const std::size_t count = db::SplitCsvRecord(s, &complete).size();
  if (s.find(u'"') == s.npos)
    MOK_FUZZ_CHECK(complete && count == static_cast<std::size_t>(std::ranges::count(s, u',')) + 1);
}

}  // namespace mok
