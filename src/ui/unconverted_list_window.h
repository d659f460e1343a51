// The list of the addresses that the last run could not convert. The list is built from the run's
// input and output files read side by side (the output's header lines skipped): a pair whose output
// line carries no converted fields is listed with its line number, the display form of its
// address and the record's first other fields. The user may edit an entry's address in the box
// above the list and open the correction dialog on it (編集, or a double click). Nothing is
// written back to any file.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "batch/unconverted_rows.h"
#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "startup/prompter.h"
#include "startup/settings.h"
#include "ui/correction_dialog.h"

class QLineEdit;
class QTreeWidget;

namespace mok::ui {

class UnconvertedListWindow : public QDialog {
  Q_OBJECT

 public:
  UnconvertedListWindow(const Settings& settings, db::AddressDatabase& database,
                        const engine::Recognizer& recognizer, Prompter& prompter,
                        QWidget* parent = nullptr);

  // Fills the list from the run's files. On a failure the message has been shown and the
  // result is false (the window should then not be shown).
  bool FillUnconvertedRows(const batch::RunFiles& run);

  // Told of every word pair a correction dialog of the list registers.
  void SetRegisteredHandler(std::function<void(const LearnedWord&)> handler) {
    registered_ = std::move(handler);
  }

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
  const engine::Recognizer& recognizer_;
  Prompter& prompter_;
  std::u16string savedText_;  // the text box contents when it received the focus
  bool changed_ = false;      // the text box was edited since it received the focus
  std::function<void(const LearnedWord&)> registered_;

  QLineEdit* addressBox_;
  QTreeWidget* addressList_;  // line number, address, record
};

// The unconverted list as the main window opens it (its button 不明分編集 and the question at the
// end of a run): builds the list, shows the window modally, then calls setRunningState(false).
// On a failure the message is shown, no window opens, and setRunningState(false) is still called.
// `registered` is told of the words registered in the list's correction dialogs.
void ListUnconvertedRows(const batch::RunFiles& run, const Settings& settings,
                         db::AddressDatabase& database, const engine::Recognizer& recognizer,
                         Prompter& prompter, const std::function<void(bool)>& setRunningState,
                         QWidget* parent = nullptr,
                         const std::function<void(const LearnedWord&)>& registered = {});

}  // namespace mok::ui
