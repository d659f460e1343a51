// The texts a conversion run shows at its end, made from its outcome, and the stop question.
//
// Example: a normal run of 10 records with 2 failures asks
//   "\r\n10件中2件変換できませんでした。\r\n変換不能分を編集しますか。";
// one that converted all 3 says "変換が終了しました。\r\n全件数は3件です。".
#pragma once

#include <optional>
#include <string>

#include "batch/run_outcome.h"

namespace mok::batch {

// The question a stop request asks before the run stops.
inline constexpr char16_t kStopQuestion[] = u"変換を中止しますか？";

// The count of the records with an empty address ("\r\n空欄 4件…"), "" when there is none.
std::u16string BlankCount(const RunOutcome& outcome);

// The end message of a run that reached the end of its input without a failed record; the
// records with an empty address are counted apart.
std::u16string EndOfRunMessage(const RunOutcome& outcome);

// The message of a run the user stopped: that it was stopped, what the output holds (a normal
// run wrote the records before the stop; an unprocessed-only run leaves the earlier output as it
// was), and what to do to convert the rest.
//   変換を中止しました。\r\n出力ファイルには、全10件のうち中止までの4件を書き込みました。\r\n…
std::u16string StoppedRunMessage(const RunOutcome& outcome);

// The counts of a run with failed records; `finished`: it reached the end of the input.
std::u16string UnconvertedCounts(const RunOutcome& outcome, bool finished);

// The question whether to edit the unconverted records, after their counts.
std::u16string EditUnconvertedQuestion(const std::u16string& counts);

// The message of a run that failed, or nullopt when there is nothing more to say (it did not
// start, finished or was stopped, or the failure was said where it was met).
std::optional<std::u16string> FailureMessage(const RunOutcome& outcome);

}  // namespace mok::batch
