// The list of the addresses that the last run could not convert. The list is built from the run's
// input and output files read side by side (the output's header lines skipped): a pair whose output
// line carries no converted fields is listed with the display form of its address. The user may
// edit an entry in the box above the list and open the correction dialog on it. Nothing is written
// back to any file.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "batch/unconverted_rows.h"
#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "startup/prompter.h"
#include "startup/settings.h"

class QLineEdit;
class QListWidget;

namespace mok::ui {

class UnconvertedListWindow : public QDialog {
  Q_OBJECT

 public:
  UnconvertedListWindow(const Settings& settings, db::AddressDatabase& database,
                        engine::Recognizer& recognizer, Prompter& prompter,
                        QWidget* parent = nullptr);

  // Fills the list from the run's files. On a failure the message has been shown and the
  // result is false (the window should then not be shown).
  bool FillUnconvertedRows(const batch::RunFiles& run);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private slots:
  // The selected entry goes into the text box above the list.
  void ShowSelectedAddress();
  // Opens the correction dialog on the text box's address.
  void EditSelectedAddress();

 private:
  // The text box received or lost the focus: an edit of it replaces the selected entry.
  void StartEditing();
  void FinishEditing();

  const Settings& settings_;
  db::AddressDatabase& database_;
  engine::Recognizer& recognizer_;
  Prompter& prompter_;
  std::u16string savedText_;  // the text box contents when it received the focus
  bool changed_ = false;      // the text box was edited since it received the focus

  QLineEdit* addressBox_;
  QListWidget* addressList_;
};

// The unconverted list as the main window opens it (its button 不明分編集 and the question at the
// end of a run): builds the list, shows the window modally, then calls setRunningState(false).
// On a failure the message is shown, no window opens, and setRunningState(false) is still called.
void ListUnconvertedRows(const batch::RunFiles& run, const Settings& settings,
                         db::AddressDatabase& database, engine::Recognizer& recognizer,
                         Prompter& prompter, const std::function<void(bool)>& setRunningState,
                         QWidget* parent = nullptr);

}  // namespace mok::ui
