#include "ui/correction_dialog.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "batch/database_message.h"
#include "engine/rules/address_fields.h"
#include "text/text.h"
#include "ui/named_widgets.h"
#include "ui/qt_text.h"

namespace mok::ui {

namespace {

// A part X of the address overlaps the word when either contains the other (ignoring case,
// width and kana type); an empty part is contained in every non-empty word.
bool Overlaps(const std::u16string& part, const std::u16string& word) {
  return text::InStr(part, word) > 0 || text::InStr(word, part) > 0;
}

// What the check builds: the first occurrence of oldWord in address (ignoring case, width and
// kana type) replaced by newWord; an absent or empty oldWord puts newWord in front.
std::u16string ReplaceFirstWord(const std::u16string& address, const std::u16string& oldWord,
                                const std::u16string& newWord) {
  const std::size_t d = oldWord.empty() ? 1 : text::InStr(address, oldWord);
  if (d == 0)
    return newWord + address;  // nothing to replace: keep the whole address
  std::u16string corrected = text::Left(address, d - 1) + newWord;
  const std::size_t consumed = d - 1 + oldWord.size();
  if (address.size() > consumed)
    corrected += text::Right(address, address.size() - consumed);
  return corrected;
}

}  // namespace

CorrectionDialog::CorrectionDialog(const Settings& settings, db::AddressDatabase& database,
                                   engine::Recognizer& recognizer, Prompter& prompter,
                                   std::u16string address, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      database_(database),
      recognizer_(recognizer),
      prompter_(prompter),
      address_(std::move(address)) {
  setObjectName("frmEdit");
  setWindowTitle(QStringLiteral("MOK 辞書編集ツール"));

  QLabel* selectHint = Label(this, "Label1", u"修正する語句をドラッグで選択してください。");
  addressBox_ = TextBox(this, "txtAddress");
  addressBox_->setMinimumWidth(420);
  oldWordLabel_ = Label(this, "lblOldWord", u"変換対象の語句");
  oldWordLabel_->setFrameShape(QFrame::StyledPanel);
  oldWordLabel_->setMinimumWidth(150);
  QLabel* arrow = Label(this, "Label3", u"→");
  newWordBox_ = Named<QLineEdit>(this, "txtNewWord", u"変換後の語句");
  QLabel* correctHint = Label(this, "Label2", u"語句を修正してください。");
  correctedLabel_ = Label(this, "lblAddress", u"変換後の表記");
  correctedLabel_->setFrameShape(QFrame::StyledPanel);
  auto* wordTypeFrame = Named<QGroupBox>(this, "frameWordType", u"語句のタイプ");
  localOption_ = Named<QRadioButton>(wordTypeFrame, "optLocalWord", u"ローカル");
  commonOption_ = Named<QRadioButton>(wordTypeFrame, "optCommonWord", u"共通");
  QPushButton* checkButton = Button(this, "cmdCheck", u"確認");
  registerButton_ = Button(this, "cmdRegist", u"辞書登録");
  QPushButton* closeButton = Button(this, "cmdCancel", u"閉じる");

  // Enter in the new-word box runs the check, without taking the focus away while typing.
  checkButton->setAutoDefault(false);
  registerButton_->setAutoDefault(false);
  closeButton->setAutoDefault(false);
  checkButton->setDefault(true);

  auto* words = new QHBoxLayout;
  words->addWidget(oldWordLabel_, 1);
  words->addWidget(arrow);
  words->addWidget(newWordBox_, 1);

  auto* typeLayout = new QHBoxLayout(wordTypeFrame);
  typeLayout->addWidget(localOption_);
  typeLayout->addWidget(commonOption_);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(wordTypeFrame);
  buttons->addStretch(1);
  buttons->addWidget(checkButton);
  buttons->addWidget(registerButton_);
  buttons->addWidget(closeButton);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(selectHint);
  layout->addWidget(addressBox_);
  layout->addLayout(words);
  layout->addWidget(correctHint);
  layout->addWidget(correctedLabel_);
  layout->addLayout(buttons);

  setTabOrder(addressBox_, newWordBox_);
  setTabOrder(newWordBox_, localOption_);
  setTabOrder(localOption_, checkButton);
  setTabOrder(checkButton, registerButton_);
  setTabOrder(registerButton_, closeButton);

  addressBox_->installEventFilter(this);
  connect(addressBox_, &QLineEdit::textChanged, this, &CorrectionDialog::KeepAddress);
  connect(newWordBox_, &QLineEdit::textChanged, this, &CorrectionDialog::RequireNewCheck);
  connect(checkButton, &QPushButton::clicked, this, &CorrectionDialog::CheckCorrection);
  connect(registerButton_, &QPushButton::clicked, this, &CorrectionDialog::RegisterWord);
  connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

  Reset();
}

void CorrectionDialog::Reset() {
  addressBox_->setText(Q(address_));
  commonOption_->setChecked(false);
  localOption_->setChecked(true);
  registerButton_->setEnabled(false);
}

void CorrectionDialog::showEvent(QShowEvent* event) {
  if (!event->spontaneous())
    Reset();
  QDialog::showEvent(event);
}

bool CorrectionDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == addressBox_ && event->type() == QEvent::MouseButtonRelease) {
    // Let the box finish its own handling of the release first, so the selection is final.
    addressBox_->event(event);
    TakeSelectedWord();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void CorrectionDialog::TakeSelectedWord() {
  const QString selected = addressBox_->selectedText();
  oldWordLabel_->setText(selected);
  newWordBox_->setText(selected);
  newWordBox_->setFocus(Qt::MouseFocusReason);
  newWordBox_->selectAll();
}

void CorrectionDialog::KeepAddress() {
  if (restoring_)
    return;
  if (U(addressBox_->text()) == address_)
    return;
  prompter_.ShowMessage(u"選択した語句の修正は、下の編集ボックスで行ってください。",
                        MessageIcon::Critical);
  restoring_ = true;
  addressBox_->setText(Q(address_));
  restoring_ = false;
}

void CorrectionDialog::RequireNewCheck() {
  registerButton_->setEnabled(false);
}

void CorrectionDialog::CheckCorrection() {
  const std::u16string address = U(addressBox_->text());
  oldWord_ = text::TrimAscii(U(oldWordLabel_->text()));
  newWord_ = text::TrimAscii(U(newWordBox_->text()));

  const std::u16string corrected = ReplaceFirstWord(address, oldWord_, newWord_);
  correctedLabel_->setText(Q(corrected));

  if (recognizer_.RecognizeAddress(corrected).code == engine::ResultCode::Converted) {
    prompter_.ShowMessage(u"修正結果が住所データに一致しました。");
    registerButton_->setEnabled(true);
    registerButton_->setFocus();
  } else {
    prompter_.ShowMessage(u"修正結果が住所データに一致しません。");
  }
}

int CorrectionDialog::WordKind() const {
  // An empty word would be a prefix of every text and rewrite every later lookup, so it
  // belongs to no part.
  if (oldWord_.empty())
    return 0;
  // Only the parts matter here, not whether the split completed.
  const engine::AddressParts parts =
      recognizer_.SplitAddress(engine::StripQuotesAndSpaces(address_)).parts;
  if (!parts.prefecture.empty() && Overlaps(parts.prefecture, oldWord_))
    return 1;
  if (Overlaps(parts.Municipality(), oldWord_))
    return 2;
  if (Overlaps(parts.townName, oldWord_))
    return 3;
  return 0;
}

void CorrectionDialog::RegisterWord() {
  const std::u16string pair = u"<" + oldWord_ + u"→" + newWord_ + u">";
  if (prompter_.Ask(pair + u"をユーザー辞書に登録しますか？", MessageButtons::OkCancel) !=
      Answer::Ok) {
    return;
  }
  const int kind = WordKind();
  if (kind == 0) {
    prompter_.ShowMessage(u"選択が不明です。");
    return;
  }
  const int32_t scope = commonOption_->isChecked() ? 0 : database_.Region().number;
  const auto registered =
      database_.RegisterLearnedWord(scope, static_cast<engine::WordKind>(kind), oldWord_, newWord_);
  if (registered && *registered == db::Registration::Added) {
    prompter_.ShowMessage(pair + u"をユーザー辞書に登録しました。");
    return;
  }
  // One message says what happened: the pair is there already, or the dictionary failed.
  if (registered) {
    prompter_.ShowMessage(u"'" + oldWord_ + u"' → '" + newWord_ + u"'は既に登録されています。");
    return;
  }
  prompter_.ShowMessage(pair + u"をユーザー辞書の登録に失敗しました。\r\n" +
                        batch::DatabaseMessage(registered.error()));
}

}  // namespace mok::ui
