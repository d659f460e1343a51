// frmSelectDir: the general folder chooser. The caller sets StrSelectedDir to the folder to start
// at, shows the dialog modally and afterwards reads BlnDirSelected and StrSelectedDir. The path
// box is editable and its text is what OK returns, whether or not that folder exists.
#pragma once

#include <QDialog>
#include <string>

#include "startup/prompter.h"

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace mok::ui {

// The values the chooser shares with its callers.
struct DirectoryChoice {
  std::u16string StrSelectedDir;  // in: start folder; out: chosen folder, "" after cancel
  bool BlnDirSelected = false;    // out: closed with OK
};

class frmSelectDir : public QDialog {
  Q_OBJECT
 public:
  frmSelectDir(DirectoryChoice& choice, Prompter& prompter, QWidget* parent = nullptr);

  // Closing with Escape or the title bar is a cancel.
  void reject() override;

 private:
  void Form_Load();
  void drvSelDrv_Change(int index);
  void dirSelDir_Click(const QModelIndex& index);
  void ShowDirPath();
  void cmdOk_Click();
  void MoveFolderList(const QString& path);

  DirectoryChoice& choice_;
  Prompter& prompter_;
  QLineEdit* txtSelectDir_;
  QComboBox* drvSelDrv_;
  QTreeView* dirSelDir_;
  QFileSystemModel* model_;
  QPushButton* cmdOk_;
  QPushButton* cmdCancel_;
  QString currentDir_;  // the folder the folder list is on
};

}  // namespace mok::ui
