// The correction dialog: the user selects the wrong word of an address that failed to convert,
// types the right word, checks that the corrected address now converts, and registers the pair in
// the learning dictionary for the current region or for all regions.
//
// Openers create it on the address and show it modally (exec()); every showing starts afresh on
// that address. Example: address 東京都渋谷区はち山1-1, selection はち山, new word 鉢山 ->
// corrected address 東京都渋谷区鉢山1-1; when that converts, 辞書登録 asks
// <はち山→鉢山>をユーザー辞書に登録しますか？ and registers (local, kind 3) on OK.
#pragma once

#include <QDialog>
#include <string>

#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "startup/prompter.h"
#include "startup/settings.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mok::ui {

class CorrectionDialog : public QDialog {
  Q_OBJECT

 public:
  CorrectionDialog(const Settings& settings, db::AddressDatabase& database,
                   engine::Recognizer& recognizer, Prompter& prompter, std::u16string address,
                   QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  // The mouse released over the address: its selection becomes the word to replace.
  void TakeSelectedWord();
  // The address box holds the address to correct: a typed change is refused and undone.
  void KeepAddress();
  // Every new word must pass the check again before it can be registered.
  void RequireNewCheck();
  void CheckCorrection();
  void RegisterWord();

 private:
  // Takes the address into its box and resets the options and the register button.
  void Reset();
  // Kind of the learned word (1 prefecture, 2 city, 3 town) from the parts of the uncorrected
  // address; 0 when the word overlaps none of them.
  int WordKind() const;

  const Settings& settings_;
  db::AddressDatabase& database_;
  engine::Recognizer& recognizer_;
  Prompter& prompter_;
  const std::u16string address_;  // the address to correct
  std::u16string oldWord_;        // the selected (wrong) word, taken at check time
  std::u16string newWord_;        // the replacement, taken at check time
  bool restoring_ = false;

  QLineEdit* addressBox_;
  QLabel* oldWordLabel_;
  QLineEdit* newWordBox_;
  QLabel* correctedLabel_;
  QRadioButton* localOption_;
  QRadioButton* commonOption_;
  QPushButton* registerButton_;
};

}  // namespace mok::ui
