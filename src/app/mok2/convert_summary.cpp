#include "convert_summary.h"

#include "batch/output_claim.h"
#include "batch/run_messages.h"
#include "text/encoding.h"
#include "text/text.h"

namespace mok::app {
namespace {

// The text on one line: CR dropped, LF as a space.
std::string OneLine(const std::u16string& text) {
  std::string out;
  for (char c : text::ToUtf8(text)) {
    if (c == '\n') {
      out += ' ';
    } else if (c != '\r') {
      out += c;
    }
  }
  return out;
}

std::string HowItEnded(const batch::RunOutcome& outcome, const batch::RunFiles& files) {
  switch (outcome.End()) {
    case batch::RunEnd::Finished:
      return outcome.failed == 0 ? ". " + OneLine(batch::EndOfRunMessage(outcome))
                                 : std::string(". 変換が終了しました。");
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

}  // namespace

std::string ConvertSummary(const batch::RunOutcome& outcome, const batch::RunFiles& files) {
  std::string summary = std::to_string(outcome.records) + " records";
  if (outcome.recordsWritten) {
    // What was recognised counts for nothing once its lines did not reach the file.
    summary +=
        ", writing failed with " + std::to_string(*outcome.recordsWritten) + " of them written";
    return summary + HowItEnded(outcome, files);
  }
  if (outcome.unprocessedOnly && outcome.End() == batch::RunEnd::Finished) {
    summary += " (" + std::to_string(outcome.records - outcome.processed) +
               " kept from the earlier output)";
  }
  summary += ", " + std::to_string(outcome.Converted()) + " converted, " +
             std::to_string(outcome.failed) + " failed";
  // Empty addresses are neither converted nor failed (空欄).
  if (outcome.blank > 0)
    summary += ", " + std::to_string(outcome.blank) + " blank (空欄 " +
               std::to_string(outcome.blank) + "件)";
  if (outcome.errorListFailure)
    summary += "; the error list is incomplete";
  return summary + HowItEnded(outcome, files);
}

std::string OutputLine(const batch::RunFiles& files) {
  const std::u16string form =
      batch::IsWorkbookOutput(files.outputPath)
          ? u"xlsx"
          : text::EncodingKey(files.outputEncoding.value_or(text::Encoding::Cp932));
  return "Output: " + text::ToUtf8(files.outputPath) + " (" + text::ToUtf8(form) + ")";
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
