// frmEdit, the correction dialog: the user selects the wrong word of an address that failed to
// convert, types the right word, checks that the corrected address now converts, and registers
// the pair in the learning dictionary for the current region or for all regions.
//
// Openers set StrEditAddress and show the dialog modally (exec()); the dialog takes the address
// when it is shown. Example: address 東京都渋谷区はち山1-1, selection はち山, new word 鉢山 ->
// corrected address 東京都渋谷区鉢山1-1; when that converts, 辞書登録 asks
// <はち山→鉢山>をユーザー辞書に登録しますか？ and registers (local, kind 3) on OK.
#pragma once

#include <QDialog>
#include <string>

#include "db/address_database.h"
#include "engine/recognition/recognizer.h"
#include "startup/prompter.h"
#include "startup/settings.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mok::ui {

class frmEdit : public QDialog {
  Q_OBJECT

 public:
  frmEdit(const Settings& settings, db::AddressDatabase& database, engine::Recognizer& recognizer,
          Prompter& prompter, QWidget* parent = nullptr);

  // Public fields: set by the opener before showing, read back afterwards.
  std::u16string StrEditAddress;  // the address to correct; the address box is held to it
  std::u16string StrOldWord;      // the selected (wrong) word, taken at check time
  std::u16string StrNewWord;      // the replacement, taken at check time
  bool BlnCommonWord = false;     // initial state of the common-word option
  bool BlnLocalWord = true;       // initial state of the local-word option

  // Takes StrEditAddress into the address box and resets the options and the register button.
  // Runs by itself whenever the dialog is shown.
  void Form_Load();

  // The event handlers, public so that the run and the tests can drive them directly.
  void txtAddress_MouseUp();
  void cmdCheck_Click();
  void cmdRegist_Click();

  // What cmdCheck builds: the first occurrence of oldWord in address (ignoring case, width and
  // kana type) replaced by newWord; an absent or empty oldWord puts newWord in front.
  static std::u16string ReplaceFirstWord(const std::u16string& address,
                                         const std::u16string& oldWord,
                                         const std::u16string& newWord);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void txtAddress_Change();
  void txtNewWord_Change();
  // Kind of the learned word (1 prefecture, 2 city, 3 town) from the parts of the uncorrected
  // address; 0 when the word overlaps none of them.
  int WordKind() const;

  const Settings& settings_;
  db::AddressDatabase& database_;
  engine::Recognizer& recognizer_;
  Prompter& prompter_;
  bool restoring_ = false;

  QLabel* Label1_;
  QLineEdit* txtAddress_;
  QLabel* lblOldWord_;
  QLabel* Label3_;
  QLineEdit* txtNewWord_;
  QLabel* Label2_;
  QLabel* lblAddress_;
  QGroupBox* frameWordType_;
  QRadioButton* optLocalWord_;
  QRadioButton* optCommonWord_;
  QPushButton* cmdCheck_;
  QPushButton* cmdRegist_;
  QPushButton* cmdCancel_;
};

}  // namespace mok::ui
