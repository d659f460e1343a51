#include "convert_summary.h"

#include "batch/output_claim.h"
#include "text/encoding.h"
#include "text/text.h"

namespace mok::app {
namespace {

std::string N(int64_t n) {
  return std::to_string(n);
}

std::string HowItEndedInEnglish(const batch::RunOutcome& outcome, const batch::RunFiles& files) {
  switch (outcome.End()) {
    case batch::RunEnd::Finished:
      return ". Finished.";
    case batch::RunEnd::Stopped:
      // An unprocessed-only run replaces the output only at its end.
      return outcome.unprocessedOnly
                 ? ". Stopped; the output is unchanged, the records converted before the stop "
                   "are in " +
                       text::ToUtf8(files.outputPath) + ".$$$."
                 : ". Stopped; the output holds the records before the stop.";
    default:
      return ". The run did not finish.";
  }
}

std::string HowItEndedInJapanese(const batch::RunOutcome& outcome, const batch::RunFiles& files) {
  switch (outcome.End()) {
    case batch::RunEnd::Finished:
      return "変換が終了しました。";
    case batch::RunEnd::Stopped:
      return outcome.unprocessedOnly
                 ? "変換を中止しました。出力ファイルは前回のままです。中止までに変換したレコードは"
                   " " +
                       text::ToUtf8(files.outputPath) + ".$$$ にあります。"
                 : "変換を中止しました。出力ファイルには中止までのレコードが書き込まれています。";
    default:
      return "変換は完了しませんでした。";
  }
}

std::string SummaryInEnglish(const batch::RunOutcome& outcome, const batch::RunFiles& files) {
  std::string summary = N(outcome.records) + " records";
  // What was recognised counts for nothing once its lines did not reach the file.
  if (outcome.recordsWritten) {
    return summary + ", writing failed with " + N(*outcome.recordsWritten) + " of them written" +
           HowItEndedInEnglish(outcome, files);
  }
  if (outcome.unprocessedOnly && outcome.End() == batch::RunEnd::Finished)
    summary += " (" + N(outcome.records - outcome.processed) + " kept from the earlier output)";
  summary += ", " + N(outcome.Converted()) + " converted, " + N(outcome.failed) + " failed";
  // Empty addresses are neither converted nor failed.
  if (outcome.blank > 0)
    summary += ", " + N(outcome.blank) + " blank";
  if (outcome.errorListFailure)
    summary += "; the error list is incomplete";
  return summary + HowItEndedInEnglish(outcome, files);
}

std::string SummaryInJapanese(const batch::RunOutcome& outcome, const batch::RunFiles& files) {
  std::string summary = "全" + N(outcome.records) + "件";
  if (outcome.recordsWritten) {
    return summary + "：書き込みに失敗しました（書き込めたのは " + N(*outcome.recordsWritten) +
           "件）。" + HowItEndedInJapanese(outcome, files);
  }
  if (outcome.unprocessedOnly && outcome.End() == batch::RunEnd::Finished)
    summary += "（前回変換済みの" + N(outcome.records - outcome.processed) + "件はそのまま）";
  summary += "：変換 " + N(outcome.Converted()) + "件、変換できず " + N(outcome.failed) + "件";
  if (outcome.blank > 0)
    summary += "、空欄 " + N(outcome.blank) + "件";
  if (outcome.errorListFailure)
    summary += "（エラーリストは完全ではありません）";
  return summary + "。" + HowItEndedInJapanese(outcome, files);
}

}  // namespace

std::string ConvertSummary(const batch::RunOutcome& outcome, const batch::RunFiles& files,
                           SummaryLanguage language) {
  return language == SummaryLanguage::English ? SummaryInEnglish(outcome, files)
                                              : SummaryInJapanese(outcome, files);
}

std::string OutputLine(const batch::RunFiles& files, SummaryLanguage language) {
  const std::u16string form =
      batch::IsWorkbookOutput(files.outputPath)
          ? u"xlsx"
          : text::EncodingKey(files.outputEncoding.value_or(text::Encoding::Cp932));
  return (language == SummaryLanguage::English ? "Output: " : "出力ファイル: ") +
         text::ToUtf8(files.outputPath) + " (" + text::ToUtf8(form) + ")";
}

int ExitStatus(const batch::RunOutcome& outcome) {
  switch (outcome.End()) {
    case batch::RunEnd::Finished:
      if (outcome.errorListFailure)
        return 1;
      return outcome.failed > 0 || outcome.blank > 0 ? 3 : 0;
    case batch::RunEnd::Stopped:
      return 130;
    default:
      return 1;
  }
}

}  // namespace mok::app
