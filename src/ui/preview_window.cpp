#include "ui/preview_window.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "ui/named_widgets.h"
#include "ui/qt_text.h"
#include "ui/up_down.h"

namespace mok::ui {
namespace {

constexpr int kMaxLineCount = 32767;

}  // namespace

frmPreview::frmPreview(batch::InputReader& reader, QLineEdit* addressField, Prompter& prompter,
                       QWidget* parent)
    : QDialog(parent), reader_(reader), addressField_(addressField), prompter_(prompter) {
  setObjectName("frmPreview");
  setWindowTitle(QStringLiteral("MOK 入力ファイルプレビュー"));
  setModal(true);

  flxgrdPreview_ = new QTableWidget(this);
  flxgrdPreview_->setObjectName("flxgrdPreview");
  flxgrdPreview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  flxgrdPreview_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  flxgrdPreview_->verticalHeader()->setDefaultSectionSize(flxgrdPreview_->fontMetrics().height() +
                                                          6);

  auto* lblRecNum = new QLabel(QStringLiteral("表示ﾚｺｰﾄﾞ数"), this);
  lblRecNum->setObjectName("lblRecNum");
  txtNumRec_ = new QLineEdit(QStringLiteral("10"), this);
  txtNumRec_->setObjectName("txtNumRec");
  txtNumRec_->setMaxLength(5);  // keeps the count within what the grid is meant to show
  txtNumRec_->setFixedWidth(txtNumRec_->fontMetrics().horizontalAdvance(QStringLiteral("000000")) +
                            12);
  lblRecNum->setBuddy(txtNumRec_);
  auto* UpDown1 = new UpDown(txtNumRec_, 1, kMaxLineCount, this);
  UpDown1->setObjectName("UpDown1");
  QPushButton* cmdReDisplay = Button(this, "cmdReDisplay", u"再表示");
  QPushButton* cmdExit = Button(this, "cmdExit", u"閉じる");

  auto* framReg = new QGroupBox(QStringLiteral("ﾌｨｰﾙﾄﾞ登録"), this);
  framReg->setObjectName("framReg");
  QPushButton* cmdRegField = Button(framReg, "cmdRegField", u"登録");
  QPushButton* cmdClear = Button(framReg, "cmdClear", u"クリア");
  auto* regLayout = new QHBoxLayout(framReg);
  regLayout->addWidget(cmdRegField);
  regLayout->addWidget(cmdClear);

  auto* controls = new QHBoxLayout;
  controls->addWidget(lblRecNum);
  controls->addWidget(txtNumRec_);
  controls->addWidget(UpDown1);
  controls->addWidget(cmdReDisplay);
  controls->addStretch(1);
  controls->addWidget(framReg);
  controls->addStretch(1);
  controls->addWidget(cmdExit, 0, Qt::AlignBottom);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(flxgrdPreview_, 1);
  layout->addLayout(controls);

  connect(cmdReDisplay, &QPushButton::clicked, this, &frmPreview::cmdReDisplay_Click);
  connect(cmdRegField, &QPushButton::clicked, this, &frmPreview::cmdRegField_Click);
  connect(cmdClear, &QPushButton::clicked, this, &frmPreview::cmdClear_Click);
  connect(cmdExit, &QPushButton::clicked, this, &QDialog::accept);

  Form_Load();
}

void frmPreview::Form_Load() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    resize(area.width() * 8 / 10, std::min(area.height() * 6 / 10, 480));
  }
  CentreOnScreen(this);
  RegisteredFieldCount = 0;
  PreviewColumnCount = CountPreviewColumns();
  if (PreviewColumnCount >= 0)
    LoadPreviewGrid();
}

int32_t frmPreview::LineCount() const {
  bool ok = false;
  const double value = txtNumRec_->text().trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(value))
    return -1;
  return static_cast<int32_t>(std::clamp(std::nearbyint(value), 0.0, double{kMaxLineCount}));
}

int16_t frmPreview::CountPreviewColumns() {
  if (!reader_.OpenInputFile())
    return -1;
  std::u16string line;
  if (reader_.InputFileAtEnd() || !reader_.GetLineData(line)) {
    reader_.CloseInputFile();
    return 0;
  }
  int32_t count = batch::CountFields(line, u",");
  const int32_t lines = LineCount();
  for (int32_t number = 2; number <= lines; ++number) {
    if (reader_.InputFileAtEnd() || !reader_.GetLineData(line))
      break;
    count = std::max(count, batch::CountFields(line, u","));
  }
  reader_.CloseInputFile();
  return static_cast<int16_t>(std::min<int32_t>(count, INT16_MAX));
}

void frmPreview::LoadPreviewGrid() {
  flxgrdPreview_->clear();
  flxgrdPreview_->setRowCount(0);
  flxgrdPreview_->setColumnCount(PreviewColumnCount);
  // The fixed first row carries the field numbers, which are what 登録 registers.
  QStringList numbers;
  for (int column = 0; column < PreviewColumnCount; ++column) {
    numbers << QString::number(column + 1);
  }
  flxgrdPreview_->setHorizontalHeaderLabels(numbers);
  if (!reader_.OpenInputFile())
    return;
  const int32_t lines = LineCount();
  std::u16string line;
  for (int32_t r = 1; r <= lines; ++r) {
    if (reader_.InputFileAtEnd() || !reader_.GetLineData(line))
      break;
    const int row = flxgrdPreview_->rowCount();
    flxgrdPreview_->insertRow(row);
    if (line.empty())
      continue;
    // Only the comma splits here, whatever the delimiter setting says: the run reads its input
    // the same way.
    const std::vector<std::u16string> pieces = batch::SplitFields(line, u",");
    const int shown = std::min<int>(static_cast<int>(pieces.size()), PreviewColumnCount);
    for (int column = 0; column < shown; ++column) {
      flxgrdPreview_->setItem(row, column, new QTableWidgetItem(Q(pieces[column])));
    }
  }
  reader_.CloseInputFile();
  flxgrdPreview_->resizeColumnsToContents();
  if (flxgrdPreview_->rowCount() > 0 && flxgrdPreview_->columnCount() > 0) {
    flxgrdPreview_->setCurrentCell(0, 0);
  }
}

void frmPreview::cmdReDisplay_Click() {
  if (LineCount() < 0) {
    prompter_.ShowMessage(u"表示レコード数に数値を入れて下さい。");
    txtNumRec_->setFocus();
    return;
  }
  LoadPreviewGrid();
}

void frmPreview::cmdRegField_Click() {
  const int column = flxgrdPreview_->currentColumn();
  if (column >= 0) {
    if (!RegisterPreviewField(column))
      return;
  } else {
    prompter_.ShowMessage(u"ﾌｨｰﾙﾄﾞを選択して下さい");
  }
  // Leave only the current cell selected.
  const int row = flxgrdPreview_->currentRow();
  if (row >= 0 && column >= 0) {
    flxgrdPreview_->setCurrentCell(row, column, QItemSelectionModel::ClearAndSelect);
  }
}

bool frmPreview::RegisterPreviewField(int32_t column) {
  if (RegisteredFieldCount >= kFieldLimit) {
    prompter_.ShowMessage(QString::number(kFieldLimit).toStdU16String() +
                          u" フィールド以上登録できません。");
    return false;
  }
  addressField_->setText(QString::number(column + 1));
  ++RegisteredFieldCount;
  return true;
}

void frmPreview::cmdClear_Click() {
  addressField_->setText(QStringLiteral("1"));
  RegisteredFieldCount = 0;
}

}  // namespace mok::ui
