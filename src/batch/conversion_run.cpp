#include "batch/conversion_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <limits>
#include <thread>

#include "batch/address_field_hint.h"
#include "batch/database_message.h"
#include "batch/map_link.h"
#include "batch/number_text.h"
#include "batch/record_lookahead.h"
#include "batch/run_settings.h"
#include "text/text.h"

namespace mok::batch {
namespace {

std::u16string Number(int64_t n) {
  return text::FromUtf8(std::to_string(n));
}

bool IsWritten(engine::ResultCode code) {
  return code == engine::ResultCode::Converted || code == engine::ResultCode::EmptyAddress;
}

// True when both paths name one existing file (also through links or different spellings).
bool SameFile(const std::u16string& a, const std::u16string& b) {
  struct stat sa {};
  struct stat sb {};
  if (::stat(NativePath(a).c_str(), &sa) != 0 || ::stat(NativePath(b).c_str(), &sb) != 0) {
    return false;
  }
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// True when `path` is a database of the folder `dbDir` (or one of its journal files), also when
// named through another folder, a link or a hard link.
bool IsDatabaseFile(const std::u16string& path, const std::u16string& dbDir) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path file(NativePath(path));
  const fs::path folder(NativePath(dbDir));
  const std::string name = file.filename().string();
  for (const char* ending : {".sqlite", ".sqlite-wal", ".sqlite-shm", ".sqlite-journal"}) {
    if (name.ends_with(ending) &&
        fs::weakly_canonical(file.parent_path().empty() ? "." : file.parent_path(), ec) ==
            fs::weakly_canonical(folder, ec)) {
      return true;
    }
  }
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (entry.path().extension() == ".sqlite" && fs::equivalent(entry.path(), file, ec))
      return true;
  }
  return false;
}

}  // namespace

ConversionRun::ConversionRun(Settings& settings, db::AddressDatabase& database,
                             engine::Recognizer& recognizer, Prompter& prompter,
                             RunObserver& observer, std::u16string settingsFilePath)
    : settings_(settings),
      database_(database),
      recognizer_(recognizer),
      releasingPrompter_(prompter, database),
      prompter_(releasingPrompter_),
      observer_(observer),
      settingsFilePath_(std::move(settingsFilePath)),
      reader_(releasingPrompter_) {}

ConversionRun::~ConversionRun() {
  CloseConvertFiles();
}

RunOutcome ConversionRun::Execute(const RunRequest& request) {
  if (running_)
    return RunOutcome::NotStarted;
  if (!Validate(request))
    return RunOutcome::NotStarted;
  RememberFolders();

  running_ = true;
  stopped_ = false;
  countWarningShown_ = false;
  pendingError_.reset();
  observer_.SetRunningState(true);
  const RunOutcome outcome = Run(request);
  running_ = false;
  observer_.SetRunningState(false);
  return outcome;
}

bool ConversionRun::Validate(const RunRequest& request) {
  if (request.inputPath.empty()) {
    prompter_.ShowMessage(u"入力ファイルが選択されていません。");
    observer_.FocusInputBox(InputBox::InputFile);
    return false;
  }
  reader_.inputPath = request.inputPath;
  settings_.inputFilePath = request.inputPath;
  if (request.outputPath.empty()) {
    prompter_.ShowMessage(u"出力ファイルが選択されていません。");
    observer_.FocusInputBox(InputBox::OutputFile);
    return false;
  }
  if (!ParseNumber(request.startRow)) {
    prompter_.ShowMessage(u"変換開始行に数値を入力して下さい。");
    observer_.FocusInputBox(InputBox::StartRow);
    return false;
  }
  outputPath_ = request.outputPath;
  settings_.outputFilePath = request.outputPath;
  return true;
}

void ConversionRun::RememberFolders() {
  std::u16string folder;
  if (FolderOf(reader_.inputPath, folder) && folder != settings_.inputDir) {
    settings_.inputDir = folder;
    WriteRunSetting(settingsFilePath_, u"INPUTDIR", folder);
  }
  if (FolderOf(outputPath_, folder) && folder != settings_.outputDir) {
    settings_.outputDir = folder;
    WriteRunSetting(settingsFilePath_, u"OUTPUTDIR", folder);
  }
}

RunOutcome ConversionRun::Run(const RunRequest& request) {
  if (auto selected = database_.SelectRegion(request.region); !selected) {
    prompter_.ShowMessage(DatabaseMessage(selected.error()));
    return RunOutcome::NotStarted;
  }
  if (auto error = ReadRunNumbers(request)) {
    TakeErrorPath(*error);
    return RunOutcome::Failed;
  }

  recordCount_ = reader_.CountInputRecords();
  if (recordCount_ <= 0)
    return RunOutcome::NotStarted;

  for (const std::u16string& entry : SaveRunWindowState(settingsFilePath_, settings_, request)) {
    prompter_.ShowMessage(
        u"次の指定は mok.ini に記憶できません（126バイトまで、前後に空白のないもの）。\r\n" +
        entry);
  }
  // Only the CSV form can be written. Going on would show the refusal once per record, empty
  // the output and still end with the end message, so the run stops before opening anything.
  if (!settings_.csvOut) {
    prompter_.ShowMessage(u"この機能は現在未サポートです。");
    return RunOutcome::Failed;
  }
  lastRunUnprocessedOnly_ = DecideConvertMode();
  const bool finished = lastRunUnprocessedOnly_ ? ConvertUnprocessedOnly() : ConvertAll();
  if (pendingError_) {
    TakeErrorPath(*pendingError_);
    return RunOutcome::Failed;
  }
  if (!finished)
    return stopped_ ? RunOutcome::Stopped : RunOutcome::Failed;

  ShowEndOfRun();
  ShowInMapProgram(settings_, prompter_, outputPath_);
  return RunOutcome::Finished;
}

std::optional<std::u16string> ConversionRun::ReadRunNumbers(const RunRequest& request) {
  const auto startRow = ParseNumber(request.startRow);
  const auto startRowValue = startRow
                                 ? RoundedInRange(*startRow, std::numeric_limits<int16_t>::min(),
                                                  std::numeric_limits<int16_t>::max())
                                 : std::nullopt;
  if (!startRowValue)
    return OverflowError().Text();
  const auto field = ParseNumber(request.addressField);
  if (!field)
    return TypeMismatchError().Text();
  const auto fieldValue = RoundedInRange(*field, std::numeric_limits<int32_t>::min(),
                                         std::numeric_limits<int32_t>::max());
  if (!fieldValue)
    return OverflowError().Text();
  reader_.startRow = static_cast<int32_t>(*startRowValue);
  reader_.addressField = static_cast<int32_t>(*fieldValue - 1);
  return std::nullopt;
}

void ConversionRun::TakeErrorPath(const std::u16string& text) {
  CloseConvertFiles();
  prompter_.ShowMessage(text);
}

void ConversionRun::ShowEndOfRun() {
  observer_.SetMonitorText(MonitorBox::Source, u"");
  observer_.SetMonitorText(MonitorBox::PreviousSource, u"");
  observer_.SetMonitorText(MonitorBox::PreviousResult, u"");
  if (failCount_ >= 1) {
    AskEditUnconverted(true);
  } else if (lastRunUnprocessedOnly_) {
    // The counter went through every record; the message says which of them were converted now.
    prompter_.ShowMessage(u"変換が終了しました。（未処理データのみ変換）\r\n全" +
                          Number(recordCount_) + u"件のうち、前回変換済みの" +
                          Number(recordCount_ - convertCount_) + u"件はそのまま残し、未処理の" +
                          Number(convertCount_) + u"件を変換しました。");
  } else {
    prompter_.ShowMessage(u"変換が終了しました。\r\n全件数は" + Number(convertCount_) +
                          u"件です。");
  }
}

RunFiles ConversionRun::LastRunFiles() const {
  return {reader_.inputPath,    outputPath_,    reader_.startRow,
          reader_.addressField, inputEncoding_, outputEncoding_};
}

bool ConversionRun::DecideConvertMode() {
  unprocessedOnly_ = FileExists(outputPath_) && settings_.notOverwrite;
  return unprocessedOnly_;
}

bool ConversionRun::OpenConvertFiles() {
  writeFailure_.clear();
  if (!FileExists(reader_.inputPath)) {
    prompter_.ShowMessage(u"入力ファイルが見つかりません。");
    return false;
  }
  reader_.textInput = IsTextInputName(reader_.inputPath);

  errorListPath_ = ErrorListPath(outputPath_);
  // Writing the output (or the error list) over the input would destroy the input before it
  // is read.
  std::u16string tempPath = outputPath_ + u".$$$";
  for (const std::u16string* path : {&outputPath_, &errorListPath_, &tempPath}) {
    if (SameFile(reader_.inputPath, *path)) {
      prompter_.ShowMessage(u"入力ファイルと同じファイルには出力できません。\r\n" + *path);
      return false;
    }
    // Nor may it replace the databases or the settings file the run works with.
    if (SameFile(settingsFilePath_, *path) || IsDatabaseFile(*path, database_.Folder())) {
      prompter_.ShowMessage(u"住所データベースや設定ファイルには出力できません。\r\n" + *path);
      return false;
    }
  }
  if (FileExists(errorListPath_) && ::unlink(NativePath(errorListPath_).c_str()) != 0) {
    prompter_.ShowMessage(FileErrorFromErrno(errno).Text() + u"\r\n" + errorListPath_);
    return false;
  }

  FileError error;
  if (!inFile_.Open(reader_.inputPath, &error)) {
    prompter_.ShowMessage(error.Text() + u"\r\n" + reader_.inputPath);
    return false;
  }
  // The output (and the error list) is written in the input's encoding unless the settings name
  // another; an earlier output is read in whatever encoding it was written.
  inputEncoding_ = inFile_.Encoding();
  outputEncoding_ = OutputEncoding(settings_, *inputEncoding_);
  errorList_.Reset(errorListPath_, *outputEncoding_);
  if (unprocessedOnly_) {
    tempPath_ = outputPath_ + u".$$$";
    if (!tempFile_.Open(tempPath_, &error, *outputEncoding_)) {
      prompter_.ShowMessage(error.Text() + u"\r\n" + tempPath_);
      CloseConvertFiles();
      return false;
    }
    if (!previousOut_.Open(outputPath_, &error)) {
      prompter_.ShowMessage(error.Text() + u"\r\n" + outputPath_);
      CloseConvertFiles();
      return false;
    }
  } else {
    tempPath_.clear();
    if (!outFile_.Open(outputPath_, &error, *outputEncoding_)) {
      prompter_.ShowMessage(error.Text() + u"\r\n" + outputPath_);
      CloseConvertFiles();
      return false;
    }
  }
  return true;
}

void ConversionRun::CloseConvertFiles() {
  errorList_.Close();
  if (unprocessedOnly_) {
    if (tempFile_.IsOpen() && !tempFile_.Close() && writeFailure_.empty()) {
      writeFailure_ = tempFile_.Failure();
    }
    unprocessedOnly_ = false;
  }
  previousOut_.Close();
  if (outFile_.IsOpen() && !outFile_.Close() && writeFailure_.empty()) {
    writeFailure_ = outFile_.Failure();
  }
  inFile_.Close();
}

bool ConversionRun::CheckCancelRequest() {
  if (observer_.PollStopRequest())
    cancelRequested_.store(true);
  if (!cancelRequested_.load())
    return false;
  if (prompter_.Ask(kStopQuestion, MessageButtons::YesNo) == Answer::Yes) {
    stopped_ = true;
    CloseConvertFiles();
    if (failCount_ > 0)
      AskEditUnconverted(false);
    return true;
  }
  cancelRequested_.store(false);
  return false;
}

void ConversionRun::AskEditUnconverted(bool finished) {
  if (failCount_ <= 0)
    return;
  std::u16string counts =
      Number(convertCount_) + u"件中" + Number(failCount_) + u"件変換できませんでした。";
  if (lastRunUnprocessedOnly_) {
    counts = u"未処理データのみ変換：未処理の" + counts;
    if (finished) {
      counts += u"\r\n（全" + Number(recordCount_) + u"件のうち" +
                Number(recordCount_ - convertCount_) + u"件は前回変換済みです）";
    }
  }
  // Every record failed on a field without any address: the field is the likely cause, and
  // editing the records one by one would not help.
  if (failCount_ == convertCount_) {
    if (const auto hint = AddressFieldHint(LastRunFiles())) {
      prompter_.ShowMessage(counts + u"\r\n" + *hint);
      return;
    }
  }
  if (prompter_.Ask(u"\r\n" + counts + u"\r\n変換不能分を編集しますか。", MessageButtons::YesNo) ==
      Answer::Yes) {
    observer_.ListUnconvertedRows();
  }
}

bool ConversionRun::SkipToStartRow() {
  std::u16string line;
  for (int32_t row = 1; row < reader_.startRow; ++row) {
    if (!reader_.InputRawLineData(inFile_, line))
      return false;
  }
  return true;
}

// Opens the run's files and reads past the lines before the start row; the files are closed
// again when either fails.
bool ConversionRun::OpenAtStartRow() {
  if (!OpenConvertFiles())
    return false;
  if (!SkipToStartRow()) {
    CloseConvertFiles();
    return false;
  }
  return true;
}

// Writes the header for the current settings into `file` and starts the counts of the run.
bool ConversionRun::BeginOutput(LineWriter& file) {
  if (!Write(file, BuildOutputHeader(settings_, reader_.firstRowFieldCount()))) {
    StopForWriteFailure();
    return false;
  }
  cancelRequested_.store(false);
  convertCount_ = 0;
  failCount_ = 0;
  return true;
}

bool ConversionRun::Write(LineWriter& file, const std::u16string& line) {
  if (OutputConvertLine(settings_, prompter_, file, line))
    return true;
  if (writeFailure_.empty())
    writeFailure_ = file.Failure();
  return false;
}

// A write that failed (a full disk, a text without a CP932 form) is said out loud: the file left
// behind is incomplete and must not pass for a finished output.
void ConversionRun::ShowWriteFailure() {
  prompter_.ShowMessage(u"ファイルの書込み中にエラーが発生しました。\r\n" + writeFailure_ +
                        u"\r\n処理を終了します。");
}

void ConversionRun::StopForWriteFailure() {
  CloseConvertFiles();
  ShowWriteFailure();
}

void ConversionRun::StopForRecord(RecordStatus status) {
  CloseConvertFiles();
  prompter_.ShowMessage(status == RecordStatus::NoAddressField
                            ? u"住所フィールド指定が無効です。\r\n処理を終了します。"
                            : u"ファイルの読取り中にエラーが発生しました。\r\n処理を終了します。");
}

std::optional<engine::Recognition> ConversionRun::Recognize(
    const std::u16string& address, std::optional<RecognitionPool::Answer> answer) {
  // A worker's answer serves unless it used the learning dictionary, whose counts must change
  // in record order: then the address is recognised here, as a single recognizer would.
  engine::Recognition recognition = answer && !answer->learned
                                        ? std::move(answer->recognition)
                                        : recognizer_.RecognizeAddress(address, database_);
  for (const DbError& error : recognition.errors) {
    // A damaged or missing database would fail every later record the same way: the run stops
    // at the first one.
    if (error.fromEngine) {
      pendingError_ = u"住所データベースの読込み中にエラーが発生しました。\r\n" +
                      DatabaseMessage(error) + u"\r\n処理を終了します。";
      return std::nullopt;
    }
    prompter_.ShowMessage(DatabaseMessage(error));
  }
  if (recognition.uncountedUse && !countWarningShown_) {
    countWarningShown_ = true;
    prompter_.ShowMessage(
        u"学習辞書の参照回数を保存できませんでした。学習した語句はそのまま使います。\r\n" +
        DatabaseMessage(*recognition.uncountedUse));
  }
  return recognition;
}

ConversionRun::RecordConversion ConversionRun::ConvertRecord(
    const std::u16string& address, const std::u16string& sourceLine, LineWriter& file,
    const RecordPolicy& policy, std::optional<RecognitionPool::Answer> answer) {
  using Result = RecordConversion::Result;
  std::optional<engine::Recognition> recognized = Recognize(address, std::move(answer));
  if (recognized && settings_.unknownCheck && policy.offersCorrection(recognized->code)) {
    // The user may register a learned word in the dialog; the address is recognised again.
    database_.HoldReads(false);
    observer_.EditUnconvertedAddress(address);
    database_.HoldReads(true);
    recognized = Recognize(address, std::nullopt);
  }
  if (!recognized)
    return {Result::DatabaseFailed, engine::ResultCode::Failure, {}};
  engine::Recognition& recognition = *recognized;
  const engine::ResultCode code = recognition.code;
  if (IsWritten(code)) {
    if (!Write(file, ConvertedLine(settings_, sourceLine, recognition.outputFields)))
      return {Result::WriteFailed, code, {}};
    return {Result::Converted, code, std::move(recognition.outputFields)};
  }
  if (!Write(file, UnconvertedLine(settings_, sourceLine)))
    return {Result::WriteFailed, code, {}};
  ++failCount_;
  if (const auto failure = errorList_.WriteUnknownLine(settings_, address)) {
    prompter_.ShowMessage(u"エラーリストを書き込めません。変換は続けます。\r\n" + *failure);
  }
  return {Result::Failed, code, {}};
}

std::unique_ptr<RecognitionPool> ConversionRun::StartPool() {
  // Records that may stop for the correction dialog are recognised one at a time: a word learned
  // there must apply to the next record.
  const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
  const unsigned workers =
      settings_.unknownCheck ? 1
                             : (settings_.jobs > 0 ? static_cast<unsigned>(settings_.jobs) : cores);
  if (workers < 2)
    return nullptr;
  return RecognitionPool::Start(settings_, database_.Folder(), database_.Region().name, workers);
}

bool ConversionRun::EndsRun(const RecordConversion& done) {
  switch (done.result) {
    case RecordConversion::Result::WriteFailed:
      StopForWriteFailure();
      return true;
    case RecordConversion::Result::DatabaseFailed:
      CloseConvertFiles();  // the failure is said by the run's error path
      return true;
    default:
      return false;
  }
}

bool ConversionRun::ConvertAll() {
  if (!OpenAtStartRow() || !BeginOutput(outFile_))
    return false;
  const HeldReads held(database_);
  static constexpr RecordPolicy kPolicy{[](engine::ResultCode code) { return !IsWritten(code); },
                                        kNormalFailureMarker};
  const std::unique_ptr<RecognitionPool> pool = StartPool();
  RecordLookahead ahead(inFile_, nullptr, reader_, pool.get(),
                        [](const RecordLookahead::Record& record) { return record.hasField; });
  while (!ahead.AtEnd()) {
    if (CheckCancelRequest()) {
      CloseConvertFiles();
      return false;
    }
    observer_.SetMonitorText(MonitorBox::Source, u"");
    RecordLookahead::Record record = ahead.Next();
    if (!reader_.ReportRead(record.status, inFile_, record.lineNumber)) {
      StopForRecord(RecordStatus::ReadFailed);
      return false;
    }
    if (!record.hasField) {
      StopForRecord(RecordStatus::NoAddressField);
      return false;
    }
    const std::u16string display = CompactFields(record.address);
    ++convertCount_;
    observer_.ShowProgress(convertCount_, recordCount_);
    if (settings_.monitor)
      observer_.SetMonitorText(MonitorBox::Source, display);

    const RecordConversion done =
        ConvertRecord(record.address, record.line, outFile_, kPolicy, std::move(record.answer));
    if (EndsRun(done))
      return false;
    // An empty address is written like a converted one but not shown as converted.
    if (settings_.monitor && done.code != engine::ResultCode::EmptyAddress) {
      observer_.SetMonitorText(MonitorBox::PreviousSource, display);
      observer_.SetMonitorText(MonitorBox::PreviousResult,
                               done.result == RecordConversion::Result::Converted
                                   ? done.fields
                                   : std::u16string(kPolicy.failureMarker));
    }
  }
  CloseConvertFiles();
  if (!writeFailure_.empty()) {
    ShowWriteFailure();
    return false;
  }
  return true;
}

}  // namespace mok::batch
