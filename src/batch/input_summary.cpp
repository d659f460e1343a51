#include "batch/input_summary.h"

#include "batch/line_reader.h"
#include "batch/record_fields.h"
#include "batch/record_reader.h"

namespace mok::batch {

InputSummary SummarizeInput(const std::u16string& path, int32_t startRow, int32_t addressField,
                            std::optional<text::Encoding> encoding) {
  InputSummary summary;
  LineReader input;
  if (!FileExists(path) || !input.Open(path, nullptr, encoding))
    return summary;
  summary.encoding = input.Encoding();
  // The field of a line, trimmed as the run takes the address; nullopt when the line lacks it.
  auto field = [addressField](const std::u16string& line) { return FieldAt(line, addressField); };
  for (int32_t row = 1; row < startRow; ++row) {
    const LineReader::Line line = ReadRecord(input);
    if (line.status != LineReader::Status::Ok)
      return summary;
    if (row == startRow - 1)
      summary.heading = field(line.text).value_or(u"");
  }
  if (const LineReader::Line line = ReadRecord(input); line.status == LineReader::Status::Ok)
    summary.firstValue = field(line.text);
  return summary;
}

}  // namespace mok::batch
