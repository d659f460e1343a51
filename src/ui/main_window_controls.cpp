// The main window's controls and their arrangement: the entries on the left (region, the two
// files, start row, address field, encodings) with the monitor below them, the buttons in a
// column on the right. Every control carries its control name. Each builder makes its controls
// in the order the user tabs through them, so the order of the calls is the window's tab order.
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <utility>

#include "text/encoding.h"
#include "ui/main_window.h"
#include "ui/named_widgets.h"
#include "ui/qt_text.h"
#include "ui/up_down.h"

namespace mok::ui {
namespace {

QLabel* BrandLabel(QWidget* window) {
  QLabel* brand = Label(window, "Label1", u"MOK2");
  QFont brandFont(QStringLiteral("Arial"));
  brandFont.setPointSize(20);
  brandFont.setBold(true);
  brandFont.setItalic(true);
  brand->setFont(brandFont);
  return brand;
}

// A box for a number of up to eight digits.
void FitNumberBox(QLineEdit* box) {
  box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000000")) + 12);
}

// A number box with its spinner close beside it.
QHBoxLayout* SpinnerLine(QLineEdit* box, UpDown* spinner) {
  auto* line = new QHBoxLayout;
  line->setSpacing(0);
  line->addWidget(box);
  line->addWidget(spinner);
  return line;
}

// The control names of a row for a file: label, path box and the chooser's button.
struct PathRowNames {
  const char* label;
  const char16_t* caption;
  const char* box;
  const char* button;
};

struct PathRow {
  QLineEdit* box;
  QPushButton* button;
};

// The path box is wide enough for a usual path and takes dropped files through the window's
// event filter.
PathRow AddPathRow(QWidget* window, QGridLayout& entries, int row, const PathRowNames& names) {
  QLabel* label = Label(window, names.label, names.caption);
  QLineEdit* box = TextBox(window, names.box);
  QPushButton* button = Button(window, names.button, u"...");
  box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 36);
  box->installEventFilter(window);
  button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
  label->setBuddy(box);
  entries.addWidget(label, row, 0);
  entries.addWidget(box, row, 1);
  entries.addWidget(button, row, 2);
  return {box, button};
}

}  // namespace

void MainWindow::BuildControls() {
  setObjectName("frmConvert");
  setWindowTitle(QStringLiteral("MOK 住所認識システム"));
  setAcceptDrops(true);

  auto* left = new QVBoxLayout;
  left->addWidget(BrandLabel(this));
  auto* entries = new QGridLayout;
  AddRegionRow(*entries, 0);
  AddFileRows(*entries, 1);
  AddStartRow(*entries, 3);
  QGroupBox* hiddenFieldFrame = AddAddressFieldRows(*entries, 4);
  AddEncodingRow(*entries, 6);
  entries->setColumnStretch(1, 1);
  left->addLayout(entries);
  left->addWidget(hiddenFieldFrame);
  left->addWidget(BuildMonitor());
  left->addStretch(1);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(BuildButtonColumn());
  ConnectControls();
}

void MainWindow::AddRegionRow(QGridLayout& entries, int row) {
  QLabel* label = Label(this, "lblSelectPref", u"地域名：");
  regionBox_ = new QComboBox(this);
  regionBox_->setObjectName("cmbSelectPref");
  regionBox_->setEditable(true);  // any text is accepted, also one that is not listed
  regionBox_->setInsertPolicy(QComboBox::NoInsert);
  regionBox_->setMinimumContentsLength(12);
  label->setBuddy(regionBox_);
  entries.addWidget(label, row, 0);
  entries.addWidget(regionBox_, row, 1, 1, 2, Qt::AlignLeft);
}

void MainWindow::AddFileRows(QGridLayout& entries, int row) {
  const PathRow input = AddPathRow(
      this, entries, row, {"lblInputFile", u"入力ファイル：", "txtInputFile", "cmdInputFile"});
  inputFileBox_ = input.box;
  inputFileButton_ = input.button;
  const PathRow output =
      AddPathRow(this, entries, row + 1,
                 {"lblOutputFile", u"出力ファイル：", "txtOutputFile", "cmdOutputFile"});
  outputFileBox_ = output.box;
  outputFileButton_ = output.button;
}

void MainWindow::AddStartRow(QGridLayout& entries, int row) {
  QLabel* label = Label(this, "lblStartRow", u"変換開始行：");
  startRowBox_ = TextBox(this, "txtStartRow");
  startRowBox_->setText(QStringLiteral("1"));
  FitNumberBox(startRowBox_);
  auto* spinner = new UpDown(startRowBox_, 1, kMaxSpin, this);
  spinner->setObjectName("UpDownStartRow");
  label->setBuddy(startRowBox_);
  entries.addWidget(label, row, 0);
  QHBoxLayout* line = SpinnerLine(startRowBox_, spinner);
  line->addStretch(1);
  entries.addLayout(line, row, 1, 1, 2);
}

// The four address-field boxes with their spinners. The first two are used (an address over two
// fields, 住所１ and 住所２); the others are never shown, the third in the hidden frame
// "framStartField" with the boxes' four labels.
MainWindow::AddressFieldBoxes MainWindow::BuildAddressFieldBoxes() {
  auto* frame = Named<QGroupBox>(this, "framStartField", u"住所フィールド");
  auto* frameLayout = new QGridLayout(frame);
  frameLayout->addWidget(Label(frame, "lblPrefField", u"住所１"), 0, 0);
  frameLayout->addWidget(Label(frame, "lblCityField", u"住所２"), 1, 0);
  frameLayout->addWidget(Label(frame, "Label2", u"住所３"), 2, 0);
  frameLayout->addWidget(Label(frame, "lblTownField", u"住所４"), 3, 0);
  static const char* const kBoxNames[] = {"txtAdrField_0", "txtAdrField_1", "txtAdrField_2",
                                          "txtAdrField_3"};
  static const char* const kSpinnerNames[] = {"UpDownPrefField", "UpDownCityField",
                                              "UpDownCityField2", "UpDownTownField"};
  std::array<UpDown*, 2> spinners{};
  for (int i = 0; i < 4; ++i) {
    QWidget* owner = i == 2 ? static_cast<QWidget*>(frame) : this;
    addressFieldBoxes_[i] = TextBox(owner, kBoxNames[i]);
    addressFieldBoxes_[i]->setText(i == 0 ? QStringLiteral("1") : QString());
    auto* spinner = new UpDown(addressFieldBoxes_[i], 1, kMaxSpin, owner);
    spinner->setObjectName(kSpinnerNames[i]);
    if (i < 2) {
      spinners[i] = spinner;
    } else if (i == 2) {
      frameLayout->addWidget(addressFieldBoxes_[i], 2, 1);
      frameLayout->addWidget(spinner, 2, 2);
    } else {
      addressFieldBoxes_[i]->hide();
      spinner->hide();
    }
  }
  frame->hide();
  return {frame, spinners};
}

// The address fields in use are in plain sight and can be changed here: the first one and, for
// an address that goes on in a second field (住所1 / 住所2 columns), the second; what each holds
// in the input shows beside it. Returns the hidden frame of the unused boxes.
QGroupBox* MainWindow::AddAddressFieldRows(QGridLayout& entries, int row) {
  const AddressFieldBoxes boxes = BuildAddressFieldBoxes();
  const std::pair<const char*, const char16_t*> labels[] = {{"lblAdrField", u"住所フィールド："},
                                                            {"lblAdrField2", u"住所２："}};
  const char* const sampleNames[] = {"lblAdrFieldSample", "lblAdrFieldSample2"};
  for (std::size_t i = 0; i < addressFieldSamples_.size(); ++i) {
    QLabel* label = Label(this, labels[i].first, labels[i].second);
    label->setBuddy(addressFieldBoxes_[i]);
    FitNumberBox(addressFieldBoxes_[i]);
    addressFieldSamples_[i] = Label(this, sampleNames[i], u"");
    addressFieldSamples_[i]->setTextFormat(Qt::PlainText);
    addressFieldSamples_[i]->setMinimumWidth(1);  // a long address is cut, not the window widened
    entries.addWidget(label, row + static_cast<int>(i), 0);
    QHBoxLayout* line = SpinnerLine(addressFieldBoxes_[i], boxes.spinners[i]);
    line->addSpacing(8);
    line->addWidget(addressFieldSamples_[i], 1);
    entries.addLayout(line, row + static_cast<int>(i), 1, 1, 2);
  }
  return boxes.hiddenFrame;
}

// The input's encoding as read, and the choice of the output's.
void MainWindow::AddEncodingRow(QGridLayout& entries, int row) {
  QLabel* label = Label(this, "lblEncoding", u"文字コード：");
  inputEncodingLabel_ = Label(this, "lblInputEncoding", u"");
  QLabel* outputEncodingLabel = Label(this, "lblOutputEncoding", u"出力：");
  outputEncodingBox_ = new QComboBox(this);
  outputEncodingBox_->setObjectName("cmbOutputEncoding");
  outputEncodingBox_->addItem(QStringLiteral("入力と同じ"), QString());
  for (const text::Encoding encoding :
       {text::Encoding::Cp932, text::Encoding::Utf8, text::Encoding::Utf8Bom}) {
    outputEncodingBox_->addItem(Q(text::EncodingName(encoding)), Q(text::EncodingKey(encoding)));
  }
  outputEncodingLabel->setBuddy(outputEncodingBox_);
  entries.addWidget(label, row, 0);
  auto* line = new QHBoxLayout;
  line->addWidget(inputEncodingLabel_);
  line->addSpacing(16);
  line->addWidget(outputEncodingLabel);
  line->addWidget(outputEncodingBox_);
  line->addStretch(1);
  entries.addLayout(line, row, 1, 1, 2);
}

// The record being converted, the previous one and its result, each box saying what it shows,
// and the count.
QGroupBox* MainWindow::BuildMonitor() {
  auto* frame = Named<QGroupBox>(this, "framMonitor", u"状況モニタ");
  sourceMonitor_ = TextBox(frame, "txtSrc");
  previousSourceMonitor_ = TextBox(frame, "txtPrevSrc");
  previousResultMonitor_ = TextBox(frame, "txtPrevDst");
  countLabel_ = Label(frame, "lblCount", u"");
  countLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* layout = new QGridLayout(frame);
  const std::pair<const char*, const char16_t*> labels[] = {
      {"lblSrc", u"変換中："}, {"lblPrevSrc", u"前の住所："}, {"lblPrevDst", u"変換結果："}};
  int row = 0;
  for (QLineEdit* box : {sourceMonitor_, previousSourceMonitor_, previousResultMonitor_}) {
    box->setReadOnly(true);
    QLabel* label = Label(frame, labels[row].first, labels[row].second);
    label->setBuddy(box);
    layout->addWidget(label, row, 0);
    layout->addWidget(box, row++, 1);
  }
  layout->addWidget(countLabel_, row, 0, 1, 2);
  return frame;
}

// The buttons in one column. The run and stop buttons share one place; the unconverted-list
// button has its own, kept while it is hidden so that the column does not jump, and after a run
// both it and the run button can be reached.
QGridLayout* MainWindow::BuildButtonColumn() {
  runButton_ = Button(this, "cmdExec", u"実行");
  runButton_->setDefault(true);
  stopButton_ = Button(this, "cmdCancel", u"中止");
  unconvertedButton_ = Button(this, "cmdRegDictionary", u"不明分編集");
  optionsButton_ = Button(this, "cmdOption", u"詳細設定");
  environmentButton_ = Button(this, "cmdSetEnviron", u"環境設定");
  environmentButton_->hide();
  databaseFolderButton_ = Button(this, "cmdDbPath", u"ＤＢパス設定");
  previewButton_ = Button(this, "cmdSrcPreview", u"プレビュー");
  dictionaryButton_ = Button(this, "cmdUserDictionary", u"学習辞書");
  exitButton_ = Button(this, "cmdExit", u"終了");
  // The map link's client control of the original window; never shown.
  TextBox(this, "txtDdeCmd")->hide();

  auto* column = new QGridLayout;
  column->addWidget(runButton_, 0, 0);
  column->addWidget(stopButton_, 0, 0);
  int row = 1;
  for (QPushButton* button : {unconvertedButton_, previewButton_, optionsButton_,
                              environmentButton_, databaseFolderButton_, dictionaryButton_}) {
    column->addWidget(button, row++, 0);
  }
  column->setRowStretch(row, 1);
  column->addWidget(exitButton_, row + 1, 0);
  QSizePolicy keep = unconvertedButton_->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  unconvertedButton_->setSizePolicy(keep);
  const int buttonWidth = databaseFolderButton_->sizeHint().width() + 16;
  for (QPushButton* button :
       {runButton_, stopButton_, unconvertedButton_, previewButton_, optionsButton_,
        environmentButton_, databaseFolderButton_, dictionaryButton_, exitButton_}) {
    button->setMinimumWidth(buttonWidth);
  }
  return column;
}

}  // namespace mok::ui
