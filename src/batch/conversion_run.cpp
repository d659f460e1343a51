#include "batch/conversion_run.h"

#include <algorithm>

#include "batch/address_field_hint.h"
#include "batch/conversion_files.h"
#include "batch/database_message.h"
#include "batch/map_link.h"
#include "batch/output_claim.h"
#include "batch/record_loop.h"
#include "batch/region_place_names.h"
#include "batch/run_kind.h"
#include "batch/run_paths.h"
#include "batch/run_settings.h"
#include "batch/unconverted_rows.h"
#include "text/encoding.h"
#include "text/text.h"

namespace mok::batch {
namespace {

RunOutcome Ended(RunOutcome outcome, StopReason reason, std::optional<std::u16string> error) {
  outcome.reason = reason;
  outcome.error = std::move(error);
  return outcome;
}

// After the run's files are closed: when the records reached the end of the input, the output
// must have reached the disk and, in an unprocessed-only run, be put in place of the earlier one.
// After a failed write, how many records' lines are in the file is part of the outcome.
RunOutcome Finish(ConversionFiles& files, const ClosedFiles& closed, RunOutcome outcome) {
  // The error list is a convenience, as when it cannot be written: its close does not end the
  // run. The output's does: a file that did not reach the disk must not pass for a finished one.
  if (outcome.reason == StopReason::Finished && closed.output)
    outcome = Ended(std::move(outcome), StopReason::WriteFailed, closed.output);
  if (outcome.reason == StopReason::WriteFailed)
    outcome.recordsWritten = std::max<int64_t>(0, files.Output().LinesOnDisk() - 1);
  if (outcome.reason != StopReason::Finished)
    return outcome;
  if (const auto failure = files.ReplaceOutput())
    return Ended(std::move(outcome), StopReason::Error, failure->Text());
  return outcome;
}

}  // namespace

ConversionRun::ConversionRun(RunContext context, Prompter& prompter, RunObserver& observer)
    : context_(std::move(context)),
      releasing_(prompter, context_.database),
      prompter_(releasing_),
      observer_(observer) {}

RunOutcome ConversionRun::Execute(const RunRequest& request) {
  if (running_)
    return {};
  Settings& settings = context_.settings;
  if (!request.inputPath.empty())
    settings.inputFilePath = request.inputPath;
  if (const auto problem = CheckRequest(request)) {
    prompter_.ShowMessage(problem->message);
    observer_.FocusInputBox(problem->box);
    return {};
  }
  settings.outputFilePath = request.outputPath;
  // An output the run must not write is refused once the input is known to exist; it is not
  // remembered either, so that the next run does not offer it again.
  refusedOutput_ = RefusedOutput(PathsOf(request.inputPath, request.outputPath),
                                 context_.settingsFilePath, context_.database.Folder());
  if (request.remember) {
    RememberFolders(context_.settingsFilePath, settings, request.inputPath,
                    refusedOutput_ ? u"" : request.outputPath);
  }

  running_ = true;
  observer_.SetRunningState(true);
  const RunOutcome outcome = Run(request);
  ShowEnd(outcome);
  running_ = false;
  observer_.SetRunningState(false);
  return outcome;
}

RunOutcome ConversionRun::Run(const RunRequest& request) {
  RunOutcome outcome;
  if (auto selected = context_.database.SelectRegion(request.region); !selected) {
    prompter_.ShowMessage(DatabaseMessage(selected.error()));
    return outcome;
  }
  const auto numbers = ReadRunNumbers(request);
  if (const auto* problem = std::get_if<RequestProblem>(&numbers)) {
    prompter_.ShowMessage(problem->message);
    observer_.FocusInputBox(problem->box);
    return Ended(outcome, StopReason::Error, std::nullopt);  // said here
  }
  const RunNumbers& taken = std::get<RunNumbers>(numbers);
  // The count reads the input as the conversion will, so that a line it cannot read is said
  // before the output is opened (and an earlier output emptied) for nothing.
  const InputReader reader(DescribeInput(request.inputPath, taken.startRow, taken.addressFields,
                                         text::ParseEncoding(context_.settings.inputEncoding)),
                           prompter_);
  lastFiles_ = {request.inputPath, request.outputPath, taken.startRow, taken.addressFields, {}, {}};

  const InputCount count = reader.CountInputRecords();
  outcome.records = count.records;
  if (count.records <= 0)
    return outcome;
  Settings& settings = context_.settings;
  for (const std::u16string& entry :
       request.remember
           ? SaveRunWindowState(context_.settingsFilePath, settings, request, !refusedOutput_)
           : std::vector<std::u16string>()) {
    prompter_.ShowMessage(
        u"次の指定は mok.ini に記憶できません（126バイトまで、前後に空白のないもの）。\r\n" +
        entry);
  }
  // The output's name decides its form (CSVOUT only proposes the name of a new output). A
  // workbook cannot be read back record by record, so it cannot be paired with the input.
  outcome.unprocessedOnly = FileExists(request.outputPath) && settings.notOverwrite;
  if (outcome.unprocessedOnly && IsWorkbookOutput(request.outputPath)) {
    return Ended(outcome, StopReason::FileRefused,
                 u"Excel形式の出力ファイルには未処理データのみの変換はできません。\r\n" +
                     request.outputPath +
                     u"\r\n詳細設定の「未処理データのみ変換」を外すか、CSV形式の出力ファイル"
                     u"を選んで下さい。");
  }
  return ConvertRecords(reader, request, std::move(outcome), count);
}

RunOutcome ConversionRun::ConvertRecords(const InputReader& reader, const RunRequest& request,
                                         RunOutcome outcome, const InputCount& count) {
  const RunPaths paths = PathsOf(request.inputPath, request.outputPath);
  if (!FileExists(paths.input))
    return Ended(outcome, StopReason::FileRefused, u"入力ファイルが見つかりません。");
  if (refusedOutput_)
    return Ended(outcome, StopReason::FileRefused, refusedOutput_);
  // Another file at the output's path is replaced only when the user says so; an
  // unprocessed-only run pairs its records with the earlier output, so that must be the input's.
  if (ClaimOfOutput(paths.output, reader.Source(), context_.settings.addLine) ==
      OutputClaim::Other) {
    if (outcome.unprocessedOnly) {
      return Ended(outcome, StopReason::FileRefused,
                   NotTheInputsOutputMessage(paths.output, paths.input));
    }
    if (prompter_.Ask(ReplaceOutputQuestion(paths.output, paths.input), MessageButtons::YesNo,
                      MessageIcon::Warning) != Answer::Yes) {
      return outcome;
    }
  }
  ConversionFiles files;
  if (auto failure = files.Open(paths, outcome.unprocessedOnly, context_.settings))
    return Ended(outcome, StopReason::FileRefused, std::move(failure));
  lastFiles_.inputEncoding = files.Input().Encoding();
  lastFiles_.outputEncoding = files.OutputEncoding();
  // A line before the start row that cannot be read has been said by the reader.
  if (!reader.SkipToStartRow(files.Input()))
    return Ended(outcome, StopReason::FileRefused, std::nullopt);
  // The earlier header is dropped (a missing one shows at the first record) and a new one written
  // for the current settings.
  if (LineReader* previous = files.Previous())
    reader.ReadRawLine(*previous);

  RecordLoop loop({context_.settings, context_.database, context_.recognizer, prompter_, observer_,
                   cancelRequested_},
                  reader, files, RunKindOf(outcome.unprocessedOnly));
  outcome = loop.Run(std::move(outcome), count);
  const ClosedFiles closed = files.Close();
  // An error list that did not reach the disk is incomplete: said, and the run is not a success.
  if (closed.errorList && !outcome.errorListFailure) {
    prompter_.ShowMessage(
        u"エラーリストを書き込めませんでした。エラーリストは完全ではありません。\r\n" +
        *closed.errorList);
    outcome.errorListFailure = closed.errorList;
  }
  return Finish(files, closed, std::move(outcome));
}

void ConversionRun::ShowEnd(const RunOutcome& outcome) {
  switch (outcome.reason) {
    case StopReason::Finished:
      observer_.SetMonitorText(MonitorBox::Source, u"");
      observer_.SetMonitorText(MonitorBox::PreviousSource, u"");
      observer_.SetMonitorText(MonitorBox::PreviousResult, u"");
      if (outcome.failed >= 1) {
        AskEditUnconverted(outcome, true);
      } else if (const auto hint = outcome.blank == outcome.processed && outcome.blank > 0
                                       ? FieldHint()
                                       : std::nullopt) {
        // Every address was empty: the address field is the likely cause.
        prompter_.ShowMessage(u"変換が終了しましたが、すべてのレコードの住所が空欄でした（空欄 " +
                              text::FromUtf8(std::to_string(outcome.blank)) + u"件）。\r\n" +
                              *hint);
      } else {
        prompter_.ShowMessage(EndOfRunMessage(outcome));
      }
      ShowInMapProgram(context_.settings, prompter_, lastFiles_.outputPath);
      return;
    case StopReason::UserStop:
      prompter_.ShowMessage(StoppedRunMessage(outcome));
      AskEditUnconverted(outcome, false);
      return;
    default:
      if (const auto message = FailureMessage(outcome))
        prompter_.ShowMessage(*message);
      return;
  }
}

void ConversionRun::AskEditUnconverted(const RunOutcome& outcome, bool finished) {
  if (outcome.failed <= 0)
    return;
  const std::u16string counts = UnconvertedCounts(outcome, finished);
  // Most records failed on a field that holds no address, or less of one than another field: the
  // field is the likely cause, and editing the records one by one would not help.
  if (2 * (outcome.failed + outcome.blank) > outcome.processed) {
    if (const auto hint = FieldHint()) {
      prompter_.ShowMessage(counts + u"\r\n" + *hint);
      return;
    }
  }
  // The unconverted records are found by reading the output back beside the input, which a
  // workbook does not allow.
  if (IsWorkbookOutput(lastFiles_.outputPath)) {
    prompter_.ShowMessage(u"\r\n" + counts + u"\r\n" + kWorkbookHasNoList);
    return;
  }
  if (prompter_.Ask(EditUnconvertedQuestion(counts), MessageButtons::YesNo) == Answer::Yes)
    observer_.ListUnconvertedRows(lastFiles_);
}

std::optional<std::u16string> ConversionRun::FieldHint() const {
  return AddressFieldHint(lastFiles_, AddressSigns(RegionPlaceNames(
                                          context_.database, context_.database.Region().name)));
}

}  // namespace mok::batch
