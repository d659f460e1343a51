#include "ui/directory_chooser.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/named_widgets.h"
#include "ui/qt_text.h"

namespace mok::ui {

DirectoryChooser::DirectoryChooser(std::u16string startFolder, Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
  setObjectName("frmSelectDir");
  setWindowTitle(QStringLiteral("ディレクトリ選択"));
  setModal(true);

  pathBox_ = TextBox(this, "txtSelectDir");
  driveBox_ = new QComboBox(this);
  driveBox_->setObjectName("drvSelDrv");
  for (const QFileInfo& drive : QDir::drives()) {
    driveBox_->addItem(QDir::toNativeSeparators(drive.absoluteFilePath()));
  }

  // A folder tree stands in for the drive-relative folder list: it shows folders only, and
  // its current entry is the folder the list is "on".
  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setRootPath(QString());
  folderList_ = new QTreeView(this);
  folderList_->setObjectName("dirSelDir");
  folderList_->setModel(model_);
  for (int column = 1; column < model_->columnCount(); ++column)
    folderList_->hideColumn(column);
  folderList_->header()->hide();
  folderList_->setMinimumSize(320, 260);

  QPushButton* okButton = Button(this, "cmdOk", u"OK");
  okButton->setDefault(true);
  QPushButton* cancelButton = Button(this, "cmdCancel", u"ｷｬﾝｾﾙ");

  auto* left = new QVBoxLayout;
  left->addWidget(pathBox_);
  left->addWidget(driveBox_);
  left->addWidget(folderList_, 1);
  auto* right = new QVBoxLayout;
  right->addWidget(okButton);
  right->addWidget(cancelButton);
  right->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(right);

  // The model reads the folders in the background: once the folders on the way to the current
  // one are read, the list is moved there again, so that it opens on the current folder rather
  // than on the root.
  connect(model_, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
    const QString folder = QDir::cleanPath(loaded);
    if (currentDir_ == folder ||
        currentDir_.startsWith(folder.endsWith('/') ? folder : folder + '/'))
      MoveFolderList(currentDir_);
  });
  // Folders read later and the model's delayed sort move the rows after the list was moved:
  // until the user scrolls or clicks, the list is brought back to the current folder each time.
  for (const auto changed : {&QFileSystemModel::rowsInserted, &QFileSystemModel::rowsRemoved}) {
    connect(model_, changed, this, &DirectoryChooser::KeepCurrentFolderInView,
            Qt::QueuedConnection);
  }
  connect(model_, &QFileSystemModel::layoutChanged, this,
          &DirectoryChooser::KeepCurrentFolderInView, Qt::QueuedConnection);
  connect(folderList_->verticalScrollBar(), &QScrollBar::actionTriggered, this,
          [this] { followCurrent_ = false; });
  connect(folderList_, &QTreeView::pressed, this, [this] { followCurrent_ = false; });
  connect(driveBox_, &QComboBox::activated, this, &DirectoryChooser::ChangeDrive);
  connect(folderList_, &QTreeView::clicked, this, &DirectoryChooser::ShowClickedFolder);
  connect(folderList_, &QTreeView::activated, this, &DirectoryChooser::OpenFolder);
  connect(okButton, &QPushButton::clicked, this, &DirectoryChooser::AcceptTypedFolder);
  connect(cancelButton, &QPushButton::clicked, this, &DirectoryChooser::reject);

  Load(startFolder);
}

void DirectoryChooser::Load(const std::u16string& startFolder) {
  adjustSize();
  CentreOnScreen(this);
  // A path that is not absolute (also an empty one) names no place to start from: the chooser
  // opens at the process's current folder instead.
  QString start = Q(startFolder);
  if (start.isEmpty() || !QDir::isAbsolutePath(start))
    start = QDir::toNativeSeparators(QDir::currentPath());
  pathBox_->setText(start);
  const int drive = driveBox_->findText(QDir::toNativeSeparators(QDir(start).rootPath()));
  if (drive >= 0)
    driveBox_->setCurrentIndex(drive);
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

void DirectoryChooser::MoveFolderList(const QString& path) {
  currentDir_ = QDir::cleanPath(path);
  followCurrent_ = true;
  const QModelIndex index = model_->index(currentDir_);
  if (!index.isValid())
    return;
  folderList_->setCurrentIndex(index);
  folderList_->expand(index);
  folderList_->scrollTo(index, QAbstractItemView::PositionAtTop);
}

void DirectoryChooser::KeepCurrentFolderInView() {
  if (!followCurrent_)
    return;
  const QModelIndex index = model_->index(currentDir_);
  if (index.isValid())
    folderList_->scrollTo(index, QAbstractItemView::PositionAtTop);
}

void DirectoryChooser::ChangeDrive(int index) {
  const QString root = driveBox_->itemText(index);
  if (!QFileInfo(root).isDir() || !QFileInfo(root).isReadable()) {
    prompter_.ShowMessage(u"デバイスが準備されていません。");
    return;
  }
  MoveFolderList(root);
  ShowFolderPath();
}

void DirectoryChooser::ShowClickedFolder(const QModelIndex& index) {
  pathBox_->setText(QDir::toNativeSeparators(model_->filePath(index)));
}

void DirectoryChooser::OpenFolder(const QModelIndex& index) {
  MoveFolderList(model_->filePath(index));
  ShowFolderPath();
}

void DirectoryChooser::ShowFolderPath() {
  pathBox_->setText(QDir::toNativeSeparators(currentDir_));
}

void DirectoryChooser::AcceptTypedFolder() {
  chosen_ = U(pathBox_->text());
  accept();
}

void DirectoryChooser::reject() {
  chosen_.reset();
  QDialog::reject();
}

}  // namespace mok::ui
