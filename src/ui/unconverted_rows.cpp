#include "ui/unconverted_rows.h"

#include <cerrno>

#include "batch/field_count_rule.h"
#include "batch/file_error.h"
#include "batch/input_reader.h"
#include "batch/line_reader.h"

namespace mok::ui {

namespace {

// Reading past the end of a file while the leading lines are skipped.
batch::FileError InputPastEndOfFile() {
  return {u"ファイルの終わりを越えて入力しようとしました。", 62};
}

// Skips `count` lines of `file` without decoding them (they are never shown).
bool SkipLines(batch::LineReader& file, int32_t count, batch::FileError& error) {
  std::string bytes;
  for (int32_t i = 0; i < count; ++i) {
    switch (file.ReadBytes(bytes)) {
      case batch::LineReader::Status::Ok:
      case batch::LineReader::Status::Undecodable:
        break;
      case batch::LineReader::Status::End:
        error = InputPastEndOfFile();
        return false;
      case batch::LineReader::Status::ReadError:
        error = batch::FileErrorFromErrno(EIO);
        return false;
    }
  }
  return true;
}

}  // namespace

std::optional<std::vector<std::u16string>> CollectUnconvertedAddresses(
    const UnconvertedRunFiles& run, const Settings& settings, Prompter& prompter) {
  batch::InputReader reader(prompter);
  reader.inputPath = run.inputPath;
  reader.startRow = run.startRow;
  reader.addressField = run.addressField;
  reader.textInput = batch::IsTextInputName(run.inputPath);

  batch::LineReader input;
  batch::LineReader output;
  batch::FileError error;
  if (!input.Open(run.inputPath, &error) || !output.Open(run.outputPath, &error) ||
      !SkipLines(input, run.startRow - 1, error) || !SkipLines(output, settings.addLine, error)) {
    prompter.ShowMessage(error.Text());
    return std::nullopt;
  }

  std::vector<std::u16string> addresses;
  std::u16string inputLine;
  std::u16string outputLine;
  while (!input.AtEnd() && !output.AtEnd()) {
    if (!reader.InputRawLineData(input, inputLine))
      break;
    if (!reader.InputRawLineData(output, outputLine))
      break;
    if (inputLine.empty() && outputLine.empty())
      continue;
    if (!batch::IsListedAsUnconverted(inputLine, outputLine, settings.delimiter, settings.logOut)) {
      continue;
    }
    std::u16string address;
    if (reader.BuildAddressText(inputLine, address)) {
      addresses.push_back(batch::CompactFields(address));
    }
  }
  return addresses;
}

}  // namespace mok::ui
