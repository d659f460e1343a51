// The correction dialog: the user selects the wrong word of an address that failed to convert,
// types the right word, checks that the corrected address now converts, and registers the pair in
// the learning dictionary for the current region or for all regions.
//
// Openers create it on the address and show it modally (exec()); every showing starts afresh on
// that address. The wrong word is chosen by dragging over it, by a double click (which takes the
// part of the address under the pointer: はち山 in 東京都渋谷区はち山1-1) or with Shift and the
// arrow keys; Enter in the address then moves on to the new word. Enter presses the button that
// has the focus, else 確認 (after a successful check 辞書登録). Example: address
// 東京都渋谷区はち山1-1, selection はち山, new word 鉢山 -> corrected address 東京都渋谷区鉢山1-1;
// when that converts, 辞書登録 asks <はち山→鉢山>をユーザー辞書に登録しますか？ and registers
// (local, a town word) on OK.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <utility>

#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "startup/prompter.h"
#include "startup/settings.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mok::ui {

// A word pair the dialog registered: its scope (0 common, else the region number) and kind.
struct LearnedWord {
  int32_t scope = 0;
  engine::WordKind kind = engine::WordKind::Town;
  std::u16string registered;
  std::u16string converted;
};

class CorrectionDialog : public QDialog {
  Q_OBJECT

 public:
  CorrectionDialog(const Settings& settings, db::AddressDatabase& database,
                   const engine::Recognizer& recognizer, Prompter& prompter, std::u16string address,
                   QWidget* parent = nullptr);

  // Told of every word pair the dialog registers.
  void SetRegisteredHandler(std::function<void(const LearnedWord&)> handler) {
    registered_ = std::move(handler);
  }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  // The mouse released over the address (or Enter pressed in it): its selection becomes the word
  // to replace, and the new-word box takes the focus.
  void TakeSelectedWord();
  // The selection of the address changed (also with the keyboard): it is the word to replace.
  void ShowSelectedWord();
  // The address box holds the address to correct: a typed change is refused and undone.
  void KeepAddress();
  // Every new word must pass the check again before it can be registered.
  void RequireNewCheck();
  void CheckCorrection();
  void RegisterWord();

 private:
  // Takes the address into its box and resets the options and the register button.
  void Reset();
  // The word around position `at` (0-based) of the address, as start and length: the part of the
  // address (prefecture, municipality, ward, town name) that holds it, or else the run of
  // characters of one kind (kanji, hiragana, katakana, digits…) around it.
  std::pair<int, int> WordAt(int at) const;
  // The parts of `address` as the split finds them with the learning dictionary, or as written
  // (`asWritten`: no learned word applied).
  engine::AddressParts Parts(const std::u16string& address, bool asWritten) const;
  // The check's result, in the dialog rather than in a box over it.
  void ShowCheckResult(const std::u16string& text, bool matched);

  const Settings& settings_;
  db::AddressDatabase& database_;
  const engine::Recognizer& recognizer_;
  Prompter& prompter_;
  const std::u16string address_;  // the address to correct
  std::u16string oldWord_;        // the selected (wrong) word, taken at check time
  std::u16string newWord_;        // the replacement, taken at check time
  bool restoring_ = false;
  std::function<void(const LearnedWord&)> registered_;

  QLineEdit* addressBox_;
  QLabel* oldWordLabel_;
  QLineEdit* newWordBox_;
  QLabel* correctedLabel_;
  QLabel* checkResultLabel_;
  QRadioButton* localOption_;
  QRadioButton* commonOption_;
  QPushButton* checkButton_;
  QPushButton* registerButton_;
};

}  // namespace mok::ui
