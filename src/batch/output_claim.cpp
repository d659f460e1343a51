#include "batch/output_claim.h"

#include <sys/stat.h>

#include <optional>

#include "batch/record_reader.h"
#include "batch/workbook_sink.h"

namespace mok::batch {
namespace {

// Records compared: enough to tell two customer lists apart, few enough for a large output.
constexpr int kComparedRecords = 100;

// Skips `count` records; the last of them, or nullopt when one cannot be read.
std::optional<std::u16string> SkipRecords(LineReader& file, int32_t count) {
  std::u16string last;
  for (int32_t i = 0; i < count; ++i) {
    LineReader::Line line = ReadRecord(file);
    if (line.status != LineReader::Status::Ok)
      return std::nullopt;
    last = std::move(line.text);
  }
  return last;
}

}  // namespace

OutputClaim ClaimOfOutput(const std::u16string& outputPath, const InputSource& input,
                          int32_t headerLines) {
  struct stat info {};
  if (::stat(NativePath(outputPath).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
    return OutputClaim::Free;
  if (info.st_size == 0)
    return OutputClaim::Free;
  // A workbook names the input it was written from.
  if (IsWorkbookOutput(outputPath)) {
    return IsWorkbookOfInput(outputPath, input.path) ? OutputClaim::OfThisInput
                                                     : OutputClaim::Other;
  }
  LineReader in;
  LineReader out;
  if (!in.Open(input.path) || !out.Open(outputPath))
    return OutputClaim::Other;
  const auto headings = SkipRecords(in, input.startRow - 1);
  const auto header = SkipRecords(out, headerLines);
  if (!headings || !header)
    return OutputClaim::Other;
  // A run stopped before its first record left the header alone: it begins with the input's
  // headings (or, without a heading line, with the empty names of the source columns).
  if (out.AtEnd())
    return header->starts_with(*headings + u",") ? OutputClaim::OfThisInput : OutputClaim::Other;
  int matched = 0;
  for (int n = 0; n < kComparedRecords && !out.AtEnd(); ++n) {
    const LineReader::Line source = ReadRecord(in);
    const LineReader::Line written = ReadRecord(out);
    if (source.status != LineReader::Status::Ok || written.status != LineReader::Status::Ok)
      return OutputClaim::Other;
    // An empty line (an unconverted record written without its source) tells nothing.
    if (written.text.empty())
      continue;
    if (written.text != source.text && !written.text.starts_with(source.text + u","))
      return OutputClaim::Other;
    ++matched;
  }
  return matched > 0 ? OutputClaim::OfThisInput : OutputClaim::Other;
}

std::u16string DefaultOutputPath(const std::u16string& inputPath, const Settings& settings) {
  const std::size_t slash = inputPath.rfind(u'/');
  const std::size_t nameStart = slash == std::u16string::npos ? 0 : slash + 1;
  std::size_t dot = inputPath.rfind(u'.');
  if (dot == std::u16string::npos || dot <= nameStart)
    dot = inputPath.size();
  return inputPath.substr(0, dot) + u"_結果" + (settings.csvOut ? u".csv" : u".xlsx");
}

bool IsWorkbookOutput(const std::u16string& outputPath) {
  constexpr std::u16string_view kExtension = u".xlsx";
  if (outputPath.size() < kExtension.size())
    return false;
  const std::u16string_view ending =
      std::u16string_view(outputPath).substr(outputPath.size() - kExtension.size());
  for (std::size_t i = 0; i < kExtension.size(); ++i) {
    const char16_t c = ending[i];
    if ((c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c) != kExtension[i])
      return false;
  }
  return true;
}

std::u16string ReplaceOutputQuestion(const std::u16string& outputPath,
                                     const std::u16string& inputPath) {
  return u"出力ファイル\r\n" + outputPath + u"\r\nは既にあり、入力ファイル\r\n" + inputPath +
         u"\r\nの変換結果ではありません。" + kReplaceOutputAsked;
}

std::u16string NotTheInputsOutputMessage(const std::u16string& outputPath,
                                         const std::u16string& inputPath) {
  return u"出力ファイル\r\n" + outputPath + u"\r\nは入力ファイル\r\n" + inputPath +
         u"\r\nの変換結果ではないため、未処理データのみの変換はできません。\r\n"
         u"出力ファイルを選び直すか、詳細設定の「未処理データのみ変換」を外して下さい。";
}

}  // namespace mok::batch
