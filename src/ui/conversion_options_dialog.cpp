#include "ui/conversion_options_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "startup/settings_file.h"
#include "ui/named_widgets.h"
#include "ui/qt_text.h"

namespace mok::ui {

ConversionOptionsDialog::ConversionOptionsDialog(Settings& settings,
                                                 std::u16string settingsFilePath,
                                                 Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      settingsFilePath_(std::move(settingsFilePath)),
      prompter_(prompter) {
  setObjectName("frmConvertOption");
  setWindowTitle(QStringLiteral("MOK 詳細設定"));
  setModal(true);

  // The output fields on the left, how the run behaves on the right above the buttons.
  QGroupBox* outputFields = BuildOutputFields();
  QVBoxLayout* right = BuildRunOptions();
  BuildHiddenOptions();
  QPushButton* cancelButton = Button(this, "cmdCancel", u"ｷｬﾝｾﾙ");
  QPushButton* saveButton = Button(this, "cmdOK", u"設定");
  saveButton->setDefault(true);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(saveButton, &QPushButton::clicked, this, &ConversionOptionsDialog::SaveOptions);
  right->addStretch(1);
  right->addWidget(cancelButton, 0, Qt::AlignRight);
  right->addWidget(saveButton, 0, Qt::AlignRight);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(outputFields, 1);
  layout->addLayout(right, 1);

  LoadOptions();
}

QGroupBox* ConversionOptionsDialog::BuildOutputFields() {
  QGroupBox* frame = Named<QGroupBox>(this, "framOutField", u"出力フィールド");
  auto* fields = new QVBoxLayout(frame);
  fields->addWidget(AddFlag(frame, "chkSrcFieldOut", u"入力データ", &Settings::srcOut));
  fields->addWidget(AddFlag(frame, "chkPrefOutput", u"都道府県名", &Settings::prefOut));
  fields->addWidget(AddFlag(frame, "chkCityOutput", u"市区町村名", &Settings::cityOut));
  // The two town formats sit in a frame of their own so that they form one group.
  auto* formatFrame = new QGroupBox(frame);
  formatFrame->setObjectName("framFormat");
  auto* format = new QVBoxLayout(formatFrame);
  combinedTownOption_ =
      Named<QRadioButton>(formatFrame, "optCombine", u"大字・町丁目＋街区符号・地番");
  separateTownOption_ =
      Named<QRadioButton>(formatFrame, "optSeparation", u"大字・町丁目と街区符号・地番");
  format->addWidget(combinedTownOption_);
  format->addWidget(separateTownOption_);
  fields->addWidget(formatFrame);
  fields->addWidget(
      AddFlag(frame, "chkRemainOutput", u"号・枝番以降（ビル名等）", &Settings::remainOut));
  fields->addWidget(AddFlag(frame, "chkCodeOutput", u"市区町村コード", &Settings::cityCodeOut));
  fields->addWidget(AddFlag(frame, "chkXYOutput", u"Ｘ座標、Ｙ座標", &Settings::xyOut));
  fields->addWidget(AddFlag(frame, "chkLatitudeOutput", u"経度、緯度", &Settings::latLonOut));
  fields->addWidget(AddFlag(frame, "chkLevelOutput", u"位置レベル", &Settings::levelOut));
  fields->addWidget(AddFlag(frame, "chkLogOutput", u"変換ログフィールド", &Settings::logOut));
  fields->addStretch(1);
  return frame;
}

QVBoxLayout* ConversionOptionsDialog::BuildRunOptions() {
  QGroupBox* runFrame = Named<QGroupBox>(this, "framConvCond", u"変換処理");
  auto* run = new QVBoxLayout(runFrame);
  run->addWidget(
      AddFlag(runFrame, "chkOverWrite", u"未処理データのみ変換", &Settings::notOverwrite));
  run->addWidget(AddFlag(runFrame, "chkInteractive", u"不明データの確認", &Settings::unknownCheck));
  run->addWidget(AddFlag(runFrame, "chkUnknownOutput", u"不明データも出力", &Settings::unknownOut));
  QGroupBox* monitorFrame = Named<QGroupBox>(this, "framOutCond", u"出力条件");
  auto* monitor = new QVBoxLayout(monitorFrame);
  monitor->addWidget(
      AddFlag(monitorFrame, "chkMonitorDisplay", u"状況モニタに表示", &Settings::monitor));
  QGroupBox* searchFrame = Named<QGroupBox>(this, "frmSearchOption", u"検索方法");
  auto* search = new QVBoxLayout(searchFrame);
  search->addWidget(
      AddFlag(searchFrame, "chkCompleteMatch", u"完全一致", &Settings::completeMatch));
  // The extended matching (MATCHMODE): variant spellings, numerals inside town names, a 丁目
  // left out, Kyoto street names.
  search->addWidget(AddFlag(searchFrame, "chkExtendedMatch", u"拡張照合（異体字・通り名など）",
                            &Settings::extendedMatch));
  // The two modes in a sentence each, so that the choice needs no manual.
  // Broken by hand rather than wrapped: a wrapped label in this layout gets the height of one
  // line and overlaps what follows.
  QLabel* modes = Label(searchFrame, "lblMatchModes",
                        u"標準照合：町名を書かれたとおりに照合します。\n"
                        u"拡張照合：異体字（ヶとケ、澤と沢など）、\n"
                        u"町名の中の数字、省かれた丁目や京都の\n"
                        u"通り名も読み取り、より多くの住所を正しい\n"
                        u"町に変換します。");
  search->addWidget(modes);
  auto* column = new QVBoxLayout;
  column->addWidget(runFrame);
  column->addWidget(monitorFrame);
  column->addWidget(searchFrame);
  return column;
}

// Controls that exist for the file format and the mesh code but are never shown: the dialog
// carries their values through unchanged.
void ConversionOptionsDialog::BuildHiddenOptions() {
  QGroupBox* fileFormatFrame = Named<QGroupBox>(this, "framOutputFormat", u"出力ファイル形式");
  auto* outputFormat = new QVBoxLayout(fileFormatFrame);
  csvOption_ = Named<QRadioButton>(fileFormatFrame, "optCsv", u"CSV形式");
  excelOption_ = Named<QRadioButton>(fileFormatFrame, "optExcel", u"Excel形式");
  excelOption_->setEnabled(false);
  outputFormat->addWidget(csvOption_);
  outputFormat->addWidget(excelOption_);
  fileFormatFrame->hide();
  AddFlag(this, "chkMeshCodeOutput", u"メッシュコード", &Settings::meshCodeOut)->hide();
  Named<QCheckBox>(this, "chkNoConvNoOut", u"変換なしは出力しない")->hide();
}

QCheckBox* ConversionOptionsDialog::AddFlag(QWidget* parent, const char* name,
                                            const char16_t* caption, bool Settings::*field) {
  auto* box = Named<QCheckBox>(parent, name, caption);
  flags_.push_back({box, field});
  return box;
}

void ConversionOptionsDialog::LoadOptions() {
  for (const FlagBox& flag : flags_)
    flag.box->setChecked(settings_.*flag.field);
  (settings_.townCombine ? combinedTownOption_ : separateTownOption_)->setChecked(true);
  (settings_.csvOut ? csvOption_ : excelOption_)->setChecked(true);
  adjustSize();
  CentreOnScreen(this);
}

void ConversionOptionsDialog::SaveOptions() {
  // Saving keeps the stored text of every flag whose meaning did not change (a number other
  // than 0 or 1 shows as unchecked and survives unless the user ticks the box).
  for (const FlagBox& flag : flags_)
    settings_.*flag.field = flag.box->isChecked();
  settings_.csvOut = csvOption_->isChecked();
  settings_.townCombine = combinedTownOption_->isChecked();
  SaveSettings(settings_, settingsFilePath_);
  accept();
}

}  // namespace mok::ui
