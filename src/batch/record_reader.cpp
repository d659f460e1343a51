#include "batch/record_reader.h"

#include "batch/record_fields.h"
#include "text/text.h"

namespace mok::batch {

LineReader::Status ReadRecordBytes(LineReader& file, std::string& bytes) {
  std::string record;
  LineReader::Status status = file.ReadBytes(record);
  if (status != LineReader::Status::Ok)
    return status;
  for (bool open = EndsInsideQuotes(record); open;) {
    // A line end inside quotes belongs to the field, kept as the file wrote it.
    const std::string lineEnd(file.LastLineEnd());
    std::string line;
    status = file.ReadBytes(line);
    if (status == LineReader::Status::End)
      return LineReader::Status::UnclosedQuote;
    if (status != LineReader::Status::Ok)
      return status;
    open = EndsInsideQuotes(line, true);
    record += lineEnd + line;
  }
  bytes = std::move(record);
  return LineReader::Status::Ok;
}

LineReader::Line ReadRecord(LineReader& file) {
  LineReader::Line line;
  line.number = file.LineNumber() + 1;
  std::string bytes;
  line.status = ReadRecordBytes(file, bytes);
  if (line.status != LineReader::Status::Ok)
    return line;
  line.ended = file.LastLineEnded();
  auto decoded = text::Decode(bytes, file.Encoding());
  if (!decoded) {
    line.status = LineReader::Status::Undecodable;
    return line;
  }
  line.text = std::move(*decoded);
  return line;
}

}  // namespace mok::batch
