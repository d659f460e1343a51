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

#include "batch/record_reader.h"
#include "text/encoding.h"
#include "ui/named_widgets.h"
#include "ui/qt_text.h"
#include "ui/up_down.h"

namespace mok::ui {
namespace {

constexpr int kMaxLineCount = 32767;

}  // namespace

PreviewWindow::PreviewWindow(std::u16string inputPath, std::optional<text::Encoding> encoding,
                             QLineEdit* addressField, Prompter& prompter, QWidget* parent,
                             QLineEdit* secondField)
    : QDialog(parent),
      reader_(batch::DescribeInput(std::move(inputPath), 1, {0}, encoding), prompter),
      addressField_(addressField),
      secondField_(secondField),
      prompter_(prompter) {
  setObjectName("frmPreview");
  setWindowTitle(QStringLiteral("MOK 入力ファイルプレビュー"));
  setModal(true);

  grid_ = new QTableWidget(this);
  grid_->setObjectName("flxgrdPreview");
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);

  encodingLabel_ = Label(this, "lblEncoding", u"");
  QLabel* lineCountLabel = Label(this, "lineCountLabel", u"表示ﾚｺｰﾄﾞ数");
  lineCountBox_ = Named<QLineEdit>(this, "txtNumRec", u"10");
  lineCountBox_->setMaxLength(5);  // keeps the count within what the grid is meant to show
  lineCountBox_->setFixedWidth(
      lineCountBox_->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
  lineCountLabel->setBuddy(lineCountBox_);
  auto* spinner = new UpDown(lineCountBox_, 1, kMaxLineCount, this);
  spinner->setObjectName("UpDown1");
  QPushButton* redisplayButton = Button(this, "cmdReDisplay", u"再表示");
  QPushButton* closeButton = Button(this, "cmdExit", u"閉じる");

  auto* fieldFrame = Named<QGroupBox>(this, "framReg", u"ﾌｨｰﾙﾄﾞ登録");
  QPushButton* registerButton = Button(fieldFrame, "cmdRegField", u"登録");
  QPushButton* clearButton = Button(fieldFrame, "cmdClear", u"クリア");
  auto* regLayout = new QHBoxLayout(fieldFrame);
  regLayout->addWidget(registerButton);
  regLayout->addWidget(clearButton);

  auto* controls = new QHBoxLayout;
  controls->addWidget(lineCountLabel);
  controls->addWidget(lineCountBox_);
  controls->addWidget(spinner);
  controls->addWidget(redisplayButton);
  controls->addStretch(1);
  controls->addWidget(fieldFrame);
  controls->addStretch(1);
  controls->addWidget(closeButton, 0, Qt::AlignBottom);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(encodingLabel_);
  layout->addWidget(grid_, 1);
  layout->addLayout(controls);

  connect(redisplayButton, &QPushButton::clicked, this, &PreviewWindow::Redisplay);
  connect(registerButton, &QPushButton::clicked, this, &PreviewWindow::RegisterField);
  connect(clearButton, &QPushButton::clicked, this, &PreviewWindow::ClearFields);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

  Load();
}

void PreviewWindow::Load() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    resize(area.width() * 8 / 10, std::min(area.height() * 6 / 10, 480));
  }
  CentreOnScreen(this);
  registeredFields_ = 0;
  columnCount_ = CountPreviewColumns();
  if (columnCount_ >= 0)
    LoadPreviewGrid();
}

int32_t PreviewWindow::LineCount() const {
  bool ok = false;
  const double value = lineCountBox_->text().trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(value))
    return -1;
  return static_cast<int32_t>(std::clamp(std::nearbyint(value), 0.0, double{kMaxLineCount}));
}

int16_t PreviewWindow::CountPreviewColumns() {
  std::optional<batch::LineReader> file = reader_.Open();
  if (!file)
    return -1;
  // The next line; nullopt at the end of the file or at a line that cannot be read, which is
  // said once, when the lines are shown.
  auto next = [&]() -> std::optional<std::u16string> {
    if (!reader_.Source().text || file->AtEnd())
      return std::nullopt;
    batch::LineReader::Line line = batch::ReadRecord(*file);
    if (line.status != batch::LineReader::Status::Ok)
      return std::nullopt;
    return std::move(line.text);
  };
  std::optional<std::u16string> line = next();
  if (!line)
    return 0;
  int32_t count = batch::CountFields(*line, u",");
  const int32_t lines = LineCount();
  for (int32_t number = 2; number <= lines && (line = next()); ++number)
    count = std::max(count, batch::CountFields(*line, u","));
  return static_cast<int16_t>(std::min<int32_t>(count, INT16_MAX));
}

void PreviewWindow::LoadPreviewGrid() {
  // The column the user chose stays chosen when the lines are read again.
  const int chosenColumn = grid_->selectedRanges().isEmpty() ? -1 : grid_->currentColumn();
  grid_->clear();
  grid_->setRowCount(0);
  grid_->setColumnCount(columnCount_);
  MarkFieldsInUse();
  std::optional<batch::LineReader> file = reader_.Open();
  if (!file)
    return;
  encodingLabel_->setText(QStringLiteral("文字コード：") + Q(text::EncodingName(file->Encoding())));
  const int32_t lines = LineCount();
  for (int32_t r = 1; r <= lines; ++r) {
    const std::optional<std::u16string> line =
        file->AtEnd() ? std::nullopt : reader_.ReadRawLine(*file);
    if (!line)
      break;
    const int row = grid_->rowCount();
    grid_->insertRow(row);
    if (line->empty())
      continue;
    // Only the comma splits here, whatever the delimiter setting says: the run reads its input
    // the same way.
    const std::vector<std::u16string> pieces = batch::SplitFields(*line, u",");
    const int shown = std::min<int>(static_cast<int>(pieces.size()), columnCount_);
    for (int column = 0; column < shown; ++column) {
      grid_->setItem(row, column, new QTableWidgetItem(Q(pieces[column])));
    }
  }
  file.reset();  // the file is not held open while the window shows
  grid_->resizeColumnsToContents();
  // No column is chosen for the user: 登録 without a choice asks for one.
  if (chosenColumn >= 0 && chosenColumn < grid_->columnCount() && grid_->rowCount() > 0)
    grid_->setCurrentCell(0, chosenColumn);
}

void PreviewWindow::MarkFieldsInUse() {
  // The fixed first row carries the field numbers, which are what 登録 registers; the fields the
  // main window uses now (住所１ and 住所２) are marked.
  const auto fieldOf = [](const QLineEdit* box) {
    bool ok = false;
    const int field = box ? box->text().trimmed().toInt(&ok) - 1 : -1;
    return ok ? field : -1;
  };
  const int first = fieldOf(addressField_), second = fieldOf(secondField_);
  QStringList numbers;
  for (int column = 0; column < columnCount_; ++column) {
    numbers << QString::number(column + 1) +
                   (column == first || column == second ? QStringLiteral("（使用中）") : QString());
  }
  grid_->setHorizontalHeaderLabels(numbers);
}

void PreviewWindow::Redisplay() {
  if (LineCount() < 0) {
    prompter_.ShowMessage(u"表示レコード数に数値を入れて下さい。");
    lineCountBox_->setFocus();
    return;
  }
  LoadPreviewGrid();
}

void PreviewWindow::RegisterField() {
  // Only a column the user selected counts: the grid's current cell alone may be where the
  // keyboard focus put it.
  const int column = grid_->selectedRanges().isEmpty() ? -1 : grid_->currentColumn();
  if (column >= 0) {
    if (!RegisterPreviewField(column))
      return;
  } else {
    prompter_.ShowMessage(u"ﾌｨｰﾙﾄﾞを選択して下さい");
  }
  // Leave only the current cell selected.
  const int row = grid_->currentRow();
  if (row >= 0 && column >= 0) {
    grid_->setCurrentCell(row, column, QItemSelectionModel::ClearAndSelect);
  }
}

bool PreviewWindow::RegisterPreviewField(int32_t column) {
  // One field per address-field box: the first registration is the address, a second one (住所２)
  // the field it goes on in.
  const int16_t limit = secondField_ ? 2 : 1;
  if (registeredFields_ >= limit) {
    prompter_.ShowMessage(u"登録できるフィールドは" + QString::number(limit).toStdU16String() +
                          u"つだけです。別のフィールドにするには「クリア」を押してから"
                          u"登録し直して下さい。");
    return false;
  }
  (registeredFields_ == 0 ? addressField_ : secondField_)->setText(QString::number(column + 1));
  ++registeredFields_;
  MarkFieldsInUse();
  return true;
}

void PreviewWindow::ClearFields() {
  addressField_->setText(QStringLiteral("1"));
  if (secondField_)
    secondField_->clear();
  registeredFields_ = 0;
  MarkFieldsInUse();
}

}  // namespace mok::ui
