#include "batch/run_messages.h"

#include "text/text.h"

namespace mok::batch {
namespace {

std::u16string Number(int64_t n) {
  return text::FromUtf8(std::to_string(n));
}

constexpr char16_t kEndsRun[] = u"\r\n処理を終了します。";

}  // namespace

std::u16string BlankCount(const RunOutcome& outcome) {
  if (outcome.blank == 0)
    return {};
  return u"\r\n空欄 " + Number(outcome.blank) + u"件（住所が空欄のため変換していません）";
}

std::u16string EndOfRunMessage(const RunOutcome& outcome) {
  if (!outcome.unprocessedOnly) {
    return u"変換が終了しました。\r\n全件数は" + Number(outcome.processed) + u"件です。" +
           BlankCount(outcome);
  }
  // The counter went through every record; the message says which of them were converted now.
  return u"変換が終了しました。（未処理データのみ変換）\r\n全" + Number(outcome.records) +
         u"件のうち、前回変換済みの" + Number(outcome.records - outcome.processed) +
         u"件はそのまま残し、未処理の" + Number(outcome.processed) + u"件を変換しました。" +
         BlankCount(outcome);
}

std::u16string StoppedRunMessage(const RunOutcome& outcome) {
  // An unprocessed-only run puts its new output in place only at the end; after a stop the next
  // run (of either kind) starts again from the first record.
  if (outcome.unprocessedOnly) {
    return u"変換を中止しました。（未処理データのみ変換）\r\n出力ファイルは前回のまま変わっていませ"
           u"ん。\r\nもう一度実行すると、未処理のレコードを最初から変換します。";
  }
  return u"変換を中止しました。\r\n出力ファイルには、全" + Number(outcome.records) +
         u"件のうち中止までの" + Number(outcome.processed) +
         u"件を書き込みました。\r\n残りのレコードも変換するには、もう一度実行して下さい（最初から"
         u"変換します）。";
}

std::u16string UnconvertedCounts(const RunOutcome& outcome, bool finished) {
  std::u16string counts = Number(outcome.processed) + u"件中" + Number(outcome.failed) +
                          u"件変換できませんでした。" + BlankCount(outcome);
  if (!outcome.unprocessedOnly)
    return counts;
  counts = u"未処理データのみ変換：未処理の" + counts;
  if (finished) {
    counts += u"\r\n（全" + Number(outcome.records) + u"件のうち" +
              Number(outcome.records - outcome.processed) + u"件は前回変換済みです）";
  }
  return counts;
}

std::u16string EditUnconvertedQuestion(const std::u16string& counts) {
  return u"\r\n" + counts + u"\r\n変換不能分を編集しますか。";
}

std::optional<std::u16string> FailureMessage(const RunOutcome& outcome) {
  switch (outcome.reason) {
    case StopReason::NotStarted:
    case StopReason::Finished:
    case StopReason::UserStop:
      return std::nullopt;
    case StopReason::ReadFailed:
      return u"ファイルの読取り中にエラーが発生しました。" + std::u16string(kEndsRun);
    case StopReason::NoAddressField:
      return u"住所フィールド指定が無効です。" + std::u16string(kEndsRun);
    case StopReason::WriteFailed:
      // A write that failed (a full disk, a text without a CP932 form) is said out loud: the file
      // left behind is incomplete and must not pass for a finished output.
      return u"ファイルの書込み中にエラーが発生しました。\r\n" + outcome.error.value_or(u"") +
             kEndsRun;
    case StopReason::DatabaseFailed:
      return u"住所データベースの読込み中にエラーが発生しました。\r\n" +
             outcome.error.value_or(u"") + kEndsRun;
    case StopReason::FileRefused:
    case StopReason::Error:
      return outcome.error;
  }
  return std::nullopt;
}

}  // namespace mok::batch
