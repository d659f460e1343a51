// The detailed conversion settings dialog. Every check box and every pair of option buttons stands
// for one settings field; 設定 copies them back and saves section "MOK", ｷｬﾝｾﾙ changes nothing.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "startup/prompter.h"
#include "startup/settings.h"

class QCheckBox;
class QGroupBox;
class QRadioButton;
class QVBoxLayout;

namespace mok::ui {

class ConversionOptionsDialog : public QDialog {
  Q_OBJECT
 public:
  ConversionOptionsDialog(Settings& settings, std::u16string settingsFilePath, Prompter& prompter,
                          QWidget* parent = nullptr);

 private slots:
  // 設定: copies the controls back into the settings and saves them.
  void SaveOptions();

 private:
  struct FlagBox {
    QCheckBox* box;
    bool Settings::*field;
  };
  QCheckBox* AddFlag(QWidget* parent, const char* name, const char16_t* caption,
                     bool Settings::*field);
  // The controls, part by part.
  QGroupBox* BuildOutputFields();
  QVBoxLayout* BuildRunOptions();
  void BuildHiddenOptions();
  void LoadOptions();

  Settings& settings_;
  std::u16string settingsFilePath_;
  Prompter& prompter_;
  std::vector<FlagBox> flags_;
  QRadioButton* combinedTownOption_;
  QRadioButton* separateTownOption_;
  QRadioButton* csvOption_;
  QRadioButton* excelOption_;
};

}  // namespace mok::ui
