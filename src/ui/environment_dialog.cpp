#include "ui/environment_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "batch/database_message.h"
#include "db/main_store_open.h"
#include "startup/settings_file.h"
#include "ui/directory_chooser.h"
#include "ui/named_widgets.h"
#include "ui/qt_text.h"

namespace mok::ui {

EnvironmentDialog::EnvironmentDialog(Settings& settings, std::u16string settingsFilePath,
                                     Prompter& prompter, std::function<void()> reloadRegions,
                                     QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      settingsFilePath_(std::move(settingsFilePath)),
      prompter_(prompter),
      reloadRegions_(std::move(reloadRegions)) {
  setObjectName("frmIniFile");
  setWindowTitle(QStringLiteral("MOK 環境設定"));
  setModal(true);

  QLabel* folderLabel = Label(this, "lblDbDir", u"データベース ディレクトリ");
  folderBox_ = TextBox(this, "txtDbDir");
  folderBox_->setMinimumWidth(360);
  folderLabel->setBuddy(folderBox_);
  QPushButton* browseButton = Button(this, "cmdDbDir", u"...");
  browseButton->setFixedWidth(
      browseButton->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
  QLabel* serverLabel =
      Label(this, "lblMainDb",
            u"メインデータベースのサーバー（空欄のときはデータベース ディレクトリのもの）");
  serverBox_ = TextBox(this, "txtMainDb");
  serverBox_->setPlaceholderText(QStringLiteral("postgresql://サーバー/データベース名"));
  serverLabel->setBuddy(serverBox_);
  QPushButton* saveButton = Button(this, "cmdExit", u"設定");
  saveButton->setDefault(true);
  QPushButton* cancelButton = Button(this, "cmdCancel", u"ｷｬﾝｾﾙ");

  auto* layout = new QGridLayout(this);
  layout->addWidget(folderLabel, 0, 0, 1, 2);
  layout->addWidget(folderBox_, 1, 0);
  layout->addWidget(browseButton, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(saveButton);
  buttons->addWidget(cancelButton);
  layout->addWidget(serverLabel, 2, 0, 1, 2);
  layout->addWidget(serverBox_, 3, 0, 1, 2);
  layout->addLayout(buttons, 4, 0, 1, 2);
  layout->setColumnStretch(0, 1);

  connect(browseButton, &QPushButton::clicked, this, &EnvironmentDialog::ChooseFolder);
  connect(saveButton, &QPushButton::clicked, this, &EnvironmentDialog::SaveFolder);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

  Load();
}

void EnvironmentDialog::Load() {
  adjustSize();
  CentreOnScreen(this);
  LoadSettings(settings_, settingsFilePath_, prompter_);
  folderBox_->setText(Q(settings_.dbDir));
  serverBox_->setText(Q(settings_.mainDb));
}

void EnvironmentDialog::ChooseFolder() {
  DirectoryChooser chooser(U(folderBox_->text()), prompter_, this);
  chooser.exec();
  if (const auto folder = chooser.ChosenFolder())
    folderBox_->setText(Q(*folder));
}

void EnvironmentDialog::SaveFolder() {
  const std::u16string server = U(serverBox_->text().trimmed());
  if (const DbStatus usable = db::CheckServerSetting(server); !usable) {
    prompter_.ShowMessage(batch::DatabaseMessage(usable.error()));
    serverBox_->setFocus();
    return;
  }
  settings_.dbDir = U(folderBox_->text());
  settings_.mainDb = server;
  SaveSettings(settings_, settingsFilePath_);
  // The folder is stored as typed, not checked: a wrong folder shows up as the database
  // message of the region-list reload, and the dialog closes all the same.
  if (reloadRegions_)
    reloadRegions_();
  accept();
}

}  // namespace mok::ui
