// frmConvert: the main window. The user names the input and output files, the region and the
// address field, starts and stops a conversion run and watches it, and opens every other window
// from here. The run itself (batch::ConversionRun) reports back through the RunObserver calls;
// the window owns the database connection, the recogniser and the run, and closing it closes
// them all and ends the program.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "batch/conversion_run.h"
#include "batch/input_reader.h"
#include "batch/run_observer.h"
#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "startup/command_line.h"
#include "startup/prompter.h"
#include "startup/settings.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mok::ui {

class UpDown;

// What the file chooser is asked to show (ChooseFileName).
struct FileDialogRequest {
  bool forOutput = false;
  QString title;         // "入力ファイル選択" / "出力ファイル選択"
  QString startFolder;   // strInputDir / strOutputDir
  QString proposedName;  // strInputName / strOutputName
  QString filter;        // Qt form of "CSVﾌｧｲﾙ(*.csv)|*.csv|全てのﾌｧｲﾙ(*.*)|*.*"
  QString defaultSuffix;
};

class frmConvert : public QWidget, public batch::RunObserver {
  Q_OBJECT
 public:
  // The window's load step runs here: the main database is opened and the region list and the
  // last-used entries are loaded. `commandLineText` is the program's argument text; `options`
  // is applied at the first activation.
  frmConvert(Settings& settings, std::u16string settingsFilePath, Prompter& prompter,
             CommandLineOptions& options, std::u16string commandLineText,
             QWidget* parent = nullptr);
  ~frmConvert() override;

  // The file chooser; tests replace it. Returns the chosen path or "" on cancel.
  std::function<QString(const FileDialogRequest&)> ShowFileDialog;

  // Event handlers, public for the program and the tests.
  void Form_Activate();
  void cmdExec_Click();
  void cmdCancel_Click();
  void cmdInputFile_Click();
  void cmdOutputFile_Click();
  void cmdSrcPreview_Click();
  void cmdOption_Click();
  void cmdIniFile_Click();  // cmdDbPath and cmdSetEnviron
  void cmdUserDictionary_Click();
  void cmdRegDictionary_Click();
  // A file dropped on the window or on one of the path boxes.
  void DropFiles(const QStringList& paths, bool onOutputBox);

  QString ChooseFileName(bool forOutput);

  // Reloads the region list from the main database at the current DBDIR (after 設定 in the
  // environment dialog).
  void ReloadRegionList();
  void DatabaseFolderChanged();

  // The window's values the other windows and the tests read.
  const std::u16string& StrInputPath() const { return strInputPath_; }
  const std::u16string& StrOutputPath() const { return strOutputPath_; }
  batch::RunOutcome LastOutcome() const { return lastOutcome_; }
  db::AddressDatabase& Database() { return database_; }
  engine::Recognizer& Engine() { return recognizer_; }
  batch::ConversionRun& Run() { return run_; }

  // RunObserver.
  void SetRunningState(bool running) override;
  void FocusInputBox(batch::InputBox box) override;
  void ShowProgress(int32_t current, int32_t total) override;
  void SetMonitorText(batch::MonitorBox box, const std::u16string& text) override;
  bool PollStopRequest() override;
  void EditUnconvertedAddress(const std::u16string& address) override;
  void ListUnconvertedRows() override;

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildControls();
  void Form_Load();
  void Form_Unload();
  void LoadWindowState();
  void SetInputPath(const QString& path);
  void SetOutputPath(const QString& path);
  QString DefaultFileDialog(const FileDialogRequest& request);

  Settings& settings_;
  std::u16string settingsFilePath_;
  Prompter& prompter_;
  CommandLineOptions& options_;
  std::u16string commandLineText_;

  db::AddressDatabase database_;
  engine::Recognizer recognizer_;
  batch::ConversionRun run_;
  batch::InputReader reader_;  // the input procedures the preview reads the file with

  std::u16string strInputPath_;   // StrInputPath
  std::u16string strOutputPath_;  // StrOutputPath
  QString strInputDir_, strOutputDir_, strInputName_, strOutputName_;

  bool stopRequested_ = false;  // the stop button was pressed since the last poll
  bool stopAsked_ = false;      // the last poll handed a stop request to the run
  bool closeAfterRun_ = false;  // the window was closed during a run
  bool unloaded_ = false;
  batch::RunOutcome lastOutcome_ = batch::RunOutcome::NotStarted;

  QLabel* Label1_;
  QComboBox* cmbSelectPref_;
  QLineEdit* txtInputFile_;
  QLineEdit* txtOutputFile_;
  QLineEdit* txtStartRow_;
  std::array<QLineEdit*, 4> txtAdrField_{};
  QLineEdit* txtSrc_;
  QLineEdit* txtPrevSrc_;
  QLineEdit* txtPrevDst_;
  QLabel* lblCount_;
  QPushButton* cmdExec_;
  QPushButton* cmdCancel_;
  QPushButton* cmdRegDictionary_;
  QPushButton* cmdOption_;
  QPushButton* cmdSetEnviron_;
  QPushButton* cmdDbPath_;
  QPushButton* cmdSrcPreview_;
  QPushButton* cmdUserDictionary_;
  QPushButton* cmdExit_;
  QPushButton* cmdInputFile_;
  QPushButton* cmdOutputFile_;
};

}  // namespace mok::ui
