// The general folder chooser. The caller creates it on the folder to start at, shows it modally and
// afterwards reads the chosen folder. The path box is editable and its text is what OK returns,
// whether or not that folder exists.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "startup/prompter.h"

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QModelIndex;
class QTreeView;

namespace mok::ui {

class DirectoryChooser : public QDialog {
  Q_OBJECT
 public:
  // A start folder that is not absolute (also "") opens the chooser at the current folder.
  DirectoryChooser(std::u16string startFolder, Prompter& prompter, QWidget* parent = nullptr);

  // The folder of the path box when the chooser was closed with OK; nullopt after a cancel.
  const std::optional<std::u16string>& ChosenFolder() const { return chosen_; }

  // Closing with Escape or the title bar is a cancel.
  void reject() override;

 private slots:
  void ChangeDrive(int index);
  void ShowClickedFolder(const QModelIndex& index);
  void OpenFolder(const QModelIndex& index);
  void AcceptTypedFolder();

 private:
  void Load(const std::u16string& startFolder);
  void ShowFolderPath();
  void MoveFolderList(const QString& path);
  // Scrolls the list back to the current folder unless the user has scrolled or clicked in it
  // since the list was last moved.
  void KeepCurrentFolderInView();

  Prompter& prompter_;
  std::optional<std::u16string> chosen_;
  QLineEdit* pathBox_;
  QComboBox* driveBox_;
  QTreeView* folderList_;
  QFileSystemModel* model_;
  QString currentDir_;  // the folder the folder list is on
  bool followCurrent_ = true;
};

}  // namespace mok::ui
