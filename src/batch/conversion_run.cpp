#include "batch/conversion_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "batch/map_link.h"
#include "batch/number_text.h"
#include "batch/run_settings.h"
#include "text/text.h"

namespace mok::batch {
namespace {

std::u16string Number(int64_t n) {
  return text::FromUtf8(std::to_string(n));
}

const std::u16string kNormalFailureMarker(34, u'?');

// True when both paths name one existing file (also through links or different spellings).
bool SameFile(const std::u16string& a, const std::u16string& b) {
  struct stat sa {};
  struct stat sb {};
  if (::stat(NativePath(a).c_str(), &sa) != 0 || ::stat(NativePath(b).c_str(), &sb) != 0) {
    return false;
  }
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace

ConversionRun::ConversionRun(Settings& settings, db::AddressDatabase& database,
                             engine::Recognizer& recognizer, Prompter& prompter,
                             RunObserver& observer, std::u16string settingsFilePath)
    : settings_(settings),
      database_(database),
      recognizer_(recognizer),
      prompter_(prompter),
      observer_(observer),
      settingsFilePath_(std::move(settingsFilePath)),
      reader_(prompter) {}

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
  reader_.StrInputPath = request.inputPath;
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
  strOutputPath_ = request.outputPath;
  settings_.outputFilePath = request.outputPath;
  return true;
}

void ConversionRun::RememberFolders() {
  std::u16string folder;
  if (FolderOf(reader_.StrInputPath, folder) && folder != settings_.inputDir) {
    settings_.inputDir = folder;
    WriteRunSetting(settingsFilePath_, u"INPUTDIR", folder);
  }
  if (FolderOf(strOutputPath_, folder) && folder != settings_.outputDir) {
    settings_.outputDir = folder;
    WriteRunSetting(settingsFilePath_, u"OUTPUTDIR", folder);
  }
}

RunOutcome ConversionRun::Run(const RunRequest& request) {
  database_.StrSelectedRegion = request.region;
  if (!database_.OpenRegionDatabase(request.region))
    return RunOutcome::NotStarted;
  database_.CloseRegionDatabase();

  if (request.regionIndex > 0) {
    const std::size_t position = static_cast<std::size_t>(request.regionIndex) + 1;
    if (position >= database_.PrefKanaNames.size()) {
      TakeErrorPath(SubscriptError().Text());
      return RunOutcome::Failed;
    }
    database_.StrRegionKana = database_.PrefKanaNames[position];
  }

  std::u16string error;
  if (!ReadRunNumbers(request, error)) {
    TakeErrorPath(error);
    return RunOutcome::Failed;
  }

  db::DbError dbError;
  const auto regionNumber = database_.RegionNumber(request.region, &dbError);
  if (!regionNumber) {
    TakeErrorPath(dbError.Text());
    return RunOutcome::Failed;
  }
  database_.IntRegionNumber = *regionNumber;

  lngRecordCount_ = reader_.CountInputRecords();
  if (lngRecordCount_ <= 0)
    return RunOutcome::NotStarted;

  SaveRunWindowState(settingsFilePath_, settings_, request);
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
  ShowInMapProgram(settings_, prompter_, strOutputPath_);
  return RunOutcome::Finished;
}

bool ConversionRun::ReadRunNumbers(const RunRequest& request, std::u16string& error) {
  const auto startRow = ParseNumber(request.startRow);
  const auto startRowValue = startRow
                                 ? RoundedInRange(*startRow, std::numeric_limits<int16_t>::min(),
                                                  std::numeric_limits<int16_t>::max())
                                 : std::nullopt;
  if (!startRowValue) {
    error = OverflowError().Text();
    return false;
  }
  const auto field = ParseNumber(request.addressField);
  if (!field) {
    error = TypeMismatchError().Text();
    return false;
  }
  const auto fieldValue = RoundedInRange(*field, std::numeric_limits<int32_t>::min(),
                                         std::numeric_limits<int32_t>::max());
  if (!fieldValue) {
    error = OverflowError().Text();
    return false;
  }
  reader_.LngStartRow = static_cast<int32_t>(*startRowValue);
  reader_.LngAdrField = static_cast<int32_t>(*fieldValue - 1);
  return true;
}

void ConversionRun::TakeErrorPath(const std::u16string& text) {
  CloseConvertFiles();
  prompter_.ShowMessage(text);
}

void ConversionRun::ShowEndOfRun() {
  observer_.SetMonitorText(MonitorBox::Source, u"");
  observer_.SetMonitorText(MonitorBox::PreviousSource, u"");
  observer_.SetMonitorText(MonitorBox::PreviousResult, u"");
  if (lngFailCount_ < 1) {
    prompter_.ShowMessage(u"変換が終了しました。\r\n全件数は" + Number(lngConvertCount_) +
                          u"件です。");
  } else {
    AskEditUnconverted();
  }
}

bool ConversionRun::DecideConvertMode() {
  blnUnprocessedOnly_ = FileExists(strOutputPath_) && settings_.notOverwrite;
  return blnUnprocessedOnly_;
}

bool ConversionRun::OpenConvertFiles() {
  writeFailure_.clear();
  if (!FileExists(reader_.StrInputPath)) {
    prompter_.ShowMessage(u"入力ファイルが見つかりません。");
    return false;
  }
  reader_.blnTextInput = IsTextInputName(reader_.StrInputPath);

  strErrFile_ = ErrorListPath(strOutputPath_);
  // Writing the output (or the error list) over the input would destroy the input before it
  // is read.
  for (const auto* path : {&strOutputPath_, &strErrFile_}) {
    if (SameFile(reader_.StrInputPath, *path)) {
      prompter_.ShowMessage(u"入力ファイルと同じファイルには出力できません。\r\n" + *path);
      return false;
    }
  }
  if (FileExists(strErrFile_) && ::unlink(NativePath(strErrFile_).c_str()) != 0) {
    prompter_.ShowMessage(FileErrorFromErrno(errno).Text() + u"\r\n" + strErrFile_);
    return false;
  }
  errorList_.Reset(strErrFile_);

  FileError error;
  if (!inFile_.Open(reader_.StrInputPath, &error)) {
    prompter_.ShowMessage(error.Text() + u"\r\n" + reader_.StrInputPath);
    return false;
  }
  if (blnUnprocessedOnly_) {
    strTempFile_ = strOutputPath_ + u".$$$";
    if (!tempFile_.Open(strTempFile_, &error)) {
      prompter_.ShowMessage(error.Text() + u"\r\n" + strTempFile_);
      CloseConvertFiles();
      return false;
    }
    if (!previousOut_.Open(strOutputPath_, &error)) {
      prompter_.ShowMessage(error.Text() + u"\r\n" + strOutputPath_);
      CloseConvertFiles();
      return false;
    }
  } else {
    strTempFile_.clear();
    if (!outFile_.Open(strOutputPath_, &error)) {
      prompter_.ShowMessage(error.Text() + u"\r\n" + strOutputPath_);
      CloseConvertFiles();
      return false;
    }
  }
  return true;
}

bool ConversionRun::CloseConvertFiles() {
  errorList_.Close();
  if (blnUnprocessedOnly_) {
    if (tempFile_.IsOpen() && !tempFile_.Close() && writeFailure_.empty()) {
      writeFailure_ = tempFile_.Failure();
    }
    blnUnprocessedOnly_ = false;
  }
  previousOut_.Close();
  if (outFile_.IsOpen() && !outFile_.Close() && writeFailure_.empty()) {
    writeFailure_ = outFile_.Failure();
  }
  inFile_.Close();
  return true;
}

bool ConversionRun::CheckCancelRequest() {
  if (observer_.PollStopRequest())
    cancelRequested_.store(true);
  if (!cancelRequested_.load())
    return false;
  if (prompter_.Ask(u"変換を中止しますか？", MessageButtons::YesNo) == Answer::Yes) {
    stopped_ = true;
    CloseConvertFiles();
    if (lngFailCount_ > 0)
      AskEditUnconverted();
    return true;
  }
  cancelRequested_.store(false);
  return false;
}

void ConversionRun::AskEditUnconverted() {
  if (lngFailCount_ <= 0)
    return;
  const std::u16string question = u"\r\n" + Number(lngConvertCount_) + u"件中" +
                                  Number(lngFailCount_) + u"件変換できませんでした。\r\n" +
                                  u"変換不能分を編集しますか。";
  if (prompter_.Ask(question, MessageButtons::YesNo) == Answer::Yes) {
    observer_.ListUnconvertedRows();
  }
}

bool ConversionRun::SkipToStartRow() {
  std::u16string line;
  for (int32_t row = 1; row < reader_.LngStartRow; ++row) {
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
  if (!Write(file, BuildOutputHeader(settings_, reader_.intFirstRowFieldCount))) {
    StopForWriteFailure();
    return false;
  }
  cancelRequested_.store(false);
  lngConvertCount_ = 0;
  lngFailCount_ = 0;
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

void ConversionRun::StopForRecord(int16_t code) {
  CloseConvertFiles();
  prompter_.ShowMessage(code == kRecordNoAddressField
                            ? u"住所フィールド指定が無効です。\r\n処理を終了します。"
                            : u"ファイルの読取り中にエラーが発生しました。\r\n処理を終了します。");
}

bool ConversionRun::ConvertAll() {
  if (!OpenAtStartRow() || !BeginOutput(outFile_))
    return false;

  const bool monitor = settings_.monitor;
  std::u16string address;
  std::u16string fields;
  while (!inFile_.AtEnd()) {
    if (CheckCancelRequest()) {
      CloseConvertFiles();
      return false;
    }
    observer_.SetMonitorText(MonitorBox::Source, u"");
    const int16_t record = reader_.ReadNextRecord(inFile_, address);
    if (record != kRecordOk) {
      StopForRecord(record);
      return false;
    }
    const std::u16string display = CompactFields(address);
    ++lngConvertCount_;
    observer_.ShowProgress(lngConvertCount_, lngRecordCount_);
    if (monitor)
      observer_.SetMonitorText(MonitorBox::Source, display);

    int16_t code = recognizer_.RecognizeAddress(address, fields);
    if (code != engine::kConverted && code != engine::kEmptyAddress && settings_.unknownCheck) {
      observer_.EditUnconvertedAddress(address);
      code = recognizer_.RecognizeAddress(address, fields);
    }

    if (code == engine::kConverted || code == engine::kEmptyAddress) {
      if (!Write(outFile_, ConvertedLine(settings_, reader_.strSourceLine, fields))) {
        StopForWriteFailure();
        return false;
      }
      if (monitor && code == engine::kConverted) {
        observer_.SetMonitorText(MonitorBox::PreviousSource, display);
        observer_.SetMonitorText(MonitorBox::PreviousResult, fields);
      }
    } else {
      if (!Write(outFile_, UnconvertedLine(settings_, reader_.strSourceLine))) {
        StopForWriteFailure();
        return false;
      }
      ++lngFailCount_;
      errorList_.WriteUnknownLine(settings_, address);
      if (monitor) {
        observer_.SetMonitorText(MonitorBox::PreviousSource, display);
        observer_.SetMonitorText(MonitorBox::PreviousResult, kNormalFailureMarker);
      }
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
