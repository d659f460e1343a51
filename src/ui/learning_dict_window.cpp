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

#include "batch/database_message.h"
#include "db/main_store_open.h"
#include "text/text.h"
#include "ui/named_widgets.h"
#include "ui/qt_text.h"

namespace mok::ui {

namespace {

// A button that never takes Enter as its own: the editor has no default button.
QPushButton* PlainButton(QWidget* parent, const char* name, const char16_t* caption) {
  QPushButton* button = Button(parent, name, caption);
  button->setAutoDefault(false);
  return button;
}

QComboBox* RegionCombo(QWidget* parent, const char* name) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  // The combo's text may be set to a region name that is not in its list.
  c->setEditable(true);
  c->setInsertPolicy(QComboBox::NoInsert);
  c->setMinimumWidth(120);
  return c;
}

// A scope frame: the local choice with its region on the first line, the common one below.
void LayOutScope(QGroupBox* frame, QWidget* local, QComboBox* region, QWidget* common) {
  auto* grid = new QGridLayout(frame);
  grid->addWidget(local, 0, 0);
  grid->addWidget(region, 0, 1);
  grid->addWidget(common, 1, 0);
  grid->setColumnStretch(2, 1);
}

// Two choices in a frame, one above the other.
void StackInFrame(QGroupBox* frame, QWidget* first, QWidget* second) {
  auto* column = new QVBoxLayout(frame);
  column->addWidget(first);
  column->addWidget(second);
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

LearningDictWindow::LearningDictWindow(db::AddressDatabase& database, Prompter& prompter,
                                       const std::u16string& selectedRegion, QWidget* parent,
                                       std::optional<LearnedWord> shown)
    : QDialog(parent), database_(database), prompter_(prompter), shown_(std::move(shown)) {
  setObjectName("frmLearningDict");
  setWindowTitle(QStringLiteral("学習辞書編集"));
  // The parts from top to bottom, each made in the order the user tabs through it.
  QGridLayout* record = BuildRecordBoxes();
  QHBoxLayout* keys = BuildRecordKeys();
  QHBoxLayout* position = BuildPositionLine();
  QHBoxLayout* moves = BuildMoveButtons();
  QGroupBox* search = BuildSearch();
  QPushButton* exitButton = PlainButton(this, "cmdExit", u"終了");
  connect(exitButton, &QPushButton::clicked, this, &QWidget::close);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(exitButton);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(record);
  layout->addLayout(keys);
  layout->addLayout(position);
  layout->addLayout(moves);
  layout->addWidget(search);
  layout->addLayout(bottom);
  ConnectKeyRules();
  Load(selectedRegion);
}

// The current record's words and reference count.
QGridLayout* LearningDictWindow::BuildRecordBoxes() {
  auto* grid = new QGridLayout;
  grid->addWidget(Label(this, "lblRegister", u"登録字句"), 0, 0);
  registeredBox_ = TextBox(this, "txtRegister");
  grid->addWidget(registeredBox_, 0, 1);
  grid->addWidget(Label(this, "lblTransform", u"変換字句"), 1, 0);
  convertedBox_ = TextBox(this, "txtTransform");
  grid->addWidget(convertedBox_, 1, 1);
  grid->addWidget(Label(this, "lblRefNo", u"参照回数"), 2, 0);
  referenceCountBox_ = TextBox(this, "txtRefNo");
  grid->addWidget(referenceCountBox_, 2, 1);
  return grid;
}

// The current record's scope (one region's word or common to all) and kind.
QHBoxLayout* LearningDictWindow::BuildRecordKeys() {
  auto* scopeFrame = Named<QGroupBox>(this, "frmUserType", u"ユーザー");
  localOption_ = Named<QRadioButton>(scopeFrame, "optLocalUser", u"ローカル");
  regionCombo_ = RegionCombo(scopeFrame, "cmbDbID");
  commonOption_ = Named<QRadioButton>(scopeFrame, "optCommonUser", u"共通");
  LayOutScope(scopeFrame, localOption_, regionCombo_, commonOption_);
  auto* kindFrame = Named<QGroupBox>(this, "frmTypeOpt", u"区分");
  cityOption_ = Named<QRadioButton>(kindFrame, "optCity", u"市区町村");
  townOption_ = Named<QRadioButton>(kindFrame, "optTown", u"大字・町丁目");
  StackInFrame(kindFrame, cityOption_, townOption_);
  auto* keys = new QHBoxLayout;
  keys->addWidget(scopeFrame, 1);
  keys->addWidget(kindFrame);
  return keys;
}

// The current record's position and the number of records of the search.
QHBoxLayout* LearningDictWindow::BuildPositionLine() {
  positionLabel_ = Label(this, "lblRecordNo", u"No. ");
  QLabel* countCaption = Label(this, "lblRecordNumCaption", u"件数：");
  countLabel_ = Label(this, "lblRecordNum", u"0 件");
  auto* line = new QHBoxLayout;
  line->addWidget(positionLabel_);
  line->addStretch(1);
  line->addWidget(countCaption);
  line->addWidget(countLabel_);
  return line;
}

// The moves through the records, then adding and deleting one.
QHBoxLayout* LearningDictWindow::BuildMoveButtons() {
  struct Action {
    const char* name;
    const char16_t* caption;
    void (LearningDictWindow::*slot)();
  };
  static constexpr Action kMoves[] = {{"cmdFirst", u"先頭", &LearningDictWindow::MoveFirst},
                                      {"cmdPrev", u"前", &LearningDictWindow::MovePrevious},
                                      {"cmdNext", u"次", &LearningDictWindow::MoveNext},
                                      {"cmdLast", u"末尾", &LearningDictWindow::MoveLast}};
  static constexpr Action kChanges[] = {{"cmdNew", u"追加", &LearningDictWindow::AddRecord},
                                        {"cmdDelete", u"削除", &LearningDictWindow::DeleteRecord}};
  auto* line = new QHBoxLayout;
  auto add = [&](const Action& action) {
    QPushButton* button = PlainButton(this, action.name, action.caption);
    connect(button, &QPushButton::clicked, this, action.slot);
    line->addWidget(button);
  };
  for (const Action& action : kMoves)
    add(action);
  line->addSpacing(12);
  for (const Action& action : kChanges)
    add(action);
  return line;
}

// The search: which word the keyword is looked for in, the kinds and the scope searched.
QGroupBox* LearningDictWindow::BuildSearch() {
  auto* frame = Named<QGroupBox>(this, "frmSearch", u"検索");
  auto* wordFrame = Named<QGroupBox>(frame, "frmWord", u"字句");
  searchRegisteredOption_ = Named<QRadioButton>(wordFrame, "optSearchReg", u"登録字句");
  searchConvertedOption_ = Named<QRadioButton>(wordFrame, "optSearchTran", u"変換字句");
  StackInFrame(wordFrame, searchRegisteredOption_, searchConvertedOption_);
  auto* kindFrame = Named<QGroupBox>(frame, "frmSerachType", u"区分");
  searchCityBox_ = Named<QCheckBox>(kindFrame, "chkSearchCity", u"市区町村");
  searchTownBox_ = Named<QCheckBox>(kindFrame, "chkSearchTown", u"大字・町丁目");
  StackInFrame(kindFrame, searchCityBox_, searchTownBox_);
  auto* scopeFrame = Named<QGroupBox>(frame, "frmSearchUser", u"ユーザー");
  searchLocalBox_ = Named<QCheckBox>(scopeFrame, "chkLocalUser", u"ローカル");
  searchRegionCombo_ = RegionCombo(scopeFrame, "cmbSearchDbID");
  searchCommonBox_ = Named<QCheckBox>(scopeFrame, "chkCommonUser", u"共通");
  LayOutScope(scopeFrame, searchLocalBox_, searchRegionCombo_, searchCommonBox_);
  QLabel* keywordLabel = Label(frame, "lblKeyWord", u"キーワード");
  keywordBox_ = TextBox(frame, "txtKeyWord");
  QPushButton* searchButton = PlainButton(frame, "cmdSearch", u"検索");
  connect(searchButton, &QPushButton::clicked, this, &LearningDictWindow::Search);

  auto* groups = new QHBoxLayout;
  groups->addWidget(wordFrame);
  groups->addWidget(kindFrame);
  groups->addWidget(scopeFrame, 1);
  auto* keyword = new QHBoxLayout;
  keyword->addWidget(keywordLabel);
  keyword->addWidget(keywordBox_, 1);
  keyword->addWidget(searchButton);
  auto* layout = new QVBoxLayout(frame);
  layout->addLayout(groups);
  layout->addLayout(keyword);
  return frame;
}

void LearningDictWindow::ConnectKeyRules() {
  // The search is either common or local, and only a local one names a region.
  connect(searchCommonBox_, &QCheckBox::toggled, this, [this](bool on) {
    if (!on)
      return;
    searchRegionCombo_->setEnabled(false);
    searchLocalBox_->setChecked(false);
  });
  connect(searchLocalBox_, &QCheckBox::toggled, this, [this](bool on) {
    searchRegionCombo_->setEnabled(on);
    if (on)
      searchCommonBox_->setChecked(false);
  });
  connect(localOption_, &QRadioButton::toggled, this, [this](bool on) {
    if (on)
      regionCombo_->setEnabled(true);
  });
  // What the user changes in the current record (and not the display of another record).
  auto touched = [this] { edited_ = true; };
  for (QLineEdit* box : {registeredBox_, convertedBox_, referenceCountBox_})
    connect(box, &QLineEdit::textEdited, this, touched);
  for (QRadioButton* option : {localOption_, commonOption_, cityOption_, townOption_})
    connect(option, &QRadioButton::clicked, this, touched);
  connect(regionCombo_, &QComboBox::activated, this, touched);
  connect(regionCombo_, &QComboBox::editTextChanged, this, [this] {
    if (!showing_)
      edited_ = true;
  });
}

void LearningDictWindow::Load(const std::u16string& selectedRegion) {
  const std::u16string name = db::MainDatabaseName(database_.Folder(), database_.Server());
  const auto regions = [&]() -> DbResult<std::vector<db::DictRegion>> {
    if (const DbStatus opened = records_.Open(name); !opened)
      return opened.error();
    return records_.ReadRegions();
  }();
  if (!regions) {
    ShowDatabaseFailure(regions.error());
  } else {
    for (const db::DictRegion& region : *regions) {
      searchRegionCombo_->addItem(Q(region.name));
      regionCombo_->addItem(Q(region.name));
      regionIds_.push_back(region.id);
    }
  }
  searchRegionCombo_->setCurrentIndex(-1);
  regionCombo_->setCurrentIndex(-1);

  if (!selectedRegion.empty()) {
    searchLocalBox_->setChecked(true);
    searchRegionCombo_->setEnabled(true);
    SetComboText(searchRegionCombo_, Q(selectedRegion));
  } else {
    searchCommonBox_->setChecked(true);
    searchRegionCombo_->setEnabled(false);
  }
  searchCityBox_->setChecked(true);
  searchRegisteredOption_->setChecked(true);
  adding_ = false;
}

void LearningDictWindow::ShowDatabaseFailure(const DbError& error) {
  // The editor works on the main database alone: a failure without a file concerns that one.
  prompter_.ShowMessage(batch::DatabaseMessage(
      error.file.empty()
          ? InFile(error, db::MainDatabaseName(database_.Folder(), database_.Server()))
          : error));
}

void LearningDictWindow::showEvent(QShowEvent* event) {
  if (!event->spontaneous() && !searched_) {
    searched_ = true;
    if (shown_)
      SearchFor(*shown_);
    else
      Search();
  }
  QDialog::showEvent(event);
}

void LearningDictWindow::SearchFor(const LearnedWord& word) {
  // The word's scope: common, or the region its number belongs to.
  if (word.scope == 0) {
    searchCommonBox_->setChecked(true);
  } else {
    for (std::size_t i = 0; i < regionIds_.size(); ++i) {
      if (ParseInteger(regionIds_[i]) == word.scope) {
        searchLocalBox_->setChecked(true);
        SetComboText(searchRegionCombo_, searchRegionCombo_->itemText(static_cast<int>(i)));
      }
    }
  }
  // Its kind is shown besides the city words (a prefecture word is kept as a town word).
  (word.kind == engine::WordKind::City ? searchCityBox_ : searchTownBox_)->setChecked(true);
  Search();
  for (int32_t position = 0; position < records_.Count(); ++position) {
    const db::LearningDictRow& row = records_.Row(position);
    if (row.registeredWord == word.registered && row.convertedWord == word.converted) {
      MoveTo(position);
      return;
    }
  }
}

void LearningDictWindow::reject() {
  // Leaving the window (終了, the title bar or Esc) leaves the record: what was typed into it is
  // kept when it is complete.
  if (recordPos_ < records_.Count() && (edited_ || records_.Row(recordPos_).rowId == 0) &&
      ShownRecordComplete()) {
    StoreRecordKeys();
  }
  QDialog::reject();
}

void LearningDictWindow::Search() {
  if (adding_) {
    CheckShownRecord();
    return;
  }
  // A changed record is kept before the set is read again.
  if (edited_ && recordPos_ < records_.Count() && ShownRecordComplete()) {
    if (!StoreRecordKeys())
      return;
  }

  db::LearningDictSearch search;
  search.commonOnly = searchCommonBox_->isChecked();
  if (!search.commonOnly && searchLocalBox_->isChecked()) {
    const int entry = EntryOfText(searchRegionCombo_);
    if (entry >= 0) {
      if (auto number = ParseInteger(regionIds_[static_cast<size_t>(entry)])) {
        search.regionNo = static_cast<int32_t>(*number);
      }
    }
  }
  search.city = searchCityBox_->isChecked();
  search.town = searchTownBox_->isChecked();
  search.keyword = U(keywordBox_->text());
  search.field = searchRegisteredOption_->isChecked()  ? db::KeywordField::Registered
                 : searchConvertedOption_->isChecked() ? db::KeywordField::Converted
                                                       : db::KeywordField::Either;
  if (records_.IsOpen()) {
    if (const DbStatus searched = records_.Search(search); !searched)
      ShowDatabaseFailure(searched.error());
  }
  recordCount_ = records_.Count();
  recordPos_ = 0;
  ShowRecord();
}

void LearningDictWindow::ShowPosition() {
  positionLabel_->setText(QStringLiteral("No. ") + QString::number(recordPos_ + 1));
  countLabel_->setText(QString::number(recordCount_) + QStringLiteral(" 件"));
}

void LearningDictWindow::ShowBoundFields() {
  showing_ = true;
  if (recordPos_ >= 0 && recordPos_ < records_.Count()) {
    const db::LearningDictRow& row = records_.Row(recordPos_);
    registeredBox_->setText(Q(row.registeredWord.value_or(u"")));
    convertedBox_->setText(Q(row.convertedWord.value_or(u"")));
    referenceCountBox_->setText(row.referenceCount ? QString::number(*row.referenceCount)
                                                   : QString());
  } else {
    registeredBox_->clear();
    convertedBox_->clear();
    referenceCountBox_->clear();
  }
  showing_ = false;
  edited_ = false;
}

void LearningDictWindow::ShowRecordKeys() {
  if (recordPos_ < 0 || recordPos_ >= records_.Count())
    return;
  const db::LearningDictRow& row = records_.Row(recordPos_);
  showing_ = true;
  const int32_t scope = row.scope.value_or(0);
  if (scope != 0) {
    localOption_->setChecked(true);
    for (size_t i = 0; i < regionIds_.size(); ++i) {
      const auto id = ParseInteger(regionIds_[i]);
      if (id && *id == scope) {
        regionCombo_->setCurrentIndex(static_cast<int>(i));
        break;
      }
    }
  } else {
    commonOption_->setChecked(true);
    regionCombo_->setCurrentIndex(-1);
    regionCombo_->setEditText(QString());
  }
  if (row.kind.value_or(2) == 2) {
    cityOption_->setChecked(true);
  } else {
    townOption_->setChecked(true);
  }
  showing_ = false;
}

void LearningDictWindow::ShowRecord() {
  ShowBoundFields();
  ShowPosition();
  ShowRecordKeys();
}

bool LearningDictWindow::ShownRecordComplete() const {
  return !convertedBox_->text().isEmpty() && !registeredBox_->text().isEmpty() &&
         !referenceCountBox_->text().isEmpty() &&
         (localOption_->isChecked() || commonOption_->isChecked()) &&
         (cityOption_->isChecked() || townOption_->isChecked());
}

bool LearningDictWindow::CheckShownRecord() {
  const bool complete = ShownRecordComplete();
  if (adding_) {
    if (complete) {
      adding_ = false;
    } else {
      prompter_.ShowMessage(u"追加レコードの全項目を設定して下さい。");
    }
  }
  return complete;
}

int32_t LearningDictWindow::RegionIdOf(const QComboBox* combo) const {
  const int entry = EntryOfText(combo);
  if (entry < 0 || static_cast<size_t>(entry) >= regionIds_.size())
    return -1;
  const auto id = ParseInteger(regionIds_[static_cast<size_t>(entry)]);
  return id ? static_cast<int32_t>(*id) : -1;
}

bool LearningDictWindow::StoreRecordKeys() {
  if (recordPos_ < 0 || recordPos_ >= records_.Count())
    return true;
  db::LearningDictRow row = records_.Row(recordPos_);
  if (commonOption_->isChecked()) {
    row.scope = 0;
  } else if (const int32_t region = RegionIdOf(regionCombo_); region != -1) {
    row.scope = region;
  }
  if (cityOption_->isChecked()) {
    row.kind = 2;
  } else if (townOption_->isChecked()) {
    row.kind = 3;
  }
  // The three text boxes are stored with the keys, as a bound record stores them when left.
  row.registeredWord = U(registeredBox_->text());
  row.convertedWord = U(convertedBox_->text());
  if (referenceCountBox_->text().isEmpty()) {
    row.referenceCount.reset();
  } else if (auto count = ParseInteger(U(referenceCountBox_->text()))) {
    row.referenceCount = *count;
  } else {
    // The column holds a number: a text that is none is refused rather than stored damaged.
    prompter_.ShowMessage(u"参照回数には数値を入力して下さい。");
    return false;
  }
  if (const DbStatus stored = records_.Store(recordPos_, row); !stored) {
    ShowDatabaseFailure(stored.error());
    return false;
  }
  edited_ = false;
  return true;
}

bool LearningDictWindow::MoveTo(int32_t position) {
  if (!StoreRecordKeys())
    return false;
  recordPos_ = position;
  ShowRecord();
  return true;
}

void LearningDictWindow::MoveFirst() {
  if (!CheckShownRecord())
    return;
  MoveTo(0);
}

void LearningDictWindow::MoveLast() {
  if (!CheckShownRecord())
    return;
  MoveTo(recordCount_ - 1);
}

void LearningDictWindow::MoveNext() {
  if (!CheckShownRecord())
    return;
  if (recordPos_ < recordCount_ - 1)
    MoveTo(recordPos_ + 1);
}

void LearningDictWindow::MovePrevious() {
  if (!CheckShownRecord())
    return;
  if (recordPos_ > 0)
    MoveTo(recordPos_ - 1);
}

void LearningDictWindow::AddRecord() {
  // An empty set has no record to complete first, so the first word can always be added.
  const bool empty = records_.Count() == 0;
  if (empty || CheckShownRecord()) {
    if (empty || StoreRecordKeys()) {
      records_.AddNew();
      recordPos_ = recordCount_;
      recordCount_ = recordCount_ + 1;
      ShowRecord();
      referenceCountBox_->setText(QStringLiteral("1"));
      registeredBox_->setFocus();
    }
  }
  adding_ = true;
}

void LearningDictWindow::DeleteRecord() {
  // A row is deleted for good: the user confirms which one (an empty set fails as before).
  if (recordPos_ < records_.Count()) {
    const std::u16string pair =
        u"<" + U(registeredBox_->text()) + u"→" + U(convertedBox_->text()) + u">";
    if (prompter_.Ask(pair + u"を学習辞書から削除しますか？", MessageButtons::OkCancel) !=
        Answer::Ok) {
      return;
    }
  }
  if (const DbStatus deleted = records_.Delete(recordPos_); !deleted) {
    ShowDatabaseFailure(deleted.error());
    return;
  }
  recordCount_ = recordCount_ - 1;
  if (recordPos_ >= recordCount_)
    recordPos_ = recordCount_ > 0 ? recordCount_ - 1 : 0;
  // The record now shown brings its own scope and kind, so that moving on stores them unchanged.
  ShowRecord();
  adding_ = false;
}

}  // namespace mok::ui
