#include "batch/unconverted_rows.h"

#include <algorithm>
#include <cerrno>

#include "batch/field_count_rule.h"
#include "batch/input_reader.h"
#include "batch/line_reader.h"
#include "batch/output_claim.h"
#include "batch/record_reader.h"

namespace mok::batch {

namespace {

// Reading past the end of a file while the leading lines are skipped.
FileError InputPastEndOfFile() {
  return {u"入力ファイルまたは出力ファイルが、変換開始行より前で終わっています。", 62,
          u"変換開始行と、出力ファイルがこの入力ファイルの変換結果であることを確かめて下さい。"};
}

// Skips `count` records of `file` without decoding them (they are never shown).
std::optional<FileError> SkipLines(LineReader& file, int32_t count) {
  std::string bytes;
  for (int32_t i = 0; i < count; ++i) {
    switch (ReadRecordBytes(file, bytes)) {
      case LineReader::Status::Ok:
      case LineReader::Status::Undecodable:
        break;
      case LineReader::Status::End:
      case LineReader::Status::UnclosedQuote:
        return InputPastEndOfFile();
      case LineReader::Status::ReadError:
        return FileErrorFromErrno(EIO);
    }
  }
  return std::nullopt;
}

// The reader says why it refuses a line through a prompter; the walk keeps that text for its
// caller instead of showing it.
class NoticeKeeper : public Prompter {
 public:
  void ShowMessage(const std::u16string& text, MessageIcon, const std::u16string&) override {
    notice = text;
  }
  Answer Ask(const std::u16string&, MessageButtons, MessageIcon, const std::u16string&) override {
    return Answer::Cancel;
  }
  std::u16string notice;
};

// The first fields of a line other than the address fields, in their display form.
std::u16string RecordFields(const std::u16string& line, const std::vector<int32_t>& addressFields) {
  constexpr std::size_t kShownFields = 2;
  std::u16string shown;
  std::size_t taken = 0;
  const std::vector<std::u16string> fields = SplitFields(line, u",");
  for (std::size_t i = 0; i < fields.size() && taken < kShownFields; ++i) {
    if (std::find(addressFields.begin(), addressFields.end(), static_cast<int64_t>(i)) !=
        addressFields.end()) {
      continue;
    }
    shown += (taken++ == 0 ? u"" : u",") + fields[i];
  }
  return CompactFields(shown);
}

}  // namespace

UnconvertedRows CollectUnconvertedRows(const RunFiles& run, const Settings& settings) {
  NoticeKeeper notices;
  const InputReader reader(
      DescribeInput(run.inputPath, run.startRow, run.addressFields, run.inputEncoding), notices);

  UnconvertedRows found;
  if (IsWorkbookOutput(run.outputPath)) {
    found.stopNotice = kWorkbookHasNoList;
    return found;
  }
  LineReader input;
  LineReader output;
  FileError error;
  if (!input.Open(run.inputPath, &error, run.inputEncoding) ||
      !output.Open(run.outputPath, &error, run.outputEncoding)) {
    found.failure = error;
    return found;
  }
  found.failure = SkipLines(input, run.startRow - 1);
  if (!found.failure)
    found.failure = SkipLines(output, settings.addLine);
  if (found.failure)
    return found;

  while (!input.AtEnd() && !output.AtEnd()) {
    const int64_t recordLine = input.LineNumber() + 1;
    const std::optional<std::u16string> inputLine = reader.ReadRawLine(input);
    const std::optional<std::u16string> outputLine =
        inputLine ? reader.ReadRawLine(output) : std::nullopt;
    if (!outputLine)
      break;
    if (inputLine->empty() && outputLine->empty())
      continue;
    if (!IsListedAsUnconverted(*inputLine, *outputLine, settings.delimiter, settings.logOut))
      continue;
    if (const AddressText address = AddressOf(*inputLine, run.addressFields); address.found) {
      found.rows.push_back({recordLine, CompactFields(address.address),
                            RecordFields(*inputLine, run.addressFields)});
    }
  }
  found.stopNotice = notices.notice;
  return found;
}

}  // namespace mok::batch
