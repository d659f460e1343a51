// The main window. The user names the input and output files, the region and the address field,
// starts and stops a conversion run and watches it, and opens every other window from here. The run
// itself (batch::ConversionRun) reports back through the RunObserver calls. The window works on the
// program's session (settings, database, recognizer), opens its database in the load step and
// closes it with the run's files when the window closes, which ends the program.
#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "batch/conversion_run.h"
#include "batch/input_reader.h"
#include "batch/run_observer.h"
#include "batch/session.h"
#include "startup/command_line.h"
#include "startup/prompter.h"
#include "ui/correction_dialog.h"

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace mok::ui {

class UpDown;

// What the file chooser is asked to show (AskFileName).
struct FileDialogRequest {
  bool forOutput = false;
  QString title;         // "入力ファイル選択" / "出力ファイル選択"
  QString startFolder;   // the folder of the box's path, or the remembered folder
  QString proposedName;  // the file name of the box's path
  QString filter;        // "CSVﾌｧｲﾙ (*.csv);;全てのﾌｧｲﾙ (*.*)"
  QString defaultSuffix;
};

// The file chooser: the chosen path, or "" on cancel.
using FileDialog = std::function<QString(const FileDialogRequest&)>;

class MainWindow : public QWidget, public batch::RunObserver {
  Q_OBJECT
 public:
  // The window's load step runs here: the session's main database is opened and the region list
  // and the last-used entries are loaded. `commandLineText` is the program's argument text;
  // `options` is applied at the first activation. The session outlives the window.
  MainWindow(batch::Session& session, Prompter& prompter, CommandLineOptions& options,
             std::u16string commandLineText, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Replaces the file chooser of the input and output buttons (a QFileDialog by default).
  void SetFileDialog(FileDialog dialog) { fileDialog_ = std::move(dialog); }

  // The window's values the other windows, the screenshots and the tests read.
  const std::u16string& InputPath() const { return inputPath_; }
  const std::u16string& OutputPath() const { return outputPath_; }
  batch::RunEnd LastOutcome() const { return lastOutcome_; }
  batch::ConversionRun& Run() { return run_; }

  // RunObserver. The monitor and the counter take the run's texts at every record but are
  // repainted, and the window's events served, at most about 30 times a second, so that the
  // window costs the run little; the stop button and closing the window still answer at once.
  void SetRunningState(bool running) override;
  void FocusInputBox(batch::InputBox box) override;
  void ShowProgress(int32_t current, int32_t total) override;
  void SetMonitorText(batch::MonitorBox box, const std::u16string& text) override;
  bool PollStopRequest() override;
  void EditUnconvertedAddress(const std::u16string& address) override;
  void ListUnconvertedRows(const batch::RunFiles& files) override;

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private slots:
  // The first activation applies the command line and presses the run button.
  void ApplyCommandLine();
  void StartRun();
  void StopRun();
  void ChooseInputFile();
  void ChooseOutputFile();
  void ShowPreview();
  void EditConversionOptions();
  void EditEnvironment();
  void EditLearningDict();

 private:
  // The largest number the start-row and address-field spinners step to.
  static constexpr int kMaxSpin = 32767;

  // The controls and their arrangement (main_window_controls.cpp), each builder making its part
  // in the order the user tabs through the window.
  struct AddressFieldBoxes {
    QGroupBox* hiddenFrame;
    std::array<UpDown*, 2> spinners;  // of the boxes in use
  };
  void BuildControls();
  void AddRegionRow(QGridLayout& entries, int row);
  void AddFileRows(QGridLayout& entries, int row);
  void AddStartRow(QGridLayout& entries, int row);
  AddressFieldBoxes BuildAddressFieldBoxes();
  QGroupBox* AddAddressFieldRows(QGridLayout& entries, int row);
  void AddEncodingRow(QGridLayout& entries, int row);
  QGroupBox* BuildMonitor();
  QGridLayout* BuildButtonColumn();
  // The buttons' and boxes' events and the timers of the summary and the monitor.
  void ConnectControls();

  void Load();
  void Unload();
  void LoadWindowState();
  // Reloads the region list from the main database at the current DBDIR.
  void ReloadRegionList();
  // After the environment dialog stored a new database folder.
  void DatabaseFolderChanged();
  // A file dropped on the window or on one of the path boxes.
  void TakeDroppedFiles(const QStringList& paths, bool onOutputBox);
  QString AskFileName(bool forOutput);
  // A new input: its output follows it (the one chosen for it, else <input>_結果.csv).
  void SetInputPath(const QString& path);
  void SetOutputPath(const QString& path);
  // The address fields the new input's records propose fill the boxes, unless the input has the
  // same headings as `previousInput` (main_window_fields.cpp).
  void ProposeAddressFields(const std::u16string& previousInput);
  // The texts of the address field boxes in use, trimmed.
  std::vector<std::u16string> AddressFieldTexts() const;
  QString DefaultFileDialog(const FileDialogRequest& request);
  // The input's encoding and what the address field holds in it, beside the boxes.
  void UpdateInputSummary();
  // The output encoding chosen in its box, stored as OUTPUTENCODING.
  void ChooseOutputEncoding(int index);
  // Shows the monitor texts and the count the run gave since the last repaint.
  void FlushMonitor();

  batch::Session& session_;
  Prompter& prompter_;
  CommandLineOptions& options_;
  std::u16string commandLineText_;
  FileDialog fileDialog_;

  batch::ConversionRun run_;

  std::u16string inputPath_;   // the input the window last took (chosen, dropped or run)
  std::u16string outputPath_;  // the output the window last took
  // The output the user chose (or the last run used) for each input: a new input gets its own
  // output name instead of the last input's output.
  std::map<std::u16string, std::u16string> chosenOutputs_;
  // The box texts last proposed for an input; the sample says so while the boxes hold them.
  std::optional<std::vector<std::u16string>> proposedFields_;

  bool stopRequested_ = false;  // the stop button was pressed since the last poll
  bool stopAsked_ = false;      // the last poll handed a stop request to the run
  bool closeAfterRun_ = false;  // the window was closed during a run
  bool unloaded_ = false;
  QElapsedTimer sinceEvents_;  // since the run last served the window's events
  QTimer* monitorTimer_;       // shows the monitor while the run waits in a dialog
  std::array<std::optional<std::u16string>, 3> pendingMonitor_;  // by batch::MonitorBox
  std::optional<std::pair<int32_t, int32_t>> pendingCount_;
  batch::RunEnd lastOutcome_ = batch::RunEnd::NotStarted;
  std::optional<LearnedWord> lastLearned_;  // the word last registered, which the editor shows

  QComboBox* regionBox_;
  QLineEdit* inputFileBox_;
  QLineEdit* outputFileBox_;
  QLineEdit* startRowBox_;
  std::array<QLineEdit*, 4> addressFieldBoxes_{};  // the first two are used
  std::array<QLabel*, 2> addressFieldSamples_{};   // what the fields in use hold in the input
  QLabel* inputEncodingLabel_;
  QComboBox* outputEncodingBox_;
  QTimer* summaryTimer_;
  QLineEdit* sourceMonitor_;
  QLineEdit* previousSourceMonitor_;
  QLineEdit* previousResultMonitor_;
  QLabel* countLabel_;
  QPushButton* runButton_;
  QPushButton* stopButton_;
  QPushButton* unconvertedButton_;
  QPushButton* optionsButton_;
  QPushButton* environmentButton_;
  QPushButton* databaseFolderButton_;
  QPushButton* previewButton_;
  QPushButton* dictionaryButton_;
  QPushButton* exitButton_;
  QPushButton* inputFileButton_;
  QPushButton* outputFileButton_;
};

}  // namespace mok::ui
