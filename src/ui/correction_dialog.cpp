#include "ui/correction_dialog.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "batch/database_message.h"
#include "engine/forwarding_store.h"
#include "engine/recognition/learned_word_kind.h"
#include "engine/rules/address_fields.h"
#include "text/text.h"
#include "ui/named_widgets.h"
#include "ui/qt_text.h"

namespace mok::ui {

namespace {

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

// The kind of character for a double click's word: a run of one kind is one word. ヶ and 々
// belong to the kanji (霞ヶ関, 代々木).
int CharacterKind(char16_t c) {
  if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
      (c >= 0xF900 && c <= 0xFAFF) || c == u'々' || c == u'〆' || c == u'ヶ' || c == u'ヵ') {
    return 1;
  }
  if (c >= 0x3041 && c <= 0x309F)
    return 2;
  if ((c >= 0x30A0 && c <= 0x30FF) || (c >= 0xFF66 && c <= 0xFF9F))
    return 3;
  if ((c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９'))
    return 4;
  if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'Ａ' && c <= u'Ｚ') ||
      (c >= u'ａ' && c <= u'ｚ')) {
    return 5;
  }
  return 0;  // punctuation, spaces, separators: a word of their own
}

// The address data without the learning dictionary: an address split as it is written.
class WithoutLearnedWords : public engine::ForwardingStore {
 public:
  using ForwardingStore::ForwardingStore;
  DbResult<std::optional<engine::LearnedWord>> FindLearnedWord(engine::WordKind,
                                                               std::u16string_view) override {
    return std::optional<engine::LearnedWord>();
  }
};

}  // namespace

CorrectionDialog::CorrectionDialog(const Settings& settings, db::AddressDatabase& database,
                                   const engine::Recognizer& recognizer, Prompter& prompter,
                                   std::u16string address, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      database_(database),
      recognizer_(recognizer),
      prompter_(prompter),
      address_(std::move(address)) {
  setObjectName("frmEdit");
  setWindowTitle(QStringLiteral("MOK 辞書編集ツール"));

  QLabel* selectHint = Label(
      this, "Label1",
      u"修正する語句をドラッグ（またはダブルクリック）するか、Shift＋矢印キーで選択してください。");
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
  checkResultLabel_ = Label(this, "lblCheckResult", u"");
  auto* wordTypeFrame = Named<QGroupBox>(this, "frameWordType", u"語句のタイプ");
  localOption_ = Named<QRadioButton>(wordTypeFrame, "optLocalWord", u"ローカル");
  commonOption_ = Named<QRadioButton>(wordTypeFrame, "optCommonWord", u"共通");
  checkButton_ = Button(this, "cmdCheck", u"確認");
  registerButton_ = Button(this, "cmdRegist", u"辞書登録");
  QPushButton* closeButton = Button(this, "cmdCancel", u"閉じる");

  // Enter presses the button that has the focus; in the boxes it runs the check, or registers
  // once a check has succeeded.
  for (QPushButton* button : {checkButton_, registerButton_, closeButton})
    button->setAutoDefault(true);
  checkButton_->setDefault(true);

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
  buttons->addWidget(checkButton_);
  buttons->addWidget(registerButton_);
  buttons->addWidget(closeButton);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(selectHint);
  layout->addWidget(addressBox_);
  layout->addLayout(words);
  layout->addWidget(correctHint);
  layout->addWidget(correctedLabel_);
  layout->addWidget(checkResultLabel_);
  layout->addLayout(buttons);

  setTabOrder(addressBox_, newWordBox_);
  setTabOrder(newWordBox_, localOption_);
  setTabOrder(localOption_, checkButton_);
  setTabOrder(checkButton_, registerButton_);
  setTabOrder(registerButton_, closeButton);

  addressBox_->installEventFilter(this);
  connect(addressBox_, &QLineEdit::textChanged, this, &CorrectionDialog::KeepAddress);
  connect(newWordBox_, &QLineEdit::textChanged, this, &CorrectionDialog::RequireNewCheck);
  connect(addressBox_, &QLineEdit::selectionChanged, this, &CorrectionDialog::ShowSelectedWord);
  connect(checkButton_, &QPushButton::clicked, this, &CorrectionDialog::CheckCorrection);
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
  if (watched != addressBox_)
    return QDialog::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonRelease:
      // Let the box finish its own handling of the release first, so the selection is final.
      addressBox_->event(event);
      TakeSelectedWord();
      return true;
    case QEvent::MouseButtonDblClick: {
      // The release that ends the double click follows; the word taken here is still selected
      // then (TakeSelectedWord selects it again), so the release takes the same word.
      const auto [start, length] = WordAt(
          addressBox_->cursorPositionAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
      addressBox_->setSelection(start, length);
      TakeSelectedWord();
      return true;
    }
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if ((key == Qt::Key_Return || key == Qt::Key_Enter) && addressBox_->hasSelectedText()) {
        TakeSelectedWord();
        return true;
      }
      break;
    }
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

std::pair<int, int> CorrectionDialog::WordAt(int at) const {
  const std::u16string& address = address_;
  if (at < 0 || static_cast<std::size_t>(at) >= address.size())
    return {at, 0};
  // The parts as the split finds them, looked up in the address in their order.
  const engine::AddressParts parts =
      recognizer_.SplitAddress(engine::StripQuotesAndSpaces(address_), database_).parts;
  std::size_t from = 1;
  for (const std::u16string* part :
       {&parts.prefecture, &parts.city, &parts.ward, &parts.townName}) {
    if (part->empty())
      continue;
    const std::size_t found = text::InStr(address, *part, from);
    if (found == 0)
      continue;
    const int start = static_cast<int>(found - 1);
    if (at >= start && at < start + static_cast<int>(part->size()))
      return {start, static_cast<int>(part->size())};
    from = found + part->size();
  }
  const int kind = CharacterKind(address[static_cast<std::size_t>(at)]);
  int start = at;
  int end = at + 1;
  while (kind != 0 && start > 0 &&
         CharacterKind(address[static_cast<std::size_t>(start - 1)]) == kind)
    --start;
  while (kind != 0 && static_cast<std::size_t>(end) < address.size() &&
         CharacterKind(address[static_cast<std::size_t>(end)]) == kind) {
    ++end;
  }
  return {start, end - start};
}

void CorrectionDialog::ShowSelectedWord() {
  // Only a selection the user makes in the box counts (not the box's own select-all on focus).
  if (!addressBox_->hasFocus() || !addressBox_->hasSelectedText())
    return;
  const QString selected = addressBox_->selectedText();
  oldWordLabel_->setText(selected);
  newWordBox_->setText(selected);
}

void CorrectionDialog::TakeSelectedWord() {
  const int start = addressBox_->selectionStart();
  const QString selected = addressBox_->selectedText();
  oldWordLabel_->setText(selected);
  newWordBox_->setText(selected);
  newWordBox_->setFocus(Qt::MouseFocusReason);
  newWordBox_->selectAll();
  // The box drops its selection with the focus; it is selected again, so that the address still
  // shows which word the new word replaces, and the release that ends a double click (it comes
  // after the word was taken) takes the same word instead of an empty one.
  if (start >= 0)
    addressBox_->setSelection(start, static_cast<int>(selected.size()));
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
  checkButton_->setDefault(true);
  checkResultLabel_->clear();
}

void CorrectionDialog::ShowCheckResult(const std::u16string& text, bool matched) {
  checkResultLabel_->setText(Q(text));
  checkResultLabel_->setStyleSheet(matched ? QStringLiteral("color: #006400")
                                           : QStringLiteral("color: #b00000"));
}

void CorrectionDialog::CheckCorrection() {
  const std::u16string address = U(addressBox_->text());
  oldWord_ = text::TrimAscii(U(oldWordLabel_->text()));
  newWord_ = text::TrimAscii(U(newWordBox_->text()));

  const std::u16string corrected = ReplaceFirstWord(address, oldWord_, newWord_);
  correctedLabel_->setText(Q(corrected));

  // The result shows in the dialog, next to the corrected address it speaks of, rather than in
  // one more window over the dialog and the list it was opened from.
  if (recognizer_.RecognizeAddress(corrected, database_).code == engine::ResultCode::Converted) {
    ShowCheckResult(u"修正結果が住所データに一致しました。", true);
    registerButton_->setEnabled(true);
    registerButton_->setDefault(true);
    registerButton_->setFocus();
  } else {
    ShowCheckResult(u"修正結果が住所データに一致しません。", false);
  }
}

engine::AddressParts CorrectionDialog::Parts(const std::u16string& address, bool asWritten) const {
  const std::u16string cleaned = engine::StripQuotesAndSpaces(address);
  if (!asWritten)
    return recognizer_.SplitAddress(cleaned, database_).parts;
  WithoutLearnedWords store(database_);
  return recognizer_.SplitAddress(cleaned, store).parts;
}

void CorrectionDialog::RegisterWord() {
  const std::u16string pair = u"<" + oldWord_ + u"→" + newWord_ + u">";
  if (prompter_.Ask(pair + u"をユーザー辞書に登録しますか？", MessageButtons::OkCancel) !=
      Answer::Ok) {
    return;
  }
  // The kind comes from the parts of the uncorrected address; whether its split completed does
  // not matter. A word the dictionary holds already rewrites its part of the address, which then
  // no longer shows the word: its kind is found in the address as written, and the dictionary
  // answers that the pair is there.
  bool asWritten = false;
  std::optional<engine::WordKind> kind = engine::LearnedWordKind(Parts(address_, false), oldWord_);
  if (!kind) {
    asWritten = true;
    kind = engine::LearnedWordKind(Parts(address_, true), oldWord_);
  }
  if (!kind) {
    prompter_.ShowMessage(u"選択が不明です。");
    return;
  }
  // A pair that could never apply is not stored (issue 21).
  if (!engine::ReplacementStaysInPart(
          Parts(address_, asWritten),
          Parts(ReplaceFirstWord(address_, oldWord_, newWord_), asWritten), *kind, newWord_)) {
    const std::u16string part(engine::PartName(*kind));
    prompter_.ShowMessage(
        pair + u"は登録できません。「" + newWord_ + u"」は" + part +
            u"の範囲を越えているため、辞書の語句として使われることがありません。" + part +
            u"の部分だけを選んで修正して下さい。",
        MessageIcon::Warning);
    return;
  }
  const int32_t scope = commonOption_->isChecked() ? 0 : database_.Region().number;
  const auto registered = database_.RegisterLearnedWord(scope, *kind, oldWord_, newWord_);
  if (registered && *registered == db::Registration::Added) {
    prompter_.ShowMessage(pair + u"をユーザー辞書に登録しました。");
    if (registered_)
      registered_({scope, *kind, oldWord_, newWord_});
    return;
  }
  // One message says what happened: the pair is there already, or the dictionary failed.
  if (registered) {
    prompter_.ShowMessage(u"「" + oldWord_ + u"」→「" + newWord_ + u"」は既に登録されています。");
    return;
  }
  prompter_.ShowMessage(pair + u"をユーザー辞書の登録に失敗しました。\r\n" +
                        batch::DatabaseMessage(registered.error()));
}

}  // namespace mok::ui
