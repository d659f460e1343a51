#include "ui/unconverted_list_window.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/named_widgets.h"
#include "ui/qt_text.h"

namespace mok::ui {
namespace {
constexpr int kAddressColumn = 1;
}  // namespace

UnconvertedListWindow::UnconvertedListWindow(const Settings& settings,
                                             db::AddressDatabase& database,
                                             const engine::Recognizer& recognizer,
                                             Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      database_(database),
      recognizer_(recognizer),
      prompter_(prompter) {
  setObjectName("frmIneffectAdr");
  setWindowTitle(QStringLiteral("MOK 変換不能住所"));

  addressBox_ = TextBox(this, "txtIneffectAdr");
  addressList_ = new QTreeWidget(this);
  addressList_->setObjectName("lstIneffectAdr");
  addressList_->setRootIsDecorated(false);
  addressList_->setHeaderLabels(
      {QStringLiteral("行"), QStringLiteral("住所"), QStringLiteral("レコード")});
  addressList_->setMinimumSize(560, 260);
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
  connect(addressList_, &QTreeWidget::itemClicked, this,
          &UnconvertedListWindow::ShowSelectedAddress);
  connect(addressList_, &QTreeWidget::currentItemChanged, this,
          &UnconvertedListWindow::ShowSelectedAddress);
  connect(addressList_, &QTreeWidget::itemDoubleClicked, this,
          &UnconvertedListWindow::EditSelectedAddress);
  connect(addressBox_, &QLineEdit::textChanged, this, [this] {
    if (addressList_->currentItem())
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
  for (const batch::UnconvertedRow& row : found.rows) {
    auto* item = new QTreeWidgetItem(
        addressList_, {QString::number(row.lineNumber), Q(row.address), Q(row.record)});
    item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
  }
  for (int column = 0; column < addressList_->columnCount(); ++column)
    addressList_->resizeColumnToContents(column);
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
  if (const QTreeWidgetItem* item = addressList_->currentItem())
    addressBox_->setText(item->text(kAddressColumn));
}

void UnconvertedListWindow::StartEditing() {
  if (!addressList_->currentItem())
    return;
  changed_ = false;
  savedText_ = U(addressBox_->text());
}

void UnconvertedListWindow::FinishEditing() {
  QTreeWidgetItem* item = addressList_->currentItem();
  if (!item)
    return;
  const std::u16string text = U(addressBox_->text());
  if (text != savedText_ && changed_)
    item->setText(kAddressColumn, Q(text));
  changed_ = false;
}

void UnconvertedListWindow::EditSelectedAddress() {
  if (!addressList_->currentItem())
    return;
  CorrectionDialog dialog(settings_, database_, recognizer_, prompter_, U(addressBox_->text()),
                          this);
  dialog.SetRegisteredHandler(registered_);
  dialog.exec();
}

void ListUnconvertedRows(const batch::RunFiles& run, const Settings& settings,
                         db::AddressDatabase& database, const engine::Recognizer& recognizer,
                         Prompter& prompter, const std::function<void(bool)>& setRunningState,
                         QWidget* parent,
                         const std::function<void(const LearnedWord&)>& registered) {
  UnconvertedListWindow window(settings, database, recognizer, prompter, parent);
  window.SetRegisteredHandler(registered);
  if (window.FillUnconvertedRows(run))
    window.exec();
  if (setRunningState)
    setRunningState(false);
}

}  // namespace mok::ui
