#include "ui/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "batch/database_message.h"
#include "batch/input_summary.h"
#include "batch/number_text.h"
#include "batch/output_claim.h"
#include "startup/new_settings.h"
#include "startup/settings_file.h"
#include "text/encoding.h"
#include "ui/conversion_options_dialog.h"
#include "ui/correction_dialog.h"
#include "ui/environment_dialog.h"
#include "ui/learning_dict_window.h"
#include "ui/preview_window.h"
#include "ui/qt_text.h"
#include "ui/unconverted_list_window.h"

namespace mok::ui {
namespace {

// The run repaints the monitor and serves the window's events at most this often: about 30 times
// a second, quick enough for the eye and for the stop button.
constexpr int kServeIntervalMs = 33;

// Local file paths of a drop, in the order given.
QStringList DroppedFiles(const QMimeData* data) {
  QStringList files;
  if (!data || !data->hasUrls())
    return files;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile())
      files << QDir::toNativeSeparators(url.toLocalFile());
  }
  return files;
}

// A path split at its last separator: the folder before it and the name after it.
struct PathParts {
  QString folder;
  QString name;
};

std::optional<PathParts> SplitPath(const QString& path) {
  const int at = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
  if (at < 0)
    return std::nullopt;
  return PathParts{path.left(at), path.mid(at + 1)};
}

}  // namespace

MainWindow::MainWindow(batch::Session& session, Prompter& prompter, CommandLineOptions& options,
                       std::u16string commandLineText, QWidget* parent)
    : QWidget(parent),
      session_(session),
      prompter_(prompter),
      options_(options),
      commandLineText_(std::move(commandLineText)),
      run_(session, prompter, *this) {
  fileDialog_ = [this](const FileDialogRequest& request) { return DefaultFileDialog(request); };
  BuildControls();
  Load();
}

MainWindow::~MainWindow() {
  Unload();
}

void MainWindow::ConnectControls() {
  connect(runButton_, &QPushButton::clicked, this, &MainWindow::StartRun);
  connect(stopButton_, &QPushButton::clicked, this, &MainWindow::StopRun);
  connect(unconvertedButton_, &QPushButton::clicked, this,
          [this] { ListUnconvertedRows(run_.LastRunFiles()); });
  connect(inputFileButton_, &QPushButton::clicked, this, &MainWindow::ChooseInputFile);
  connect(outputFileButton_, &QPushButton::clicked, this, &MainWindow::ChooseOutputFile);
  connect(optionsButton_, &QPushButton::clicked, this, &MainWindow::EditConversionOptions);
  connect(environmentButton_, &QPushButton::clicked, this, &MainWindow::EditEnvironment);
  connect(databaseFolderButton_, &QPushButton::clicked, this, &MainWindow::EditEnvironment);
  connect(previewButton_, &QPushButton::clicked, this, &MainWindow::ShowPreview);
  connect(dictionaryButton_, &QPushButton::clicked, this, &MainWindow::EditLearningDict);
  connect(exitButton_, &QPushButton::clicked, this, &QWidget::close);
  connect(outputEncodingBox_, &QComboBox::activated, this, &MainWindow::ChooseOutputEncoding);

  // The summary of the input follows the boxes, read once the typing has paused.
  summaryTimer_ = new QTimer(this);
  summaryTimer_->setSingleShot(true);
  summaryTimer_->setInterval(150);
  connect(summaryTimer_, &QTimer::timeout, this, &MainWindow::UpdateInputSummary);
  for (QLineEdit* box :
       {inputFileBox_, startRowBox_, addressFieldBoxes_[0], addressFieldBoxes_[1]}) {
    connect(box, &QLineEdit::textChanged, summaryTimer_, qOverload<>(&QTimer::start));
  }
  monitorTimer_ = new QTimer(this);
  monitorTimer_->setInterval(kServeIntervalMs);
  connect(monitorTimer_, &QTimer::timeout, this, &MainWindow::FlushMonitor);
}

void MainWindow::UpdateInputSummary() {
  // A box that holds no number in range shows no field.
  auto number = [](QLineEdit* box, int32_t fallback) {
    const auto value = batch::ParseNumber(U(box->text()));
    return value && std::abs(*value) <= kMaxSpin ? static_cast<int32_t>(std::lround(*value))
                                                 : fallback;
  };
  for (std::size_t i = 0; i < addressFieldSamples_.size(); ++i) {
    QString sample;
    if (i > 0 && addressFieldBoxes_[i]->text().trimmed().isEmpty()) {
      sample = QStringLiteral("（住所が次のフィールドに続くときに指定）");
    } else {
      const batch::InputSummary summary = batch::SummarizeInput(
          U(inputFileBox_->text()), number(startRowBox_, 1), number(addressFieldBoxes_[i], 0) - 1,
          text::ParseEncoding(session_.settings.inputEncoding));
      if (i == 0) {
        inputEncodingLabel_->setText(summary.encoding ? QStringLiteral("入力：") +
                                                            Q(text::EncodingName(*summary.encoding))
                                                      : QString());
      }
      if (summary.encoding && !summary.firstValue) {
        sample = QStringLiteral("（最初のレコードにこのフィールドはありません）");
      } else if (summary.encoding) {
        // The note of a proposed field goes first, where a long sample cannot push it out of
        // sight; the tooltip holds the whole text.
        if (i == 0 && proposedFields_ == AddressFieldTexts())
          sample = QStringLiteral("（自動選択）");
        if (!summary.heading.empty())
          sample += QStringLiteral("「%1」 ").arg(Q(summary.heading));
        sample += QStringLiteral("例：") + Q(*summary.firstValue);
      }
    }
    addressFieldSamples_[i]->setText(sample);
    addressFieldSamples_[i]->setToolTip(sample);
  }
}

void MainWindow::ChooseOutputEncoding(int index) {
  session_.settings.outputEncoding = U(outputEncodingBox_->itemData(index).toString());
  WriteSetting(session_.settingsFilePath, u"OUTPUTENCODING", session_.settings.outputEncoding);
}

void MainWindow::Load() {
  runButton_->setVisible(true);
  runButton_->setEnabled(true);
  stopButton_->setVisible(false);
  unconvertedButton_->setVisible(false);

  inputFileBox_->setText(Q(commandLineText_));
  inputPath_ = commandLineText_;

  if (auto opened = session_.database.Open(session_.settings.dbDir, session_.settings.mainDb);
      !opened) {
    prompter_.ShowMessage(batch::DatabaseMessage(opened.error()));
  } else {
    ReloadRegionList();
    sourceMonitor_->clear();
    previousSourceMonitor_->clear();
    previousResultMonitor_->clear();
    addressFieldBoxes_[0]->setText(QStringLiteral("1"));
    LoadWindowState();
  }
  const auto outputEncoding = text::ParseEncoding(session_.settings.outputEncoding);
  outputEncodingBox_->setCurrentIndex(
      outputEncoding ? outputEncodingBox_->findData(Q(text::EncodingKey(*outputEncoding))) : 0);
  UpdateInputSummary();
  adjustSize();
}

void MainWindow::LoadWindowState() {
  const CurrentState state = LoadCurrentState(session_.settingsFilePath);
  session_.settings.inputFilePath = state.inputFilePath;
  inputFileBox_->setText(Q(state.inputFilePath));
  inputPath_ = state.inputFilePath;
  session_.settings.outputFilePath = state.outputFilePath;
  outputFileBox_->setText(Q(state.outputFilePath));
  outputPath_ = state.outputFilePath;
  if (!state.inputFilePath.empty() && !state.outputFilePath.empty())
    chosenOutputs_[state.inputFilePath] = state.outputFilePath;
  regionBox_->setCurrentText(Q(FirstRegion(state.selectPref, session_.database.RegionList())));
  startRowBox_->setText(Q(state.startRow));
  for (std::size_t i = 0; i < addressFieldSamples_.size(); ++i)
    addressFieldBoxes_[i]->setText(Q(state.adrFields[i]));
}

void MainWindow::ReloadRegionList() {
  const QString shown = regionBox_->currentText();
  if (auto loaded = session_.database.ReloadRegionList(); !loaded)
    prompter_.ShowMessage(batch::DatabaseMessage(loaded.error()));
  regionBox_->clear();
  for (const std::u16string& region : session_.database.RegionList())
    regionBox_->addItem(Q(region));
  // A folder with the nationwide databases offers 全国 when no region was shown.
  regionBox_->setCurrentText(Q(FirstRegion(U(shown), session_.database.RegionList())));
}

void MainWindow::DatabaseFolderChanged() {
  // The databases, the prefecture names and the region list come from the new folder at once.
  if (auto opened = session_.database.Open(session_.settings.dbDir, session_.settings.mainDb);
      !opened) {
    prompter_.ShowMessage(batch::DatabaseMessage(opened.error()));
    const QString shown = regionBox_->currentText();
    regionBox_->clear();
    regionBox_->setCurrentText(shown);
    return;
  }
  ReloadRegionList();
}

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    // Run after the activation has been handled and the window painted.
    QMetaObject::invokeMethod(this, &MainWindow::ApplyCommandLine, Qt::QueuedConnection);
  }
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Some platforms (the offscreen one among them) may never report an activation of a window
  // that is shown without a window manager; the first showing counts as the first activation.
  if (options_.firstActivate) {
    QMetaObject::invokeMethod(this, &MainWindow::ApplyCommandLine, Qt::QueuedConnection);
  }
}

void MainWindow::ApplyCommandLine() {
  if (!options_.firstActivate)
    return;
  options_.firstActivate = false;
  if (!options_.valid)
    return;
  if (options_.hasRegion)
    regionBox_->setCurrentText(Q(options_.region));
  // The start row first: the address fields proposed for the input are read from it.
  if (options_.hasStartRow)
    startRowBox_->setText(Q(options_.startRow));
  if (options_.hasInput) {
    SetInputPath(Q(options_.inputFile));
    if (options_.hasOutput)
      SetOutputPath(Q(options_.outputFile));
  }
  runButton_->click();
}

void MainWindow::StartRun() {
  if (run_.IsRunning())
    return;
  batch::RunRequest request;
  request.inputPath = U(inputFileBox_->text());
  request.outputPath = U(outputFileBox_->text());
  request.region = U(regionBox_->currentText());
  request.startRow = U(startRowBox_->text());
  // The boxes in sight: an address over two fields is joined from both.
  request.addressFields = {U(addressFieldBoxes_[0]->text()), U(addressFieldBoxes_[1]->text())};
  if (!request.inputPath.empty())
    inputPath_ = request.inputPath;
  if (!request.inputPath.empty() && !request.outputPath.empty()) {
    outputPath_ = request.outputPath;
    chosenOutputs_[request.inputPath] = request.outputPath;
  }
  stopRequested_ = false;
  stopAsked_ = false;
  sinceEvents_.invalidate();
  lastOutcome_ = run_.Execute(request).End();
  if (closeAfterRun_) {
    closeAfterRun_ = false;
    close();
  }
}

void MainWindow::StopRun() {
  stopRequested_ = true;
}

bool MainWindow::PollStopRequest() {
  // The run polls again only when the user declined to stop; a close that was waiting for the
  // stop is then given up as well.
  if (stopAsked_) {
    stopAsked_ = false;
    closeAfterRun_ = false;
  }
  if (!sinceEvents_.isValid() || sinceEvents_.elapsed() >= kServeIntervalMs) {
    FlushMonitor();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    sinceEvents_.start();
  }
  if (!stopRequested_)
    return false;
  stopRequested_ = false;
  stopAsked_ = true;
  FlushMonitor();  // the stop question sees the record the run stands at
  return true;
}

void MainWindow::SetRunningState(bool running) {
  runButton_->setVisible(!running);
  stopButton_->setVisible(running);
  stopButton_->setEnabled(true);
  unconvertedButton_->setVisible(!running);
  for (QPushButton* button : {optionsButton_, environmentButton_, previewButton_, dictionaryButton_,
                              databaseFolderButton_, inputFileButton_, outputFileButton_}) {
    button->setEnabled(!running);
  }
  if (running) {
    monitorTimer_->start();
  } else {
    monitorTimer_->stop();
    FlushMonitor();
  }
  repaint();
}

void MainWindow::FocusInputBox(batch::InputBox box) {
  switch (box) {
    case batch::InputBox::InputFile:
      inputFileBox_->setFocus();
      break;
    case batch::InputBox::OutputFile:
      outputFileBox_->setFocus();
      break;
    case batch::InputBox::StartRow:
      startRowBox_->setFocus();
      break;
    case batch::InputBox::AddressField:
      addressFieldBoxes_[0]->setFocus();
      break;
  }
}

void MainWindow::ShowProgress(int32_t current, int32_t total) {
  pendingCount_.emplace(current, total);
}

void MainWindow::SetMonitorText(batch::MonitorBox box, const std::u16string& text) {
  pendingMonitor_[static_cast<std::size_t>(box)] = text;
}

void MainWindow::FlushMonitor() {
  if (pendingCount_) {
    countLabel_->setText(
        QStringLiteral("%1/%2").arg(pendingCount_->first).arg(pendingCount_->second));
    pendingCount_.reset();
  }
  QLineEdit* const boxes[] = {sourceMonitor_, previousSourceMonitor_, previousResultMonitor_};
  for (std::size_t i = 0; i < pendingMonitor_.size(); ++i) {
    if (!pendingMonitor_[i])
      continue;
    boxes[i]->setText(Q(*pendingMonitor_[i]));
    boxes[i]->setCursorPosition(0);
    pendingMonitor_[i].reset();
  }
}

void MainWindow::EditUnconvertedAddress(const std::u16string& address) {
  FlushMonitor();
  CorrectionDialog dialog(session_.settings, session_.database, session_.recognizer, prompter_,
                          address, this);
  dialog.SetRegisteredHandler([this](const LearnedWord& word) { lastLearned_ = word; });
  dialog.exec();
}

void MainWindow::ListUnconvertedRows(const batch::RunFiles& files) {
  ui::ListUnconvertedRows(
      files, session_.settings, session_.database, session_.recognizer, prompter_,
      [this](bool running) { SetRunningState(running); }, this,
      [this](const LearnedWord& word) { lastLearned_ = word; });
}

QString MainWindow::DefaultFileDialog(const FileDialogRequest& request) {
  QFileDialog dialog(this, request.title, request.startFolder, request.filter);
  dialog.setObjectName("CommonDialog1");
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  // The toolkit's own dialog, which speaks Japanese through the program's translation whatever
  // the desktop the program runs on.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(request.forOutput ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.forOutput ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(request.defaultSuffix);
  // A name typed without an extension takes the one of the file type chosen.
  connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
    if (filter.contains(QStringLiteral("*.xlsx")))
      dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    else if (filter.contains(QStringLiteral("*.csv")))
      dialog.setDefaultSuffix(QStringLiteral("csv"));
  });
  if (!request.proposedName.isEmpty())
    dialog.selectFile(request.proposedName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return {};
  return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

QString MainWindow::AskFileName(bool forOutput) {
  // The chooser starts in the folder of the box's path, or in the remembered folder when the
  // box holds no folder.
  const QString current = (forOutput ? outputFileBox_ : inputFileBox_)->text();
  const std::optional<PathParts> parts = SplitPath(current);
  FileDialogRequest request;
  request.forOutput = forOutput;
  request.title =
      forOutput ? QStringLiteral("出力ファイル選択") : QStringLiteral("入力ファイル選択");
  request.startFolder =
      parts ? parts->folder
            : Q(forOutput ? session_.settings.outputDir : session_.settings.inputDir);
  request.proposedName = parts ? parts->name : QString();
  // The output may be an Excel workbook, first in the list when the settings ask for that form.
  const QString csv = QStringLiteral("CSVﾌｧｲﾙ (*.csv)");
  const QString workbook = QStringLiteral("Excelﾌｧｲﾙ (*.xlsx)");
  const QString all = QStringLiteral("全てのﾌｧｲﾙ (*.*)");
  const bool workbookFirst = forOutput && !session_.settings.csvOut;
  request.filter = !forOutput ? csv + QStringLiteral(";;") + all
                   : workbookFirst
                       ? workbook + QStringLiteral(";;") + csv + QStringLiteral(";;") + all
                       : csv + QStringLiteral(";;") + workbook + QStringLiteral(";;") + all;
  request.defaultSuffix = workbookFirst ? QStringLiteral("xlsx") : QStringLiteral("csv");
  return fileDialog_(request);
}

void MainWindow::ChooseInputFile() {
  const QString path = AskFileName(false);
  if (!path.isEmpty())
    SetInputPath(path);
}

void MainWindow::ChooseOutputFile() {
  const QString path = AskFileName(true);
  if (path.isEmpty())
    return;
  if (QFileInfo(path).isFile()) {
    const std::u16string mode =
        session_.settings.notOverwrite ? u"上書禁止モードで実行します。" : u"上書きしますか";
    const Answer answer =
        prompter_.Ask(U(path) + u"は既に存在しています。\r\n" + mode, MessageButtons::OkCancel);
    if (answer != Answer::Ok)
      return;
  }
  SetOutputPath(path);
}

void MainWindow::SetInputPath(const QString& path) {
  const std::u16string previousInput = std::exchange(inputPath_, U(path));
  session_.settings.inputFilePath = inputPath_;
  inputFileBox_->setText(path);
  const auto chosen = chosenOutputs_.find(inputPath_);
  const std::u16string output = chosen != chosenOutputs_.end()
                                    ? chosen->second
                                    : batch::DefaultOutputPath(inputPath_, session_.settings);
  outputPath_ = output;
  session_.settings.outputFilePath = output;
  outputFileBox_->setText(Q(output));
  ProposeAddressFields(previousInput);
}

void MainWindow::SetOutputPath(const QString& path) {
  outputPath_ = U(path);
  session_.settings.outputFilePath = outputPath_;
  outputFileBox_->setText(path);
  if (!inputFileBox_->text().isEmpty())
    chosenOutputs_[U(inputFileBox_->text())] = outputPath_;
}

void MainWindow::TakeDroppedFiles(const QStringList& paths, bool onOutputBox) {
  if (paths.isEmpty())
    return;
  if (onOutputBox) {
    SetOutputPath(paths.constFirst());
  } else {
    SetInputPath(paths.constFirst());
  }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFiles(event->mimeData()).isEmpty())
    event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QStringList files = DroppedFiles(event->mimeData());
  if (files.isEmpty())
    return;
  TakeDroppedFiles(files, false);
  event->acceptProposedAction();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  const bool outputBox = watched == outputFileBox_;
  if (watched == inputFileBox_ || outputBox) {
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (!DroppedFiles(drag->mimeData()).isEmpty()) {
        drag->acceptProposedAction();
        return true;
      }
    } else if (event->type() == QEvent::Drop) {
      auto* drop = static_cast<QDropEvent*>(event);
      const QStringList files = DroppedFiles(drop->mimeData());
      if (!files.isEmpty()) {
        TakeDroppedFiles(files, outputBox);
        drop->acceptProposedAction();
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::ShowPreview() {
  if (inputFileBox_->text().isEmpty()) {
    prompter_.ShowMessage(u"入力ファイルがセットされていません。");
    return;
  }
  // The preview reads the file the window last took as its input, which a path typed into the
  // box becomes only when the next run starts.
  PreviewWindow preview(inputPath_, text::ParseEncoding(session_.settings.inputEncoding),
                        addressFieldBoxes_[0], prompter_, this, addressFieldBoxes_[1]);
  preview.exec();
}

void MainWindow::EditConversionOptions() {
  ConversionOptionsDialog dialog(session_.settings, session_.settingsFilePath, prompter_, this);
  dialog.exec();
}

void MainWindow::EditEnvironment() {
  EnvironmentDialog dialog(
      session_.settings, session_.settingsFilePath, prompter_, [this] { DatabaseFolderChanged(); },
      this);
  dialog.exec();
}

void MainWindow::EditLearningDict() {
  // The editor opens on the word registered last, so that the user sees it there.
  LearningDictWindow dialog(session_.database, prompter_, U(regionBox_->currentText()), this,
                            std::exchange(lastLearned_, std::nullopt));
  dialog.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (run_.IsRunning()) {
    // A run in progress is stopped first, through the same question as the stop button; the
    // window closes once the run has closed its files. Answering No keeps both going.
    closeAfterRun_ = true;
    stopRequested_ = true;
    event->ignore();
    return;
  }
  Unload();
  event->accept();
}

void MainWindow::Unload() {
  if (unloaded_)
    return;
  unloaded_ = true;
  session_.database.Close();
}

}  // namespace mok::ui
