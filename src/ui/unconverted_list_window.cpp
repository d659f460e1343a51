#include "ui/unconverted_list_window.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "ui/correction_dialog.h"
#include "ui/named_widgets.h"
#include "ui/qt_text.h"

namespace mok::ui {

UnconvertedListWindow::UnconvertedListWindow(const Settings& settings,
                                             db::AddressDatabase& database,
                                             engine::Recognizer& recognizer, Prompter& prompter,
                                             QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      database_(database),
      recognizer_(recognizer),
      prompter_(prompter) {
  setObjectName("frmIneffectAdr");
  setWindowTitle(QStringLiteral("MOK 変換不能住所"));

  addressBox_ = TextBox(this, "txtIneffectAdr");
  addressList_ = new QListWidget(this);
  addressList_->setObjectName("lstIneffectAdr");
  addressList_->setMinimumSize(460, 260);
  QPushButton* editButton = Button(this, "cmdEdit", u"編集");
  QPushButton* exitButton = Button(this, "cmdExit", u"終了");
  editButton->setAutoDefault(false);
  exitButton->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(editButton);
  buttons->addWidget(exitButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(addressBox_);
  layout->addWidget(addressList_, 1);
  layout->addLayout(buttons);

  addressBox_->installEventFilter(this);
  connect(addressList_, &QListWidget::itemClicked, this,
          &UnconvertedListWindow::ShowSelectedAddress);
  connect(addressList_, &QListWidget::currentRowChanged, this,
          &UnconvertedListWindow::ShowSelectedAddress);
  connect(addressBox_, &QLineEdit::textChanged, this, [this] {
    if (addressList_->currentRow() >= 0)
      changed_ = true;
  });
  connect(editButton, &QPushButton::clicked, this, &UnconvertedListWindow::EditSelectedAddress);
  connect(exitButton, &QPushButton::clicked, this, &QWidget::close);
}

bool UnconvertedListWindow::FillUnconvertedRows(const batch::RunFiles& run) {
  const batch::UnconvertedRows found = batch::CollectUnconvertedRows(run, settings_);
  if (found.failure) {
    prompter_.ShowMessage(found.failure->Text());
    return false;
  }
  if (!found.stopNotice.empty())
    prompter_.ShowMessage(found.stopNotice);
  addressList_->clear();
  for (const batch::UnconvertedRow& row : found.rows)
    addressList_->addItem(Q(row.address));
  return true;
}

void UnconvertedListWindow::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    adjustSize();
    CentreOnScreen(this);
  }
  QDialog::showEvent(event);
}

bool UnconvertedListWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == addressBox_) {
    if (event->type() == QEvent::FocusIn)
      StartEditing();
    if (event->type() == QEvent::FocusOut)
      FinishEditing();
  }
  return QDialog::eventFilter(watched, event);
}

void UnconvertedListWindow::ShowSelectedAddress() {
  const QListWidgetItem* item = addressList_->currentItem();
  if (item)
    addressBox_->setText(item->text());
}

void UnconvertedListWindow::StartEditing() {
  if (addressList_->currentRow() < 0)
    return;
  changed_ = false;
  savedText_ = U(addressBox_->text());
}

void UnconvertedListWindow::FinishEditing() {
  QListWidgetItem* item = addressList_->currentItem();
  if (!item)
    return;
  const std::u16string text = U(addressBox_->text());
  if (text != savedText_ && changed_)
    item->setText(Q(text));
  changed_ = false;
}

void UnconvertedListWindow::EditSelectedAddress() {
  if (addressList_->currentRow() < 0)
    return;
  CorrectionDialog dialog(settings_, database_, recognizer_, prompter_, U(addressBox_->text()),
                          this);
  dialog.exec();
}

void ListUnconvertedRows(const batch::RunFiles& run, const Settings& settings,
                         db::AddressDatabase& database, engine::Recognizer& recognizer,
                         Prompter& prompter, const std::function<void(bool)>& setRunningState,
                         QWidget* parent) {
  UnconvertedListWindow window(settings, database, recognizer, prompter, parent);
  if (window.FillUnconvertedRows(run))
    window.exec();
  if (setRunningState)
    setRunningState(false);
}

}  // namespace mok::ui
