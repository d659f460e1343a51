// The environment settings dialog: the database folder, and the server that holds the main
// database when an office shares one (empty: the folder's own mok2.sqlite). It re-reads the
// settings file when it opens, so it starts from the file's current content; 設定 stores both at
// once and has the main window reload its region list from the main database they name.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "startup/prompter.h"
#include "startup/settings.h"

class QLineEdit;

namespace mok::ui {

class EnvironmentDialog : public QDialog {
  Q_OBJECT
 public:
  // `reloadRegions` is called after the folder was stored: the main window points its database
  // at the new folder and refills the region list.
  EnvironmentDialog(Settings& settings, std::u16string settingsFilePath, Prompter& prompter,
                    std::function<void()> reloadRegions, QWidget* parent = nullptr);

 private slots:
  // Opens the folder chooser on the folder box.
  void ChooseFolder();
  // 設定: stores the folder and the server, has the regions reloaded and closes; a server name
  // that cannot be stored (not a server's address, or one with a password) is said instead.
  void SaveFolder();

 private:
  void Load();

  Settings& settings_;
  std::u16string settingsFilePath_;
  Prompter& prompter_;
  std::function<void()> reloadRegions_;
  QLineEdit* folderBox_;
  QLineEdit* serverBox_;
};

}  // namespace mok::ui
