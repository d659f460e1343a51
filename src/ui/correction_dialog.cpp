#include "ui/correction_dialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "engine/rules/address_fields.h"
#include "text/text.h"
#include "ui/qt_text.h"

namespace mok::ui {

namespace {

// A part X of the address overlaps the word when either contains the other (ignoring case,
// width and kana type); an empty part is contained in every non-empty word.
bool Overlaps(const std::u16string& part, const std::u16string& word) {
  return text::InStr(part, word) > 0 || text::InStr(word, part) > 0;
}

}  // namespace

frmEdit::frmEdit(const Settings& settings, db::AddressDatabase& database,
                 engine::Recognizer& recognizer, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      database_(database),
      recognizer_(recognizer),
      prompter_(prompter) {
  setObjectName("frmEdit");
  setWindowTitle(QStringLiteral("MOK 辞書編集ツール"));

  Label1_ = new QLabel(QStringLiteral("修正する語句をドラッグで選択してください。"), this);
  Label1_->setObjectName("Label1");
  txtAddress_ = new QLineEdit(this);
  txtAddress_->setObjectName("txtAddress");
  txtAddress_->setMinimumWidth(420);
  lblOldWord_ = new QLabel(QStringLiteral("変換対象の語句"), this);
  lblOldWord_->setObjectName("lblOldWord");
  lblOldWord_->setFrameShape(QFrame::StyledPanel);
  lblOldWord_->setMinimumWidth(150);
  Label3_ = new QLabel(QStringLiteral("→"), this);
  Label3_->setObjectName("Label3");
  txtNewWord_ = new QLineEdit(QStringLiteral("変換後の語句"), this);
  txtNewWord_->setObjectName("txtNewWord");
  Label2_ = new QLabel(QStringLiteral("語句を修正してください。"), this);
  Label2_->setObjectName("Label2");
  lblAddress_ = new QLabel(QStringLiteral("変換後の表記"), this);
  lblAddress_->setObjectName("lblAddress");
  lblAddress_->setFrameShape(QFrame::StyledPanel);
  frameWordType_ = new QGroupBox(QStringLiteral("語句のタイプ"), this);
  frameWordType_->setObjectName("frameWordType");
  optLocalWord_ = new QRadioButton(QStringLiteral("ローカル"), frameWordType_);
  optLocalWord_->setObjectName("optLocalWord");
  optCommonWord_ = new QRadioButton(QStringLiteral("共通"), frameWordType_);
  optCommonWord_->setObjectName("optCommonWord");
  cmdCheck_ = new QPushButton(QStringLiteral("確認"), this);
  cmdCheck_->setObjectName("cmdCheck");
  cmdRegist_ = new QPushButton(QStringLiteral("辞書登録"), this);
  cmdRegist_->setObjectName("cmdRegist");
  cmdCancel_ = new QPushButton(QStringLiteral("閉じる"), this);
  cmdCancel_->setObjectName("cmdCancel");

  // Enter in the new-word box runs the check, without taking the focus away while typing.
  cmdCheck_->setAutoDefault(false);
  cmdRegist_->setAutoDefault(false);
  cmdCancel_->setAutoDefault(false);
  cmdCheck_->setDefault(true);

  auto* words = new QHBoxLayout;
  words->addWidget(lblOldWord_, 1);
  words->addWidget(Label3_);
  words->addWidget(txtNewWord_, 1);

  auto* typeLayout = new QHBoxLayout(frameWordType_);
  typeLayout->addWidget(optLocalWord_);
  typeLayout->addWidget(optCommonWord_);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(frameWordType_);
  buttons->addStretch(1);
  buttons->addWidget(cmdCheck_);
  buttons->addWidget(cmdRegist_);
  buttons->addWidget(cmdCancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1_);
  layout->addWidget(txtAddress_);
  layout->addLayout(words);
  layout->addWidget(Label2_);
  layout->addWidget(lblAddress_);
  layout->addLayout(buttons);

  setTabOrder(txtAddress_, txtNewWord_);
  setTabOrder(txtNewWord_, optLocalWord_);
  setTabOrder(optLocalWord_, cmdCheck_);
  setTabOrder(cmdCheck_, cmdRegist_);
  setTabOrder(cmdRegist_, cmdCancel_);

  txtAddress_->installEventFilter(this);
  connect(txtAddress_, &QLineEdit::textChanged, this, [this] { txtAddress_Change(); });
  connect(txtNewWord_, &QLineEdit::textChanged, this, [this] { txtNewWord_Change(); });
  connect(cmdCheck_, &QPushButton::clicked, this, [this] { cmdCheck_Click(); });
  connect(cmdRegist_, &QPushButton::clicked, this, [this] { cmdRegist_Click(); });
  connect(cmdCancel_, &QPushButton::clicked, this, [this] { close(); });

  Form_Load();
}

void frmEdit::Form_Load() {
  txtAddress_->setText(Q(StrEditAddress));
  BlnCommonWord = false;
  BlnLocalWord = true;
  optCommonWord_->setChecked(BlnCommonWord);
  optLocalWord_->setChecked(BlnLocalWord);
  cmdRegist_->setEnabled(false);
}

void frmEdit::showEvent(QShowEvent* event) {
  // The opener sets StrEditAddress between creating the dialog and showing it.
  if (!event->spontaneous())
    Form_Load();
  QDialog::showEvent(event);
}

bool frmEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtAddress_ && event->type() == QEvent::MouseButtonRelease) {
    // Let the box finish its own handling of the release first, so the selection is final.
    txtAddress_->event(event);
    txtAddress_MouseUp();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void frmEdit::txtAddress_MouseUp() {
  const QString selected = txtAddress_->selectedText();
  lblOldWord_->setText(selected);
  txtNewWord_->setText(selected);
  txtNewWord_->setFocus(Qt::MouseFocusReason);
  txtNewWord_->selectAll();
}

void frmEdit::txtAddress_Change() {
  if (restoring_)
    return;
  if (U(txtAddress_->text()) == StrEditAddress)
    return;
  prompter_.ShowMessage(u"選択した語句の修正は、下の編集ボックスで行ってください。",
                        MessageIcon::Critical);
  restoring_ = true;
  txtAddress_->setText(Q(StrEditAddress));
  restoring_ = false;
}

void frmEdit::txtNewWord_Change() {
  // Every new word must pass the check again before it can be registered.
  cmdRegist_->setEnabled(false);
}

std::u16string frmEdit::ReplaceFirstWord(const std::u16string& address,
                                         const std::u16string& oldWord,
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

void frmEdit::cmdCheck_Click() {
  const std::u16string address = U(txtAddress_->text());
  StrOldWord = text::TrimAscii(U(lblOldWord_->text()));
  StrNewWord = text::TrimAscii(U(txtNewWord_->text()));

  const std::u16string corrected = ReplaceFirstWord(address, StrOldWord, StrNewWord);
  lblAddress_->setText(Q(corrected));

  if (recognizer_.RecognizeAddress(corrected).code == engine::ResultCode::Converted) {
    prompter_.ShowMessage(u"修正結果が住所データに一致しました。");
    cmdRegist_->setEnabled(true);
    cmdRegist_->setFocus();
  } else {
    prompter_.ShowMessage(u"修正結果が住所データに一致しません。");
  }
}

int frmEdit::WordKind() const {
  // An empty word would be a prefix of every text and rewrite every later lookup, so it
  // belongs to no part.
  if (StrOldWord.empty())
    return 0;
  // Only the parts matter here, not whether the split completed.
  const engine::AddressParts parts =
      recognizer_.SplitAddress(engine::StripQuotesAndSpaces(StrEditAddress)).parts;
  if (!parts.prefecture.empty() && Overlaps(parts.prefecture, StrOldWord))
    return 1;
  if (Overlaps(parts.Municipality(), StrOldWord))
    return 2;
  if (Overlaps(parts.townName, StrOldWord))
    return 3;
  return 0;
}

void frmEdit::cmdRegist_Click() {
  const std::u16string pair = u"<" + StrOldWord + u"→" + StrNewWord + u">";
  if (prompter_.Ask(pair + u"をユーザー辞書に登録しますか？", MessageButtons::OkCancel) !=
      Answer::Ok) {
    return;
  }
  const int kind = WordKind();
  if (kind == 0) {
    prompter_.ShowMessage(u"選択が不明です。");
    return;
  }
  const int32_t scope = optCommonWord_->isChecked() ? 0 : database_.Region().number;
  const auto registered = database_.RegisterLearnedWord(scope, static_cast<engine::WordKind>(kind),
                                                        StrOldWord, StrNewWord);
  if (registered && *registered == db::Registration::Added) {
    prompter_.ShowMessage(pair + u"をユーザー辞書に登録しました。");
    return;
  }
  if (!registered)
    prompter_.ShowMessage(registered.error().Text() + u"\r\n学習辞書");
  else
    prompter_.ShowMessage(u"'" + StrOldWord + u"' → '" + StrNewWord + u"'は既に登録されています。");
  prompter_.ShowMessage(pair + u"をユーザー辞書の登録に失敗しました。");
}

}  // namespace mok::ui
