// frmIniFile: the environment settings, i.e. the database folder. It re-reads the settings file
// when it opens, so it starts from the file's current content; 設定 stores the folder at once and
// has the main window reload its region list from the main database in that folder.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "startup/prompter.h"
#include "startup/settings.h"

class QLineEdit;

namespace mok::ui {

class frmIniFile : public QDialog {
  Q_OBJECT
 public:
  // `reloadRegions` is called after the folder was stored: the main window points its database
  // at the new folder and refills the region list.
  frmIniFile(Settings& settings, std::u16string settingsFilePath, Prompter& prompter,
             std::function<void()> reloadRegions, QWidget* parent = nullptr);

  // Stores the text of the folder box in the settings and saves section "MOK".
  void UpdateIniFile();

 private:
  void Form_Load();
  void cmdDbDir_Click();
  void cmdExit_Click();

  Settings& settings_;
  std::u16string settingsFilePath_;
  Prompter& prompter_;
  std::function<void()> reloadRegions_;
  QLineEdit* txtDbDir_;
};

}  // namespace mok::ui
