#include "ui/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "startup/settings_file.h"
#include "startup/system_init.h"
#include "ui/conversion_options_dialog.h"
#include "ui/correction_dialog.h"
#include "ui/environment_dialog.h"
#include "ui/learning_dict_window.h"
#include "ui/named_widgets.h"
#include "ui/preview_window.h"
#include "ui/qt_text.h"
#include "ui/unconverted_list_window.h"
#include "ui/up_down.h"

namespace mok::ui {
namespace {

constexpr int kMaxSpin = 32767;

UpDown* Spinner(QLineEdit* buddy, QWidget* parent, const char* name) {
  auto* spinner = new UpDown(buddy, 1, kMaxSpin, parent);
  spinner->setObjectName(name);
  return spinner;
}

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

// The text before the last separator of a path, and the text after it.
bool SplitPath(const QString& path, QString& folder, QString& name) {
  const int at = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
  if (at < 0)
    return false;
  folder = path.left(at);
  name = path.mid(at + 1);
  return true;
}

}  // namespace

frmConvert::frmConvert(Settings& settings, std::u16string settingsFilePath, Prompter& prompter,
                       CommandLineOptions& options, std::u16string commandLineText, QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      settingsFilePath_(std::move(settingsFilePath)),
      prompter_(prompter),
      options_(options),
      commandLineText_(std::move(commandLineText)),
      database_(),
      recognizer_(settings, database_),
      run_(settings, database_, recognizer_, prompter, *this, settingsFilePath_),
      reader_(prompter) {
  ShowFileDialog = [this](const FileDialogRequest& request) { return DefaultFileDialog(request); };
  BuildControls();
  Form_Load();
}

frmConvert::~frmConvert() {
  Form_Unload();
}

void frmConvert::BuildControls() {
  setObjectName("frmConvert");
  setWindowTitle(QStringLiteral("MOK 住所認識システム"));
  setAcceptDrops(true);

  Label1_ = Label(this, "Label1", u"MOK2");
  QFont brand(QStringLiteral("Arial"));
  brand.setPointSize(20);
  brand.setBold(true);
  brand.setItalic(true);
  Label1_->setFont(brand);

  QLabel* lblSelectPref = Label(this, "lblSelectPref", u"地域名：");
  cmbSelectPref_ = new QComboBox(this);
  cmbSelectPref_->setObjectName("cmbSelectPref");
  cmbSelectPref_->setEditable(true);  // any text is accepted, also one that is not listed
  cmbSelectPref_->setInsertPolicy(QComboBox::NoInsert);
  cmbSelectPref_->setMinimumContentsLength(12);

  QLabel* lblInputFile = Label(this, "lblInputFile", u"入力ファイル：");
  txtInputFile_ = TextBox(this, "txtInputFile");
  cmdInputFile_ = Button(this, "cmdInputFile", u"...");
  QLabel* lblOutputFile = Label(this, "lblOutputFile", u"出力ファイル：");
  txtOutputFile_ = TextBox(this, "txtOutputFile");
  cmdOutputFile_ = Button(this, "cmdOutputFile", u"...");
  for (QLineEdit* box : {txtInputFile_, txtOutputFile_}) {
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 36);
    box->installEventFilter(this);
  }
  for (QPushButton* button : {cmdInputFile_, cmdOutputFile_}) {
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
  }
  QLabel* lblStartRow = Label(this, "lblStartRow", u"変換開始行：");
  txtStartRow_ = TextBox(this, "txtStartRow");
  txtStartRow_->setText(QStringLiteral("1"));
  txtStartRow_->setFixedWidth(
      txtStartRow_->fontMetrics().horizontalAdvance(QStringLiteral("00000000")) + 12);
  UpDown* UpDownStartRow = Spinner(txtStartRow_, this, "UpDownStartRow");
  lblSelectPref->setBuddy(cmbSelectPref_);
  lblInputFile->setBuddy(txtInputFile_);
  lblOutputFile->setBuddy(txtOutputFile_);
  lblStartRow->setBuddy(txtStartRow_);

  // The address-field boxes are never shown: the field number is chosen in the preview
  // window or comes from the remembered value.
  auto* framStartField = new QGroupBox(QStringLiteral("住所フィールド"), this);
  framStartField->setObjectName("framStartField");
  auto* fieldLayout = new QGridLayout(framStartField);
  fieldLayout->addWidget(Label(framStartField, "lblPrefField", u"住所１"), 0, 0);
  fieldLayout->addWidget(Label(framStartField, "lblCityField", u"住所２"), 1, 0);
  fieldLayout->addWidget(Label(framStartField, "Label2", u"住所３"), 2, 0);
  fieldLayout->addWidget(Label(framStartField, "lblTownField", u"住所４"), 3, 0);
  static const char* const kFieldNames[] = {"txtAdrField_0", "txtAdrField_1", "txtAdrField_2",
                                            "txtAdrField_3"};
  static const char* const kSpinNames[] = {"UpDownPrefField", "UpDownCityField", "UpDownCityField2",
                                           "UpDownTownField"};
  for (int i = 0; i < 4; ++i) {
    QWidget* owner = i == 2 ? static_cast<QWidget*>(framStartField) : this;
    txtAdrField_[i] = TextBox(owner, kFieldNames[i]);
    txtAdrField_[i]->setText(QStringLiteral("1"));
    UpDown* spinner = Spinner(txtAdrField_[i], owner, kSpinNames[i]);
    if (i == 2) {
      fieldLayout->addWidget(txtAdrField_[i], 2, 1);
      fieldLayout->addWidget(spinner, 2, 2);
    } else {
      txtAdrField_[i]->hide();
      spinner->hide();
    }
  }
  framStartField->hide();

  auto* framMonitor = new QGroupBox(QStringLiteral("状況モニタ"), this);
  framMonitor->setObjectName("framMonitor");
  txtSrc_ = TextBox(framMonitor, "txtSrc");
  txtPrevSrc_ = TextBox(framMonitor, "txtPrevSrc");
  txtPrevDst_ = TextBox(framMonitor, "txtPrevDst");
  for (QLineEdit* box : {txtSrc_, txtPrevSrc_, txtPrevDst_})
    box->setReadOnly(true);
  lblCount_ = Label(framMonitor, "lblCount", u"");
  lblCount_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* monitorLayout = new QVBoxLayout(framMonitor);
  monitorLayout->addWidget(txtSrc_);
  monitorLayout->addWidget(txtPrevSrc_);
  monitorLayout->addWidget(txtPrevDst_);
  monitorLayout->addWidget(lblCount_);

  cmdExec_ = Button(this, "cmdExec", u"実行");
  cmdExec_->setDefault(true);
  cmdCancel_ = Button(this, "cmdCancel", u"中止");
  cmdRegDictionary_ = Button(this, "cmdRegDictionary", u"不明分編集");
  cmdOption_ = Button(this, "cmdOption", u"詳細設定");
  cmdSetEnviron_ = Button(this, "cmdSetEnviron", u"環境設定");
  cmdSetEnviron_->hide();
  cmdDbPath_ = Button(this, "cmdDbPath", u"ＤＢパス設定");
  cmdSrcPreview_ = Button(this, "cmdSrcPreview", u"プレビュー");
  cmdUserDictionary_ = Button(this, "cmdUserDictionary", u"学習辞書");
  cmdExit_ = Button(this, "cmdExit", u"終了");
  // The map link's client control of the original window; never shown.
  QLineEdit* txtDdeCmd = TextBox(this, "txtDdeCmd");
  txtDdeCmd->hide();

  // Layout: the entries on the left, the buttons in a column on the right. The run and stop
  // buttons share one place; the unconverted-list button has its own, so that after a run both
  // it and the run button can be reached.
  auto* entries = new QGridLayout;
  entries->addWidget(lblSelectPref, 0, 0);
  entries->addWidget(cmbSelectPref_, 0, 1, 1, 2, Qt::AlignLeft);
  entries->addWidget(lblInputFile, 1, 0);
  entries->addWidget(txtInputFile_, 1, 1);
  entries->addWidget(cmdInputFile_, 1, 2);
  entries->addWidget(lblOutputFile, 2, 0);
  entries->addWidget(txtOutputFile_, 2, 1);
  entries->addWidget(cmdOutputFile_, 2, 2);
  entries->addWidget(lblStartRow, 3, 0);
  auto* startRow = new QHBoxLayout;
  startRow->setSpacing(0);
  startRow->addWidget(txtStartRow_);
  startRow->addWidget(UpDownStartRow);
  startRow->addStretch(1);
  entries->addLayout(startRow, 3, 1, 1, 2);
  entries->setColumnStretch(1, 1);

  auto* left = new QVBoxLayout;
  left->addWidget(Label1_);
  left->addLayout(entries);
  left->addWidget(framStartField);
  left->addWidget(framMonitor);
  left->addStretch(1);

  auto* buttons = new QGridLayout;
  buttons->addWidget(cmdExec_, 0, 0);
  buttons->addWidget(cmdCancel_, 0, 0);
  buttons->addWidget(cmdRegDictionary_, 1, 0);
  buttons->addWidget(cmdSrcPreview_, 2, 0);
  buttons->addWidget(cmdOption_, 3, 0);
  buttons->addWidget(cmdSetEnviron_, 4, 0);
  buttons->addWidget(cmdDbPath_, 5, 0);
  buttons->addWidget(cmdUserDictionary_, 6, 0);
  buttons->setRowStretch(7, 1);
  buttons->addWidget(cmdExit_, 8, 0);
  // The list button's place stays reserved while it is hidden, so the column does not jump.
  QSizePolicy keep = cmdRegDictionary_->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  cmdRegDictionary_->setSizePolicy(keep);
  const int buttonWidth = cmdDbPath_->sizeHint().width() + 16;
  for (QPushButton* button : {cmdExec_, cmdCancel_, cmdRegDictionary_, cmdSrcPreview_, cmdOption_,
                              cmdSetEnviron_, cmdDbPath_, cmdUserDictionary_, cmdExit_}) {
    button->setMinimumWidth(buttonWidth);
  }

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(buttons);

  connect(cmdExec_, &QPushButton::clicked, this, &frmConvert::cmdExec_Click);
  connect(cmdCancel_, &QPushButton::clicked, this, &frmConvert::cmdCancel_Click);
  connect(cmdRegDictionary_, &QPushButton::clicked, this, &frmConvert::cmdRegDictionary_Click);
  connect(cmdInputFile_, &QPushButton::clicked, this, &frmConvert::cmdInputFile_Click);
  connect(cmdOutputFile_, &QPushButton::clicked, this, &frmConvert::cmdOutputFile_Click);
  connect(cmdOption_, &QPushButton::clicked, this, &frmConvert::cmdOption_Click);
  connect(cmdSetEnviron_, &QPushButton::clicked, this, &frmConvert::cmdIniFile_Click);
  connect(cmdDbPath_, &QPushButton::clicked, this, &frmConvert::cmdIniFile_Click);
  connect(cmdSrcPreview_, &QPushButton::clicked, this, &frmConvert::cmdSrcPreview_Click);
  connect(cmdUserDictionary_, &QPushButton::clicked, this, &frmConvert::cmdUserDictionary_Click);
  connect(cmdExit_, &QPushButton::clicked, this, &QWidget::close);
}

void frmConvert::Form_Load() {
  cmdExec_->setVisible(true);
  cmdExec_->setEnabled(true);
  cmdCancel_->setVisible(false);
  cmdRegDictionary_->setVisible(false);

  txtInputFile_->setText(Q(commandLineText_));
  strInputPath_ = commandLineText_;

  if (auto opened = database_.Open(settings_.dbDir); !opened) {
    prompter_.ShowMessage(opened.error().Message());
  } else {
    ReloadRegionList();
    strInputDir_ = Q(settings_.inputDir.empty() ? settings_.dbDir : settings_.inputDir);
    strOutputDir_ = Q(settings_.outputDir.empty() ? settings_.dbDir : settings_.outputDir);
    txtSrc_->clear();
    txtPrevSrc_->clear();
    txtPrevDst_->clear();
    txtAdrField_[0]->setText(QString::number(reader_.addressField + 1));
    LoadWindowState();
  }
  adjustSize();
}

void frmConvert::LoadWindowState() {
  const CurrentState state = LoadCurrentState(settingsFilePath_);
  settings_.inputFilePath = state.inputFilePath;
  txtInputFile_->setText(Q(state.inputFilePath));
  strInputPath_ = state.inputFilePath;
  settings_.outputFilePath = state.outputFilePath;
  txtOutputFile_->setText(Q(state.outputFilePath));
  strOutputPath_ = state.outputFilePath;
  cmbSelectPref_->setCurrentText(Q(state.selectPref));
  txtStartRow_->setText(Q(state.startRow));
  txtAdrField_[0]->setText(Q(state.adrField1));
}

void frmConvert::ReloadRegionList() {
  const QString shown = cmbSelectPref_->currentText();
  if (auto loaded = database_.ReloadRegionList(); !loaded)
    prompter_.ShowMessage(loaded.error().Message());
  cmbSelectPref_->clear();
  for (const std::u16string& region : database_.RegionList())
    cmbSelectPref_->addItem(Q(region));
  cmbSelectPref_->setCurrentText(shown);
}

void frmConvert::DatabaseFolderChanged() {
  // The databases, the prefecture names and the region list come from the new folder at once.
  if (auto opened = database_.Open(settings_.dbDir); !opened) {
    prompter_.ShowMessage(opened.error().Message());
    const QString shown = cmbSelectPref_->currentText();
    cmbSelectPref_->clear();
    cmbSelectPref_->setCurrentText(shown);
    return;
  }
  ReloadRegionList();
}

void frmConvert::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    // Run after the activation has been handled and the window painted.
    QMetaObject::invokeMethod(this, &frmConvert::Form_Activate, Qt::QueuedConnection);
  }
}

void frmConvert::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Some platforms (the offscreen one among them) may never report an activation of a window
  // that is shown without a window manager; the first showing counts as the first activation.
  if (options_.firstActivate) {
    QMetaObject::invokeMethod(this, &frmConvert::Form_Activate, Qt::QueuedConnection);
  }
}

void frmConvert::Form_Activate() {
  if (!options_.firstActivate)
    return;
  options_.firstActivate = false;
  if (!options_.valid)
    return;
  if (options_.hasRegion)
    cmbSelectPref_->setCurrentText(Q(options_.region));
  if (options_.hasInput) {
    txtInputFile_->setText(Q(options_.inputFile));
    if (options_.hasOutput)
      txtOutputFile_->setText(Q(options_.outputFile));
  }
  if (options_.hasStartRow)
    txtStartRow_->setText(Q(options_.startRow));
  cmdExec_->click();
}

void frmConvert::cmdExec_Click() {
  if (run_.IsRunning())
    return;
  batch::RunRequest request;
  request.inputPath = U(txtInputFile_->text());
  request.outputPath = U(txtOutputFile_->text());
  request.region = U(cmbSelectPref_->currentText());
  request.startRow = U(txtStartRow_->text());
  request.addressField = U(txtAdrField_[0]->text());
  if (!request.inputPath.empty())
    strInputPath_ = request.inputPath;
  if (!request.inputPath.empty() && !request.outputPath.empty()) {
    strOutputPath_ = request.outputPath;
  }
  stopRequested_ = false;
  stopAsked_ = false;
  lastOutcome_ = run_.Execute(request);
  if (closeAfterRun_) {
    closeAfterRun_ = false;
    close();
  }
}

void frmConvert::cmdCancel_Click() {
  stopRequested_ = true;
}

bool frmConvert::PollStopRequest() {
  // The run polls again only when the user declined to stop; a close that was waiting for the
  // stop is then given up as well.
  if (stopAsked_) {
    stopAsked_ = false;
    closeAfterRun_ = false;
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  if (!stopRequested_)
    return false;
  stopRequested_ = false;
  stopAsked_ = true;
  return true;
}

void frmConvert::SetRunningState(bool running) {
  cmdExec_->setVisible(!running);
  cmdCancel_->setVisible(running);
  cmdCancel_->setEnabled(true);
  cmdRegDictionary_->setVisible(!running);
  for (QPushButton* button : {cmdOption_, cmdSetEnviron_, cmdSrcPreview_, cmdUserDictionary_,
                              cmdDbPath_, cmdInputFile_, cmdOutputFile_}) {
    button->setEnabled(!running);
  }
  repaint();
}

void frmConvert::FocusInputBox(batch::InputBox box) {
  switch (box) {
    case batch::InputBox::InputFile:
      txtInputFile_->setFocus();
      break;
    case batch::InputBox::OutputFile:
      txtOutputFile_->setFocus();
      break;
    case batch::InputBox::StartRow:
      txtStartRow_->setFocus();
      break;
  }
}

void frmConvert::ShowProgress(int32_t current, int32_t total) {
  lblCount_->setText(QStringLiteral("%1/%2").arg(current).arg(total));
  lblCount_->repaint();
}

void frmConvert::SetMonitorText(batch::MonitorBox box, const std::u16string& text) {
  QLineEdit* target = box == batch::MonitorBox::Source           ? txtSrc_
                      : box == batch::MonitorBox::PreviousSource ? txtPrevSrc_
                                                                 : txtPrevDst_;
  target->setText(Q(text));
  target->setCursorPosition(0);
  target->repaint();
}

void frmConvert::EditUnconvertedAddress(const std::u16string& address) {
  frmEdit dialog(settings_, database_, recognizer_, prompter_, this);
  dialog.StrEditAddress = address;
  dialog.exec();
}

void frmConvert::ListUnconvertedRows() {
  ui::ListUnconvertedRows(
      run_.LastRunFiles(), settings_, database_, recognizer_, prompter_,
      [this](bool running) { SetRunningState(running); }, this);
}

void frmConvert::cmdRegDictionary_Click() {
  ListUnconvertedRows();
}

QString frmConvert::DefaultFileDialog(const FileDialogRequest& request) {
  QFileDialog dialog(this, request.title, request.startFolder, request.filter);
  dialog.setObjectName("CommonDialog1");
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setOption(QFileDialog::DontUseNativeDialog, qEnvironmentVariableIsSet("MOK_QT_DIALOGS"));
  dialog.setAcceptMode(request.forOutput ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.forOutput ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.proposedName.isEmpty())
    dialog.selectFile(request.proposedName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return {};
  return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

QString frmConvert::ChooseFileName(bool forOutput) {
  FileDialogRequest request;
  request.forOutput = forOutput;
  request.title =
      forOutput ? QStringLiteral("出力ファイル選択") : QStringLiteral("入力ファイル選択");
  request.startFolder = forOutput ? strOutputDir_ : strInputDir_;
  request.proposedName = forOutput ? strOutputName_ : strInputName_;
  request.filter = QStringLiteral("CSVﾌｧｲﾙ (*.csv);;全てのﾌｧｲﾙ (*.*)");
  request.defaultSuffix = QStringLiteral("csv");
  const QString path = ShowFileDialog(request);
  if (path.isEmpty())
    return {};
  QString folder, name;
  (forOutput ? strOutputName_ : strInputName_) = path;
  if (SplitPath(path, folder, name))
    (forOutput ? strOutputDir_ : strInputDir_) = folder;
  return path;
}

void frmConvert::cmdInputFile_Click() {
  if (!SplitPath(txtInputFile_->text(), strInputDir_, strInputName_)) {
    strInputDir_ = Q(settings_.inputDir);
    strInputName_.clear();
  }
  const QString path = ChooseFileName(false);
  if (!path.isEmpty())
    SetInputPath(path);
}

void frmConvert::cmdOutputFile_Click() {
  if (!SplitPath(txtOutputFile_->text(), strOutputDir_, strOutputName_)) {
    strOutputDir_ = Q(settings_.outputDir);
    strOutputName_.clear();
  }
  const QString path = ChooseFileName(true);
  if (path.isEmpty())
    return;
  if (QFileInfo(path).isFile()) {
    const std::u16string mode =
        settings_.notOverwrite ? u"上書禁止モードで実行します。" : u"上書きしますか";
    const Answer answer =
        prompter_.Ask(U(path) + u"は既に存在しています。\r\n" + mode, MessageButtons::OkCancel);
    if (answer != Answer::Ok)
      return;
  }
  SetOutputPath(path);
}

void frmConvert::SetInputPath(const QString& path) {
  strInputPath_ = U(path);
  settings_.inputFilePath = strInputPath_;
  txtInputFile_->setText(path);
}

void frmConvert::SetOutputPath(const QString& path) {
  strOutputPath_ = U(path);
  settings_.outputFilePath = strOutputPath_;
  txtOutputFile_->setText(path);
}

void frmConvert::DropFiles(const QStringList& paths, bool onOutputBox) {
  if (paths.isEmpty())
    return;
  if (onOutputBox) {
    SetOutputPath(paths.constFirst());
  } else {
    SetInputPath(paths.constFirst());
  }
}

void frmConvert::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFiles(event->mimeData()).isEmpty())
    event->acceptProposedAction();
}

void frmConvert::dropEvent(QDropEvent* event) {
  const QStringList files = DroppedFiles(event->mimeData());
  if (files.isEmpty())
    return;
  DropFiles(files, false);
  event->acceptProposedAction();
}

bool frmConvert::eventFilter(QObject* watched, QEvent* event) {
  const bool outputBox = watched == txtOutputFile_;
  if (watched == txtInputFile_ || outputBox) {
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
        DropFiles(files, outputBox);
        drop->acceptProposedAction();
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void frmConvert::cmdSrcPreview_Click() {
  if (txtInputFile_->text().isEmpty()) {
    prompter_.ShowMessage(u"入力ファイルがセットされていません。");
    return;
  }
  // The preview reads the file the window last took as its input, which a path typed into the
  // box becomes only when the next run starts.
  reader_.inputPath = strInputPath_;
  frmPreview preview(reader_, txtAdrField_[0], prompter_, this);
  preview.exec();
}

void frmConvert::cmdOption_Click() {
  frmConvertOption dialog(settings_, settingsFilePath_, prompter_, this);
  dialog.exec();
}

void frmConvert::cmdIniFile_Click() {
  frmIniFile dialog(
      settings_, settingsFilePath_, prompter_, [this] { DatabaseFolderChanged(); }, this);
  dialog.exec();
}

void frmConvert::cmdUserDictionary_Click() {
  frmLearningDict dialog(database_, prompter_, U(cmbSelectPref_->currentText()), this);
  dialog.exec();
}

void frmConvert::closeEvent(QCloseEvent* event) {
  if (run_.IsRunning()) {
    // A run in progress is stopped first, through the same question as the stop button; the
    // window closes once the run has closed its files. Answering No keeps both going.
    closeAfterRun_ = true;
    stopRequested_ = true;
    event->ignore();
    return;
  }
  Form_Unload();
  event->accept();
}

void frmConvert::Form_Unload() {
  if (unloaded_)
    return;
  unloaded_ = true;
  database_.Close();
  run_.CloseConvertFiles();
}

}  // namespace mok::ui
