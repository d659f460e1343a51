#include "batch/record_loop.h"

#include "batch/database_message.h"
#include "batch/field_count_rule.h"
#include "batch/output_writer.h"
#include "batch/run_messages.h"
#include "batch/worker_count.h"

namespace mok::batch {
namespace {

// The records of a run read the region database in held read transactions.
class HeldReads {
 public:
  explicit HeldReads(db::AddressDatabase& database) : database_(database) {
    database_.HoldReads(true);
  }
  ~HeldReads() { database_.HoldReads(false); }
  HeldReads(const HeldReads&) = delete;
  HeldReads& operator=(const HeldReads&) = delete;

 private:
  db::AddressDatabase& database_;
};

// Which records have their address recognised: every record with the address field (normal run),
// or those whose earlier output line was not converted (unprocessed-only run).
std::function<bool(const RecordLookahead::Record&)> Recognizes(const RunKind& kind,
                                                               std::u16string delimiter) {
  if (!kind.unprocessedOnly)
    return [](const RecordLookahead::Record& record) {
      return record.input.status == RecordStatus::Ok;
    };
  return [delimiter = std::move(delimiter)](const RecordLookahead::Record& record) {
    return !WasConvertedBefore(record.input.line, record.previous.text, delimiter);
  };
}

}  // namespace

RunOutcome RecordLoop::Run(RunOutcome outcome, const InputCount& count) {
  outcome_ = std::move(outcome);
  if (auto failure =
          Write(BuildOutputHeader(context_.settings, count.firstRowFieldCount, count.headings)))
    return End({StopReason::WriteFailed, std::move(failure)});
  context_.cancelRequested.store(false);
  const HeldReads held(context_.database);
  // Looked at before the workers read the registered words: a change after it is seen.
  DictionaryWatch watch(context_.database);
  const std::unique_ptr<RecognitionPool> pool = StartPool();
  pool_ = pool.get();
  watch_ = &watch;
  RecordLookahead ahead(files_.Input(), files_.Previous(), reader_.Source().addressFields,
                        pool.get(), Recognizes(kind_, context_.settings.delimiter));
  for (int32_t position = 1; !ahead.AtEnd(); ++position) {
    // A normal run clears the monitor's source box before each record is read; an
    // unprocessed-only run after each record, when the monitor is on.
    if (!kind_.unprocessedOnly)
      context_.observer.SetMonitorText(MonitorBox::Source, u"");
    RecordLookahead::Record record = ahead.Next();
    if (auto stop = TakeRecord(record, position))
      return End(std::move(*stop));
    if (kind_.unprocessedOnly && context_.settings.monitor)
      context_.observer.SetMonitorText(MonitorBox::Source, u"");
  }
  return End({StopReason::Finished, std::nullopt});
}

bool RecordLoop::StopConfirmed() {
  if (context_.observer.PollStopRequest())
    context_.cancelRequested.store(true);
  if (!context_.cancelRequested.load())
    return false;
  if (context_.prompter.Ask(kStopQuestion, MessageButtons::YesNo) == Answer::Yes)
    return true;
  context_.cancelRequested.store(false);
  return false;
}

std::optional<RecordLoop::Stop> RecordLoop::TakeRecord(RecordLookahead::Record& record,
                                                       int32_t position) {
  const InputRecord& input = record.input;
  if (!reader_.ReportRead(input.read, files_.Input(), input.lineNumber))
    return Stop{StopReason::ReadFailed, std::nullopt};
  // A normal run stops at a record without the address field; an unprocessed-only run takes the
  // whole line as its address.
  if (!kind_.unprocessedOnly && input.status == RecordStatus::NoAddressField)
    return Stop{StopReason::NoAddressField, std::nullopt};
  const std::u16string display = CompactFields(input.address);
  if (context_.settings.monitor)
    context_.observer.SetMonitorText(MonitorBox::Source, display);
  // The stop request is taken once per record, when the monitor shows it as the one to convert
  // next and the previous record with its result: the window repaints the monitor here, and the
  // two boxes then show two different records.
  if (StopConfirmed())
    return Stop{StopReason::UserStop, std::nullopt};
  context_.observer.ShowProgress(position, outcome_.records);
  if (LineReader* previous = files_.Previous();
      previous != nullptr &&
      !reader_.ReportRead(record.previous.status, *previous, record.previous.number)) {
    return Stop{StopReason::ReadFailed, std::nullopt};
  }
  if (record.recognize)
    return Convert(record, display);
  // Converted before (unprocessed-only run): the earlier line is copied unchanged.
  if (auto failure = Write(record.previous.text))
    return Stop{StopReason::WriteFailed, std::move(failure)};
  return std::nullopt;
}

std::optional<RecordLoop::Stop> RecordLoop::Convert(RecordLookahead::Record& record,
                                                    const std::u16string& display) {
  ++outcome_.processed;
  // An unprocessed-only run writes the source part of its lines from the earlier output, which
  // for an unconverted record is the input line.
  const std::u16string& sourceLine =
      kind_.unprocessedOnly ? record.previous.text : record.input.line;
  const RecordConversion done =
      ConvertRecord(record.input.address, sourceLine, std::move(record.answer));
  if (kind_.unprocessedOnly)
    context_.observer.SetMonitorText(MonitorBox::PreviousSource, display);
  if (done.stop)
    return done.stop;
  ShowResult(display, done);
  return std::nullopt;
}

RecordLoop::RecordConversion RecordLoop::ConvertRecord(
    const std::u16string& address, const std::u16string& sourceLine,
    std::optional<RecognitionPool::Answer> answer) {
  const Settings& settings = context_.settings;
  engine::Recognition recognition = Recognize(address, std::move(answer));
  std::optional<std::u16string> fatal = SayFailures(recognition);
  if (!fatal && settings.unknownCheck && kind_.offersCorrection(recognition.code)) {
    // The user may register a learned word in the dialog; the address is recognised again.
    context_.database.HoldReads(false);
    context_.observer.EditUnconvertedAddress(address);
    context_.database.HoldReads(true);
    recognition = Recognize(address, std::nullopt);
    fatal = SayFailures(recognition);
  }
  RecordConversion done;
  if (fatal) {
    done.stop = Stop{StopReason::DatabaseFailed, std::move(fatal)};
    return done;
  }
  done.code = recognition.code;
  done.converted = IsWritten(done.code);
  const std::u16string line = done.converted
                                  ? ConvertedLine(settings, sourceLine, recognition.outputFields)
                                  : UnconvertedLine(settings, sourceLine);
  if (auto failure = Write(line)) {
    done.stop = Stop{StopReason::WriteFailed, std::move(failure)};
    return done;
  }
  if (done.converted) {
    if (done.code == engine::ResultCode::EmptyAddress)
      ++outcome_.blank;
    done.fields = std::move(recognition.outputFields);
    return done;
  }
  ++outcome_.failed;
  if (auto failure = files_.Errors().WriteUnknownLine(settings, address)) {
    context_.prompter.ShowMessage(u"エラーリストを書き込めません。変換は続けます。\r\n" + *failure);
    outcome_.errorListFailure = std::move(failure);
  }
  return done;
}

engine::Recognition RecordLoop::Recognize(const std::u16string& address,
                                          std::optional<RecognitionPool::Answer> answer) {
  // A worker's answer serves unless it used the learning dictionary, whose counts must change
  // in record order, or the dictionary changed since it was given: then the address is
  // recognised here, as a single recognizer would.
  if (answer && !answer->learned && AnswerCurrent(*answer))
    return std::move(answer->recognition);
  return context_.recognizer.RecognizeAddress(address, context_.database);
}

bool RecordLoop::AnswerCurrent(const RecognitionPool::Answer& answer) {
  if (pool_ == nullptr || watch_ == nullptr)
    return false;
  if (watch_->Changed())
    pool_->DictionaryChanged();
  return pool_->Current(answer);
}

std::optional<std::u16string> RecordLoop::SayFailures(const engine::Recognition& recognition) {
  for (const DbError& error : recognition.errors) {
    // A damaged or missing database would fail every later record the same way: the run stops
    // at the first one.
    if (error.fromEngine)
      return DatabaseMessage(error);
    context_.prompter.ShowMessage(DatabaseMessage(error));
  }
  if (recognition.uncountedUse && !countWarningShown_) {
    countWarningShown_ = true;
    context_.prompter.ShowMessage(
        u"学習辞書の参照回数を保存できませんでした。学習した語句はそのまま使います。\r\n" +
        DatabaseMessage(*recognition.uncountedUse));
  }
  return std::nullopt;
}

void RecordLoop::ShowResult(const std::u16string& display, const RecordConversion& done) {
  if (!context_.settings.monitor)
    return;
  // A normal run shows a converted or failed record, an empty address not; an unprocessed-only
  // run has shown the address of every record it converted again.
  if (!kind_.unprocessedOnly) {
    if (done.code == engine::ResultCode::EmptyAddress)
      return;
    context_.observer.SetMonitorText(MonitorBox::PreviousSource, display);
  }
  context_.observer.SetMonitorText(
      MonitorBox::PreviousResult,
      done.converted ? done.fields : std::u16string(kind_.failureMarker));
}

std::optional<std::u16string> RecordLoop::Write(const std::u16string& line) {
  OutputSink& file = files_.Output();
  if (OutputConvertLine(file, line))
    return std::nullopt;
  return file.Failure();
}

std::unique_ptr<RecognitionPool> RecordLoop::StartPool() const {
  // Records that may stop for the correction dialog are recognised one at a time: a word learned
  // there must apply to the next record.
  const Settings& settings = context_.settings;
  const unsigned workers = settings.unknownCheck ? 1 : WorkerCount(settings.jobs);
  if (workers < 2)
    return nullptr;
  return RecognitionPool::Start(settings, context_.database.Folder(), context_.database.Server(),
                                context_.database.Region().name, workers);
}

RunOutcome RecordLoop::End(Stop stop) {
  pool_ = nullptr;
  watch_ = nullptr;
  outcome_.reason = stop.reason;
  outcome_.error = std::move(stop.error);
  return std::move(outcome_);
}

}  // namespace mok::batch
