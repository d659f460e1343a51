#include "ui/unconverted_list_window.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "ui/correction_dialog.h"
#include "ui/qt_text.h"

namespace mok::ui {

frmIneffectAdr::frmIneffectAdr(const Settings& settings, db::AddressDatabase& database,
                               engine::Recognizer& recognizer, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      database_(database),
      recognizer_(recognizer),
      prompter_(prompter) {
  setObjectName("frmIneffectAdr");
  setWindowTitle(QStringLiteral("MOK 変換不能住所"));

  txtIneffectAdr_ = new QLineEdit(this);
  txtIneffectAdr_->setObjectName("txtIneffectAdr");
  lstIneffectAdr_ = new QListWidget(this);
  lstIneffectAdr_->setObjectName("lstIneffectAdr");
  lstIneffectAdr_->setMinimumSize(460, 260);
  cmdEdit_ = new QPushButton(QStringLiteral("編集"), this);
  cmdEdit_->setObjectName("cmdEdit");
  cmdExit_ = new QPushButton(QStringLiteral("終了"), this);
  cmdExit_->setObjectName("cmdExit");
  cmdEdit_->setAutoDefault(false);
  cmdExit_->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdEdit_);
  buttons->addWidget(cmdExit_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(txtIneffectAdr_);
  layout->addWidget(lstIneffectAdr_, 1);
  layout->addLayout(buttons);

  txtIneffectAdr_->installEventFilter(this);
  connect(lstIneffectAdr_, &QListWidget::itemClicked, this, [this] { lstIneffectAdr_Click(); });
  connect(lstIneffectAdr_, &QListWidget::currentRowChanged, this,
          [this] { lstIneffectAdr_Click(); });
  connect(txtIneffectAdr_, &QLineEdit::textChanged, this, [this] {
    if (lstIneffectAdr_->currentRow() >= 0)
      changed_ = true;
  });
  connect(cmdEdit_, &QPushButton::clicked, this, [this] { cmdEdit_Click(); });
  connect(cmdExit_, &QPushButton::clicked, this, [this] { close(); });

  OpenCorrectionDialog = [this](const std::u16string& address) {
    frmEdit dialog(settings_, database_, recognizer_, prompter_, this);
    dialog.StrEditAddress = address;
    dialog.exec();
  };
}

bool frmIneffectAdr::FillUnconvertedRows(const UnconvertedRunFiles& run) {
  const auto addresses = CollectUnconvertedAddresses(run, settings_, prompter_);
  if (!addresses)
    return false;
  lstIneffectAdr_->clear();
  for (const auto& address : *addresses)
    lstIneffectAdr_->addItem(Q(address));
  return true;
}

void frmIneffectAdr::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    adjustSize();
    CentreOnScreen(this);
  }
  QDialog::showEvent(event);
}

bool frmIneffectAdr::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtIneffectAdr_) {
    if (event->type() == QEvent::FocusIn)
      txtIneffectAdr_GotFocus();
    if (event->type() == QEvent::FocusOut)
      txtIneffectAdr_LostFocus();
  }
  return QDialog::eventFilter(watched, event);
}

void frmIneffectAdr::lstIneffectAdr_Click() {
  const QListWidgetItem* item = lstIneffectAdr_->currentItem();
  if (item)
    txtIneffectAdr_->setText(item->text());
}

void frmIneffectAdr::txtIneffectAdr_GotFocus() {
  if (lstIneffectAdr_->currentRow() < 0)
    return;
  changed_ = false;
  savedText_ = U(txtIneffectAdr_->text());
}

void frmIneffectAdr::txtIneffectAdr_LostFocus() {
  QListWidgetItem* item = lstIneffectAdr_->currentItem();
  if (!item)
    return;
  const std::u16string text = U(txtIneffectAdr_->text());
  if (text != savedText_ && changed_)
    item->setText(Q(text));
  changed_ = false;
}

void frmIneffectAdr::cmdEdit_Click() {
  if (lstIneffectAdr_->currentRow() < 0)
    return;
  if (OpenCorrectionDialog)
    OpenCorrectionDialog(U(txtIneffectAdr_->text()));
}

void ListUnconvertedRows(const UnconvertedRunFiles& run, const Settings& settings,
                         db::AddressDatabase& database, engine::Recognizer& recognizer,
                         Prompter& prompter, const std::function<void(bool)>& setRunningState,
                         QWidget* parent) {
  frmIneffectAdr window(settings, database, recognizer, prompter, parent);
  if (window.FillUnconvertedRows(run))
    window.exec();
  if (setRunningState)
    setRunningState(false);
}

}  // namespace mok::ui
