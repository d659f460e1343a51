#include "ui/learning_dict_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <charconv>

#include "text/text.h"
#include "ui/qt_text.h"

namespace mok::ui {

namespace {

QPushButton* Button(const char* name, const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

QLabel* Label(const char* name, const QString& caption, QWidget* parent) {
  auto* l = new QLabel(caption, parent);
  l->setObjectName(name);
  return l;
}

template <class T>
T* Named(const char* name, const QString& caption, QWidget* parent) {
  auto* w = new T(caption, parent);
  w->setObjectName(name);
  return w;
}

QComboBox* RegionCombo(const char* name, QWidget* parent) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  // The combo's text may be set to a region name that is not in its list.
  c->setEditable(true);
  c->setInsertPolicy(QComboBox::NoInsert);
  c->setMinimumWidth(120);
  return c;
}

// The index of the entry whose text equals the combo's text exactly, -1 when none does.
int EntryOfText(const QComboBox* combo) {
  const QString text = combo->currentText();
  for (int i = 0; i < combo->count(); ++i) {
    if (combo->itemText(i) == text)
      return i;
  }
  return -1;
}

void SetComboText(QComboBox* combo, const QString& text) {
  const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  combo->setCurrentIndex(index);
  combo->setEditText(text);
}

std::optional<int64_t> ParseInteger(const std::u16string& text) {
  const std::string narrow = text::ToUtf8(text::Trim(text::ToNarrow(text)));
  int64_t value = 0;
  const char* first = narrow.data();
  const char* last = narrow.data() + narrow.size();
  if (first != last && *first == '+')
    ++first;
  auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last || first == last)
    return std::nullopt;
  return value;
}

}  // namespace

frmLearningDict::frmLearningDict(db::AddressDatabase& database, Prompter& prompter,
                                 const std::u16string& selectedRegion, QWidget* parent)
    : QDialog(parent),
      database_(database),
      prompter_(prompter),
      records_(std::make_unique<LearningDictRecords>()) {
  setObjectName("frmLearningDict");
  setWindowTitle(QStringLiteral("学習辞書編集"));

  // The current record.
  lblRegister_ = Label("lblRegister", QStringLiteral("登録字句"), this);
  txtRegister_ = new QLineEdit(this);
  txtRegister_->setObjectName("txtRegister");
  lblTransform_ = Label("lblTransform", QStringLiteral("変換字句"), this);
  txtTransform_ = new QLineEdit(this);
  txtTransform_->setObjectName("txtTransform");
  lblRefNo_ = Label("lblRefNo", QStringLiteral("参照回数"), this);
  txtRefNo_ = new QLineEdit(this);
  txtRefNo_->setObjectName("txtRefNo");

  frmUserType_ = Named<QGroupBox>("frmUserType", QStringLiteral("ユーザー"), this);
  optLocalUser_ = Named<QRadioButton>("optLocalUser", QStringLiteral("ローカル"), frmUserType_);
  cmbDbID_ = RegionCombo("cmbDbID", frmUserType_);
  optCommonUser_ = Named<QRadioButton>("optCommonUser", QStringLiteral("共通"), frmUserType_);
  frmTypeOpt_ = Named<QGroupBox>("frmTypeOpt", QStringLiteral("区分"), this);
  optCity_ = Named<QRadioButton>("optCity", QStringLiteral("市区町村"), frmTypeOpt_);
  optTown_ = Named<QRadioButton>("optTown", QStringLiteral("大字・町丁目"), frmTypeOpt_);

  lblRecordNo_ = Label("lblRecordNo", QStringLiteral("No. "), this);
  lblRecordNumCaption_ = Label("lblRecordNumCaption", QStringLiteral("件数："), this);
  lblRecordNum_ = Label("lblRecordNum", QStringLiteral("0 件"), this);
  cmdFirst_ = Button("cmdFirst", QStringLiteral("先頭"), this);
  cmdPrev_ = Button("cmdPrev", QStringLiteral("前"), this);
  cmdNext_ = Button("cmdNext", QStringLiteral("次"), this);
  cmdLast_ = Button("cmdLast", QStringLiteral("末尾"), this);
  cmdNew_ = Button("cmdNew", QStringLiteral("追加"), this);
  cmdDelete_ = Button("cmdDelete", QStringLiteral("削除"), this);

  // The search.
  frmSearch_ = Named<QGroupBox>("frmSearch", QStringLiteral("検索"), this);
  frmWord_ = Named<QGroupBox>("frmWord", QStringLiteral("字句"), frmSearch_);
  optSearchReg_ = Named<QRadioButton>("optSearchReg", QStringLiteral("登録字句"), frmWord_);
  optSearchTran_ = Named<QRadioButton>("optSearchTran", QStringLiteral("変換字句"), frmWord_);
  frmSerachType_ = Named<QGroupBox>("frmSerachType", QStringLiteral("区分"), frmSearch_);
  chkSearchCity_ = Named<QCheckBox>("chkSearchCity", QStringLiteral("市区町村"), frmSerachType_);
  chkSearchTown_ =
      Named<QCheckBox>("chkSearchTown", QStringLiteral("大字・町丁目"), frmSerachType_);
  frmSearchUser_ = Named<QGroupBox>("frmSearchUser", QStringLiteral("ユーザー"), frmSearch_);
  chkLocalUser_ = Named<QCheckBox>("chkLocalUser", QStringLiteral("ローカル"), frmSearchUser_);
  cmbSearchDbID_ = RegionCombo("cmbSearchDbID", frmSearchUser_);
  chkCommonUser_ = Named<QCheckBox>("chkCommonUser", QStringLiteral("共通"), frmSearchUser_);
  lblKeyWord_ = Label("lblKeyWord", QStringLiteral("キーワード"), frmSearch_);
  txtKeyWord_ = new QLineEdit(frmSearch_);
  txtKeyWord_->setObjectName("txtKeyWord");
  cmdSearch_ = Button("cmdSearch", QStringLiteral("検索"), frmSearch_);
  cmdExit_ = Button("cmdExit", QStringLiteral("終了"), this);

  // Layout.
  auto* recordGrid = new QGridLayout;
  recordGrid->addWidget(lblRegister_, 0, 0);
  recordGrid->addWidget(txtRegister_, 0, 1);
  recordGrid->addWidget(lblTransform_, 1, 0);
  recordGrid->addWidget(txtTransform_, 1, 1);
  recordGrid->addWidget(lblRefNo_, 2, 0);
  recordGrid->addWidget(txtRefNo_, 2, 1);

  auto* userLayout = new QGridLayout(frmUserType_);
  userLayout->addWidget(optLocalUser_, 0, 0);
  userLayout->addWidget(cmbDbID_, 0, 1);
  userLayout->addWidget(optCommonUser_, 1, 0);
  userLayout->setColumnStretch(2, 1);
  auto* typeLayout = new QVBoxLayout(frmTypeOpt_);
  typeLayout->addWidget(optCity_);
  typeLayout->addWidget(optTown_);
  auto* keys = new QHBoxLayout;
  keys->addWidget(frmUserType_, 1);
  keys->addWidget(frmTypeOpt_);

  auto* position = new QHBoxLayout;
  position->addWidget(lblRecordNo_);
  position->addStretch(1);
  position->addWidget(lblRecordNumCaption_);
  position->addWidget(lblRecordNum_);

  auto* moves = new QHBoxLayout;
  moves->addWidget(cmdFirst_);
  moves->addWidget(cmdPrev_);
  moves->addWidget(cmdNext_);
  moves->addWidget(cmdLast_);
  moves->addSpacing(12);
  moves->addWidget(cmdNew_);
  moves->addWidget(cmdDelete_);

  auto* wordLayout = new QVBoxLayout(frmWord_);
  wordLayout->addWidget(optSearchReg_);
  wordLayout->addWidget(optSearchTran_);
  auto* searchTypeLayout = new QVBoxLayout(frmSerachType_);
  searchTypeLayout->addWidget(chkSearchCity_);
  searchTypeLayout->addWidget(chkSearchTown_);
  auto* searchUserLayout = new QGridLayout(frmSearchUser_);
  searchUserLayout->addWidget(chkLocalUser_, 0, 0);
  searchUserLayout->addWidget(cmbSearchDbID_, 0, 1);
  searchUserLayout->addWidget(chkCommonUser_, 1, 0);
  searchUserLayout->setColumnStretch(2, 1);
  auto* searchGroups = new QHBoxLayout;
  searchGroups->addWidget(frmWord_);
  searchGroups->addWidget(frmSerachType_);
  searchGroups->addWidget(frmSearchUser_, 1);
  auto* keyword = new QHBoxLayout;
  keyword->addWidget(lblKeyWord_);
  keyword->addWidget(txtKeyWord_, 1);
  keyword->addWidget(cmdSearch_);
  auto* searchLayout = new QVBoxLayout(frmSearch_);
  searchLayout->addLayout(searchGroups);
  searchLayout->addLayout(keyword);

  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(cmdExit_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(recordGrid);
  layout->addLayout(keys);
  layout->addLayout(position);
  layout->addLayout(moves);
  layout->addWidget(frmSearch_);
  layout->addLayout(bottom);

  // Events.
  connect(cmdFirst_, &QPushButton::clicked, this, [this] { cmdFirst_Click(); });
  connect(cmdPrev_, &QPushButton::clicked, this, [this] { cmdPrev_Click(); });
  connect(cmdNext_, &QPushButton::clicked, this, [this] { cmdNext_Click(); });
  connect(cmdLast_, &QPushButton::clicked, this, [this] { cmdLast_Click(); });
  connect(cmdNew_, &QPushButton::clicked, this, [this] { cmdNew_Click(); });
  connect(cmdDelete_, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
  connect(cmdSearch_, &QPushButton::clicked, this, [this] { cmdSearch_Click(); });
  connect(cmdExit_, &QPushButton::clicked, this, [this] { close(); });
  connect(chkCommonUser_, &QCheckBox::toggled, this, [this](bool on) {
    if (!on)
      return;
    cmbSearchDbID_->setEnabled(false);
    chkLocalUser_->setChecked(false);
  });
  connect(chkLocalUser_, &QCheckBox::toggled, this, [this](bool on) {
    cmbSearchDbID_->setEnabled(on);
    if (on)
      chkCommonUser_->setChecked(false);
  });
  connect(optLocalUser_, &QRadioButton::toggled, this, [this](bool on) {
    if (on)
      cmbDbID_->setEnabled(true);
  });
  // What the user changes in the current record (and not the display of another record).
  auto touched = [this] { edited_ = true; };
  connect(txtRegister_, &QLineEdit::textEdited, this, touched);
  connect(txtTransform_, &QLineEdit::textEdited, this, touched);
  connect(txtRefNo_, &QLineEdit::textEdited, this, touched);
  connect(optLocalUser_, &QRadioButton::clicked, this, touched);
  connect(optCommonUser_, &QRadioButton::clicked, this, touched);
  connect(optCity_, &QRadioButton::clicked, this, touched);
  connect(optTown_, &QRadioButton::clicked, this, touched);
  connect(cmbDbID_, &QComboBox::activated, this, touched);
  connect(cmbDbID_, &QComboBox::editTextChanged, this, [this] {
    if (!showing_)
      edited_ = true;
  });

  Form_Load(selectedRegion);
}

frmLearningDict::~frmLearningDict() = default;

void frmLearningDict::Form_Load(const std::u16string& selectedRegion) {
  const std::u16string path = db::MainDatabasePath(database_.Folder());
  db::DbError error;
  std::vector<std::pair<std::u16string, std::u16string>> regions;
  if (!records_->Open(path, &error) || !records_->ReadRegions(regions, &error)) {
    prompter_.ShowMessage(error.Text());
  }
  for (const auto& [name, id] : regions) {
    cmbSearchDbID_->addItem(Q(name));
    cmbDbID_->addItem(Q(name));
    RegionIds.push_back(id);
  }
  cmbSearchDbID_->setCurrentIndex(-1);
  cmbDbID_->setCurrentIndex(-1);

  if (!selectedRegion.empty()) {
    chkLocalUser_->setChecked(true);
    cmbSearchDbID_->setEnabled(true);
    SetComboText(cmbSearchDbID_, Q(selectedRegion));
  } else {
    chkCommonUser_->setChecked(true);
    cmbSearchDbID_->setEnabled(false);
  }
  chkSearchCity_->setChecked(true);
  optSearchReg_->setChecked(true);
  BlnAdding = false;
}

void frmLearningDict::showEvent(QShowEvent* event) {
  if (!event->spontaneous() && !searched_) {
    searched_ = true;
    cmdSearch_Click();
  }
  QDialog::showEvent(event);
}

void frmLearningDict::reject() {
  // Leaving the window (終了, the title bar or Esc) leaves the record: what was typed into it is
  // kept when it is complete.
  if (RecordPos < records_->Count() && (edited_ || records_->Row(RecordPos).rowId == 0) &&
      ShownRecordComplete()) {
    StoreRecordKeys();
  }
  QDialog::reject();
}

void frmLearningDict::cmdSearch_Click() {
  if (BlnAdding) {
    CheckShownRecord();
    return;
  }
  // A changed record is kept before the set is read again.
  if (edited_ && RecordPos < records_->Count() && ShownRecordComplete()) {
    if (!StoreRecordKeys())
      return;
  }

  LearningDictSearch search;
  search.commonOnly = chkCommonUser_->isChecked();
  if (!search.commonOnly && chkLocalUser_->isChecked()) {
    const int entry = EntryOfText(cmbSearchDbID_);
    if (entry >= 0) {
      if (auto number = ParseInteger(RegionIds[static_cast<size_t>(entry)])) {
        search.regionNo = static_cast<int32_t>(*number);
      }
    }
  }
  search.city = chkSearchCity_->isChecked();
  search.town = chkSearchTown_->isChecked();
  search.keyword = U(txtKeyWord_->text());
  search.field = optSearchReg_->isChecked()    ? KeywordField::Registered
                 : optSearchTran_->isChecked() ? KeywordField::Converted
                                               : KeywordField::Either;
  db::DbError error;
  if (records_->IsOpen() && !records_->Search(search, &error)) {
    prompter_.ShowMessage(error.Text());
  }
  RecordCount = records_->Count();
  RecordPos = 0;
  ShowRecord();
}

void frmLearningDict::ShowPosition() {
  lblRecordNo_->setText(QStringLiteral("No. ") + QString::number(RecordPos + 1));
  lblRecordNum_->setText(QString::number(RecordCount) + QStringLiteral(" 件"));
}

void frmLearningDict::ShowBoundFields() {
  showing_ = true;
  if (RecordPos >= 0 && RecordPos < records_->Count()) {
    const LearningDictRow& row = records_->Row(RecordPos);
    txtRegister_->setText(Q(row.registeredWord.value_or(u"")));
    txtTransform_->setText(Q(row.convertedWord.value_or(u"")));
    txtRefNo_->setText(row.referenceCount ? QString::number(*row.referenceCount) : QString());
  } else {
    txtRegister_->clear();
    txtTransform_->clear();
    txtRefNo_->clear();
  }
  showing_ = false;
  edited_ = false;
}

void frmLearningDict::ShowRecordKeys() {
  if (RecordPos < 0 || RecordPos >= records_->Count())
    return;
  const LearningDictRow& row = records_->Row(RecordPos);
  showing_ = true;
  const int32_t scope = row.fldDbNo.value_or(0);
  if (scope != 0) {
    optLocalUser_->setChecked(true);
    for (size_t i = 0; i < RegionIds.size(); ++i) {
      const auto id = ParseInteger(RegionIds[i]);
      if (id && *id == scope) {
        cmbDbID_->setCurrentIndex(static_cast<int>(i));
        break;
      }
    }
  } else {
    optCommonUser_->setChecked(true);
    cmbDbID_->setCurrentIndex(-1);
    cmbDbID_->setEditText(QString());
  }
  if (row.fldType.value_or(2) == 2) {
    optCity_->setChecked(true);
  } else {
    optTown_->setChecked(true);
  }
  showing_ = false;
}

void frmLearningDict::ShowRecord() {
  ShowBoundFields();
  ShowPosition();
  ShowRecordKeys();
}

bool frmLearningDict::ShownRecordComplete() const {
  return !txtTransform_->text().isEmpty() && !txtRegister_->text().isEmpty() &&
         !txtRefNo_->text().isEmpty() &&
         (optLocalUser_->isChecked() || optCommonUser_->isChecked()) &&
         (optCity_->isChecked() || optTown_->isChecked());
}

bool frmLearningDict::CheckShownRecord() {
  const bool complete = ShownRecordComplete();
  if (BlnAdding) {
    if (complete) {
      BlnAdding = false;
    } else {
      prompter_.ShowMessage(u"追加レコードの全項目を設定して下さい。");
    }
  }
  return complete;
}

int32_t frmLearningDict::RegionIdOf(const QComboBox* combo) const {
  const int entry = EntryOfText(combo);
  if (entry < 0 || static_cast<size_t>(entry) >= RegionIds.size())
    return -1;
  const auto id = ParseInteger(RegionIds[static_cast<size_t>(entry)]);
  return id ? static_cast<int32_t>(*id) : -1;
}

bool frmLearningDict::StoreRecordKeys() {
  if (RecordPos < 0 || RecordPos >= records_->Count())
    return true;
  LearningDictRow row = records_->Row(RecordPos);
  if (optCommonUser_->isChecked()) {
    row.fldDbNo = 0;
  } else if (const int32_t region = RegionIdOf(cmbDbID_); region != -1) {
    row.fldDbNo = region;
  }
  if (optCity_->isChecked()) {
    row.fldType = 2;
  } else if (optTown_->isChecked()) {
    row.fldType = 3;
  }
  // The three text boxes are stored with the keys, as a bound record stores them when left.
  row.registeredWord = U(txtRegister_->text());
  row.convertedWord = U(txtTransform_->text());
  if (txtRefNo_->text().isEmpty()) {
    row.referenceCount.reset();
  } else if (auto count = ParseInteger(U(txtRefNo_->text()))) {
    row.referenceCount = *count;
  } else {
    // The column holds a number: a text that is none is refused rather than stored damaged.
    prompter_.ShowMessage(u"参照回数には数値を入力して下さい。");
    return false;
  }
  db::DbError error;
  if (!records_->Store(RecordPos, row, &error)) {
    prompter_.ShowMessage(error.Text());
    return false;
  }
  edited_ = false;
  return true;
}

bool frmLearningDict::MoveTo(int32_t position) {
  if (!StoreRecordKeys())
    return false;
  RecordPos = position;
  ShowRecord();
  return true;
}

void frmLearningDict::cmdFirst_Click() {
  if (!CheckShownRecord())
    return;
  MoveTo(0);
}

void frmLearningDict::cmdLast_Click() {
  if (!CheckShownRecord())
    return;
  MoveTo(RecordCount - 1);
}

void frmLearningDict::cmdNext_Click() {
  if (!CheckShownRecord())
    return;
  if (RecordPos < RecordCount - 1)
    MoveTo(RecordPos + 1);
}

void frmLearningDict::cmdPrev_Click() {
  if (!CheckShownRecord())
    return;
  if (RecordPos > 0)
    MoveTo(RecordPos - 1);
}

void frmLearningDict::cmdNew_Click() {
  // An empty set has no record to complete first, so the first word can always be added.
  const bool empty = records_->Count() == 0;
  if (empty || CheckShownRecord()) {
    if (empty || StoreRecordKeys()) {
      records_->AddNew();
      RecordPos = RecordCount;
      RecordCount = RecordCount + 1;
      ShowRecord();
      txtRefNo_->setText(QStringLiteral("1"));
      txtRegister_->setFocus();
    }
  }
  BlnAdding = true;
}

void frmLearningDict::cmdDelete_Click() {
  db::DbError error;
  if (!records_->Delete(RecordPos, &error)) {
    prompter_.ShowMessage(error.Text());
    return;
  }
  RecordCount = RecordCount - 1;
  if (RecordPos >= RecordCount)
    RecordPos = RecordCount > 0 ? RecordCount - 1 : 0;
  // The record now shown brings its own scope and kind, so that moving on stores them unchanged.
  ShowRecord();
  BlnAdding = false;
}

}  // namespace mok::ui
