#include "ui/directory_chooser.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/qt_text.h"

namespace mok::ui {

frmSelectDir::frmSelectDir(DirectoryChoice& choice, Prompter& prompter, QWidget* parent)
    : QDialog(parent), choice_(choice), prompter_(prompter) {
  setObjectName("frmSelectDir");
  setWindowTitle(QStringLiteral("ディレクトリ選択"));
  setModal(true);

  txtSelectDir_ = new QLineEdit(this);
  txtSelectDir_->setObjectName("txtSelectDir");
  drvSelDrv_ = new QComboBox(this);
  drvSelDrv_->setObjectName("drvSelDrv");
  for (const QFileInfo& drive : QDir::drives()) {
    drvSelDrv_->addItem(QDir::toNativeSeparators(drive.absoluteFilePath()));
  }

  // A folder tree stands in for the drive-relative folder list: it shows folders only, and
  // its current entry is the folder the list is "on".
  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setRootPath(QString());
  dirSelDir_ = new QTreeView(this);
  dirSelDir_->setObjectName("dirSelDir");
  dirSelDir_->setModel(model_);
  for (int column = 1; column < model_->columnCount(); ++column)
    dirSelDir_->hideColumn(column);
  dirSelDir_->header()->hide();
  dirSelDir_->setMinimumSize(320, 260);

  cmdOk_ = new QPushButton(QStringLiteral("OK"), this);
  cmdOk_->setObjectName("cmdOk");
  cmdOk_->setDefault(true);
  cmdCancel_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  cmdCancel_->setObjectName("cmdCancel");

  auto* left = new QVBoxLayout;
  left->addWidget(txtSelectDir_);
  left->addWidget(drvSelDrv_);
  left->addWidget(dirSelDir_, 1);
  auto* right = new QVBoxLayout;
  right->addWidget(cmdOk_);
  right->addWidget(cmdCancel_);
  right->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(right);

  connect(drvSelDrv_, &QComboBox::activated, this, &frmSelectDir::drvSelDrv_Change);
  connect(dirSelDir_, &QTreeView::clicked, this, &frmSelectDir::dirSelDir_Click);
  connect(dirSelDir_, &QTreeView::activated, this, [this](const QModelIndex& index) {
    MoveFolderList(model_->filePath(index));
    ShowDirPath();
  });
  connect(cmdOk_, &QPushButton::clicked, this, &frmSelectDir::cmdOk_Click);
  connect(cmdCancel_, &QPushButton::clicked, this, &frmSelectDir::reject);

  Form_Load();
}

void frmSelectDir::Form_Load() {
  adjustSize();
  CentreOnScreen(this);
  // A path that is not absolute (also an empty one) names no place to start from: the chooser
  // opens at the process's current folder instead.
  QString start = Q(choice_.StrSelectedDir);
  if (start.isEmpty() || !QDir::isAbsolutePath(start)) {
    start = QDir::toNativeSeparators(QDir::currentPath());
    choice_.StrSelectedDir = U(start);
  }
  txtSelectDir_->setText(start);
  const int drive = drvSelDrv_->findText(QDir::toNativeSeparators(QDir(start).rootPath()));
  if (drive >= 0)
    drvSelDrv_->setCurrentIndex(drive);
  // A folder that does not exist leaves the list on the nearest folder above it that does.
  QString existing = QDir::cleanPath(QDir::fromNativeSeparators(start));
  while (!existing.isEmpty() && !QFileInfo(existing).isDir()) {
    const QString up = QFileInfo(existing).path();
    if (up == existing)
      break;
    existing = up;
  }
  if (QFileInfo(existing).isDir())
    MoveFolderList(existing);
}

void frmSelectDir::MoveFolderList(const QString& path) {
  currentDir_ = QDir::cleanPath(path);
  const QModelIndex index = model_->index(currentDir_);
  if (!index.isValid())
    return;
  dirSelDir_->setCurrentIndex(index);
  dirSelDir_->expand(index);
  dirSelDir_->scrollTo(index);
}

void frmSelectDir::drvSelDrv_Change(int index) {
  const QString root = drvSelDrv_->itemText(index);
  if (!QFileInfo(root).isDir() || !QFileInfo(root).isReadable()) {
    prompter_.ShowMessage(u"デバイスが準備されていません。");
    return;
  }
  MoveFolderList(root);
  ShowDirPath();
}

void frmSelectDir::dirSelDir_Click(const QModelIndex& index) {
  txtSelectDir_->setText(QDir::toNativeSeparators(model_->filePath(index)));
}

void frmSelectDir::ShowDirPath() {
  txtSelectDir_->setText(QDir::toNativeSeparators(currentDir_));
}

void frmSelectDir::cmdOk_Click() {
  choice_.StrSelectedDir = U(txtSelectDir_->text());
  choice_.BlnDirSelected = true;
  accept();
}

void frmSelectDir::reject() {
  choice_.StrSelectedDir.clear();
  choice_.BlnDirSelected = false;
  QDialog::reject();
}

}  // namespace mok::ui
