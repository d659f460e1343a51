// frmIneffectAdr, the list of the addresses that the last run could not convert. The list is
// built from the run's input and output files read side by side (the output's header lines
// skipped): a pair whose output line carries no converted fields is listed with the display
// form of its address. The user may edit an entry in the box above the list and open the
// correction dialog (frmEdit) on it. Nothing is written back to any file.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "startup/prompter.h"
#include "startup/settings.h"
#include "ui/unconverted_rows.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace mok::ui {

class frmIneffectAdr : public QDialog {
  Q_OBJECT

 public:
  frmIneffectAdr(const Settings& settings, db::AddressDatabase& database,
                 engine::Recognizer& recognizer, Prompter& prompter, QWidget* parent = nullptr);

  // Fills lstIneffectAdr from the run's files. On a failure the message has been shown and the
  // result is false (the window should then not be shown).
  bool FillUnconvertedRows(const UnconvertedRunFiles& run);

  // The event handlers, public so that tests can drive them directly.
  void lstIneffectAdr_Click();
  void cmdEdit_Click();

  // Opens the correction dialog on an address; replaceable so that tests can watch the call.
  // The default shows frmEdit modally.
  std::function<void(const std::u16string& address)> OpenCorrectionDialog;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void txtIneffectAdr_GotFocus();
  void txtIneffectAdr_LostFocus();

  const Settings& settings_;
  db::AddressDatabase& database_;
  engine::Recognizer& recognizer_;
  Prompter& prompter_;
  std::u16string savedText_;  // the text box contents when it received the focus
  bool changed_ = false;      // the text box was edited since it received the focus

  QLineEdit* txtIneffectAdr_;
  QListWidget* lstIneffectAdr_;
  QPushButton* cmdEdit_;
  QPushButton* cmdExit_;
};

// The unconverted list as the main window opens it (its button 不明分編集 and the question at the
// end of a run): builds the list, shows the window modally, then calls setRunningState(false).
// On a failure the message is shown, no window opens, and setRunningState(false) is still called.
void ListUnconvertedRows(const UnconvertedRunFiles& run, const Settings& settings,
                         db::AddressDatabase& database, engine::Recognizer& recognizer,
                         Prompter& prompter, const std::function<void(bool)>& setRunningState,
                         QWidget* parent = nullptr);

}  // namespace mok::ui
