#include "ui/environment_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "startup/settings_file.h"
#include "ui/directory_chooser.h"
#include "ui/qt_text.h"

namespace mok::ui {

frmIniFile::frmIniFile(Settings& settings, std::u16string settingsFilePath, Prompter& prompter,
                       std::function<void()> reloadRegions, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      settingsFilePath_(std::move(settingsFilePath)),
      prompter_(prompter),
      reloadRegions_(std::move(reloadRegions)) {
  setObjectName("frmIniFile");
  setWindowTitle(QStringLiteral("MOK 環境設定"));
  setModal(true);

  auto* lblDbDir = new QLabel(QStringLiteral("データベース ディレクトリ"), this);
  lblDbDir->setObjectName("lblDbDir");
  txtDbDir_ = new QLineEdit(this);
  txtDbDir_->setObjectName("txtDbDir");
  txtDbDir_->setMinimumWidth(360);
  lblDbDir->setBuddy(txtDbDir_);
  auto* cmdDbDir = new QPushButton(QStringLiteral("..."), this);
  cmdDbDir->setObjectName("cmdDbDir");
  cmdDbDir->setFixedWidth(cmdDbDir->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
  auto* cmdExit = new QPushButton(QStringLiteral("設定"), this);
  cmdExit->setObjectName("cmdExit");
  cmdExit->setDefault(true);
  auto* cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  cmdCancel->setObjectName("cmdCancel");

  auto* layout = new QGridLayout(this);
  layout->addWidget(lblDbDir, 0, 0, 1, 2);
  layout->addWidget(txtDbDir_, 1, 0);
  layout->addWidget(cmdDbDir, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdExit);
  buttons->addWidget(cmdCancel);
  layout->addLayout(buttons, 2, 0, 1, 2);
  layout->setColumnStretch(0, 1);

  connect(cmdDbDir, &QPushButton::clicked, this, &frmIniFile::cmdDbDir_Click);
  connect(cmdExit, &QPushButton::clicked, this, &frmIniFile::cmdExit_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

  Form_Load();
}

void frmIniFile::Form_Load() {
  adjustSize();
  CentreOnScreen(this);
  LoadSettings(settings_, settingsFilePath_, prompter_);
  txtDbDir_->setText(Q(settings_.dbDir));
}

void frmIniFile::cmdDbDir_Click() {
  DirectoryChoice choice{U(txtDbDir_->text()), false};
  frmSelectDir chooser(choice, prompter_, this);
  chooser.exec();
  if (choice.BlnDirSelected)
    txtDbDir_->setText(Q(choice.StrSelectedDir));
}

void frmIniFile::UpdateIniFile() {
  settings_.dbDir = U(txtDbDir_->text());
  SaveSettings(settings_, settingsFilePath_);
}

void frmIniFile::cmdExit_Click() {
  UpdateIniFile();
  // The folder is stored as typed, not checked: a wrong folder shows up as the database
  // message of the region-list reload, and the dialog closes all the same.
  if (reloadRegions_)
    reloadRegions_();
  accept();
}

}  // namespace mok::ui
