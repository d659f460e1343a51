// frmConvertOption: the detailed conversion settings. Every check box and every pair of option
// buttons stands for one settings field; 設定 copies them back and saves section "MOK", ｷｬﾝｾﾙ
// changes nothing.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "startup/prompter.h"
#include "startup/settings.h"

class QCheckBox;
class QRadioButton;

namespace mok::ui {

class frmConvertOption : public QDialog {
  Q_OBJECT
 public:
  frmConvertOption(Settings& settings, std::u16string settingsFilePath, Prompter& prompter,
                   QWidget* parent = nullptr);

 private:
  struct FlagBox {
    QCheckBox* box;
    bool Settings::*field;
  };
  QCheckBox* AddFlag(QWidget* parent, const char* name, const char16_t* caption,
                     bool Settings::*field);
  void Form_Load();
  void cmdOK_Click();

  Settings& settings_;
  std::u16string settingsFilePath_;
  Prompter& prompter_;
  std::vector<FlagBox> flags_;
  QRadioButton* optCombine_;
  QRadioButton* optSeparation_;
  QRadioButton* optCsv_;
  QRadioButton* optExcel_;
};

}  // namespace mok::ui
