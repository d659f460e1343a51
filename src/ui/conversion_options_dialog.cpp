#include "ui/conversion_options_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "startup/settings_file.h"
#include "ui/qt_text.h"

namespace mok::ui {
namespace {

QGroupBox* Frame(QWidget* parent, const char* name, const char16_t* caption) {
  auto* frame = new QGroupBox(QString::fromUtf16(caption), parent);
  frame->setObjectName(name);
  return frame;
}

QRadioButton* Option(QWidget* parent, const char* name, const char16_t* caption) {
  auto* option = new QRadioButton(QString::fromUtf16(caption), parent);
  option->setObjectName(name);
  return option;
}

}  // namespace

frmConvertOption::frmConvertOption(Settings& settings, std::u16string settingsFilePath,
                                   Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      settingsFilePath_(std::move(settingsFilePath)),
      prompter_(prompter) {
  setObjectName("frmConvertOption");
  setWindowTitle(QStringLiteral("MOK 詳細設定"));
  setModal(true);

  // Left column: the output fields.
  QGroupBox* framOutField = Frame(this, "framOutField", u"出力フィールド");
  auto* outFields = new QVBoxLayout(framOutField);
  outFields->addWidget(AddFlag(framOutField, "chkSrcFieldOut", u"入力データ", &Settings::srcOut));
  outFields->addWidget(AddFlag(framOutField, "chkPrefOutput", u"都道府県名", &Settings::prefOut));
  outFields->addWidget(AddFlag(framOutField, "chkCityOutput", u"市区町村名", &Settings::cityOut));
  // The two town formats sit in a frame of their own so that they form one group.
  auto* framFormat = new QGroupBox(framOutField);
  framFormat->setObjectName("framFormat");
  auto* format = new QVBoxLayout(framFormat);
  optCombine_ = Option(framFormat, "optCombine", u"大字・町丁目＋街区符号・地番");
  optSeparation_ = Option(framFormat, "optSeparation", u"大字・町丁目と街区符号・地番");
  format->addWidget(optCombine_);
  format->addWidget(optSeparation_);
  outFields->addWidget(framFormat);
  outFields->addWidget(
      AddFlag(framOutField, "chkRemainOutput", u"号・枝番以降（ビル名等）", &Settings::remainOut));
  outFields->addWidget(
      AddFlag(framOutField, "chkCodeOutput", u"市区町村コード", &Settings::cityCodeOut));
  outFields->addWidget(AddFlag(framOutField, "chkXYOutput", u"Ｘ座標、Ｙ座標", &Settings::xyOut));
  outFields->addWidget(
      AddFlag(framOutField, "chkLatitudeOutput", u"経度、緯度", &Settings::latLonOut));
  outFields->addWidget(
      AddFlag(framOutField, "chkLogOutput", u"変換ログフィールド", &Settings::logOut));
  outFields->addStretch(1);

  // Right column: how the run behaves.
  QGroupBox* framConvCond = Frame(this, "framConvCond", u"変換処理");
  auto* convCond = new QVBoxLayout(framConvCond);
  convCond->addWidget(
      AddFlag(framConvCond, "chkOverWrite", u"未処理データのみ変換", &Settings::notOverwrite));
  convCond->addWidget(
      AddFlag(framConvCond, "chkInteractive", u"不明データの確認", &Settings::unknownCheck));
  convCond->addWidget(
      AddFlag(framConvCond, "chkUnknownOutput", u"不明データも出力", &Settings::unknownOut));
  QGroupBox* framOutCond = Frame(this, "framOutCond", u"出力条件");
  auto* outCond = new QVBoxLayout(framOutCond);
  outCond->addWidget(
      AddFlag(framOutCond, "chkMonitorDisplay", u"状況モニタに表示", &Settings::monitor));
  QGroupBox* frmSearchOption = Frame(this, "frmSearchOption", u"検索方法");
  auto* search = new QVBoxLayout(frmSearchOption);
  search->addWidget(
      AddFlag(frmSearchOption, "chkCompleteMatch", u"完全一致", &Settings::completeMatch));

  // Controls that exist for the file format and the mesh code but are never shown: the
  // dialog carries their values through unchanged.
  QGroupBox* framOutputFormat = Frame(this, "framOutputFormat", u"出力ファイル形式");
  auto* outputFormat = new QVBoxLayout(framOutputFormat);
  optCsv_ = Option(framOutputFormat, "optCsv", u"CSV形式");
  optExcel_ = Option(framOutputFormat, "optExcel", u"Excel形式");
  optExcel_->setEnabled(false);
  outputFormat->addWidget(optCsv_);
  outputFormat->addWidget(optExcel_);
  framOutputFormat->hide();
  QCheckBox* chkMeshCodeOutput =
      AddFlag(this, "chkMeshCodeOutput", u"メッシュコード", &Settings::meshCodeOut);
  chkMeshCodeOutput->hide();
  auto* chkNoConvNoOut = new QCheckBox(QStringLiteral("変換なしは出力しない"), this);
  chkNoConvNoOut->setObjectName("chkNoConvNoOut");
  chkNoConvNoOut->hide();

  auto* cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  cmdCancel->setObjectName("cmdCancel");
  auto* cmdOK = new QPushButton(QStringLiteral("設定"), this);
  cmdOK->setObjectName("cmdOK");
  cmdOK->setDefault(true);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdOK, &QPushButton::clicked, this, &frmConvertOption::cmdOK_Click);

  auto* right = new QVBoxLayout;
  right->addWidget(framConvCond);
  right->addWidget(framOutCond);
  right->addWidget(frmSearchOption);
  right->addStretch(1);
  right->addWidget(cmdCancel, 0, Qt::AlignRight);
  right->addWidget(cmdOK, 0, Qt::AlignRight);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(framOutField, 1);
  layout->addLayout(right, 1);

  Form_Load();
}

QCheckBox* frmConvertOption::AddFlag(QWidget* parent, const char* name, const char16_t* caption,
                                     bool Settings::*field) {
  auto* box = new QCheckBox(QString::fromUtf16(caption), parent);
  box->setObjectName(name);
  flags_.push_back({box, field});
  return box;
}

void frmConvertOption::Form_Load() {
  for (const FlagBox& flag : flags_)
    flag.box->setChecked(settings_.*flag.field);
  (settings_.townCombine ? optCombine_ : optSeparation_)->setChecked(true);
  (settings_.csvOut ? optCsv_ : optExcel_)->setChecked(true);
  adjustSize();
  CentreOnScreen(this);
}

void frmConvertOption::cmdOK_Click() {
  // Saving keeps the stored text of every flag whose meaning did not change (a number other
  // than 0 or 1 shows as unchecked and survives unless the user ticks the box).
  for (const FlagBox& flag : flags_)
    settings_.*flag.field = flag.box->isChecked();
  settings_.csvOut = optCsv_->isChecked();
  settings_.townCombine = optCombine_->isChecked();
  SaveSettings(settings_, settingsFilePath_);
  accept();
}

}  // namespace mok::ui
