// The two settings dialogs and the folder chooser, driven through their controls.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>
#include <filesystem>

#include "startup/settings_file.h"
#include "support/recording_prompter.h"
#include "text/text.h"
#include "ui/conversion_options_dialog.h"
#include "ui/directory_chooser.h"
#include "ui/environment_dialog.h"
#include "ui_test_support.h"

namespace mok::test {
namespace {

using ui::ConversionOptionsDialog;
using ui::DirectoryChooser;
using ui::EnvironmentDialog;

// Every saved key of section "MOK" with the value the file holds.
std::vector<std::pair<std::string, std::string>> SavedKeys(const std::u16string& ini) {
  static const char16_t* const kKeys[] = {
      u"DBDIR",      u"INPUTDIR", u"OUTPUTDIR",    u"DELIMITER", u"NOTOVERWRITE", u"UNKNOWN",
      u"UNKNOWNOUT", u"CSVOUT",   u"TOWNCONBINE",  u"PREF",      u"CITY",         u"REMAIN",
      u"LOG",        u"MONITOR",  u"SRCOUT",       u"CITYCODE",  u"COORDNO",      u"XYCOORD",
      u"LATITUDE",   u"MESHCODE", u"COMPLETEMATCH"};
  std::vector<std::pair<std::string, std::string>> keys;
  for (const char16_t* key : kKeys) {
    keys.emplace_back(text::ToUtf8(key), text::ToUtf8(IniValue(ini, u"MOK", key)));
  }
  return keys;
}

// A settings file that differs from the defaults wherever it can, so that a value the dialog
// loses or resets shows up.
const char16_t kFullIni[] =
    u"[MOK]\r\nVELMORA=map.exe\r\nDBDIR=/data/地図データ\r\nINPUTDIR=/in\r\nOUTPUTDIR=/out\r\n"
    u"DELIMITER=,\r\nNOTOVERWRITE=1\r\nUNKNOWN=1\r\nUNKNOWNOUT=1\r\nCSVOUT=0\r\nTOWNCONBINE=1\r\n"
    u"PREF=1\r\nCITY=1\r\nREMAIN=1\r\nLOG=1\r\nMONITOR=0\r\nSRCOUT=0\r\nCITYCODE=0\r\nCOORDNO=0\r\n"
    u"XYCOORD=0\r\nLATITUDE=0\r\nMESHCODE=0\r\nCOMPLETEMATCH=1\r\nFIXEDTERM_0001=3,霞が関\r\n"
    u"[CURRENT]\r\nStartRow=5\r\n";

class SettingsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ini = folder.File("mok.ini");
    WriteCp932(ini, kFullIni);
    LoadSettings(settings, ini, prompter);
  }
  TempFolder folder;
  std::u16string ini;
  Settings settings;
  RecordingPrompter prompter;
};

// --- Detailed conversion settings --------------------------------------------------------------

TEST_F(SettingsDialogTest, ConfirmingWithoutChangesWritesTheSameValues) {
  const auto before = SavedKeys(ini);
  ConversionOptionsDialog dialog(settings, ini, prompter);
  Child<QPushButton>(&dialog, "cmdOK")->click();
  EXPECT_EQ(SavedKeys(ini), before);
  EXPECT_EQ(IniValue(ini, u"MOK", u"CSVOUT"), u"0");
  EXPECT_EQ(IniValue(ini, u"MOK", u"TOWNCONBINE"), u"1");
  // Keys the dialog does not save stay as they were.
  EXPECT_EQ(IniValue(ini, u"MOK", u"VELMORA"), u"map.exe");
  EXPECT_EQ(IniValue(ini, u"CURRENT", u"StartRow"), u"5");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(SettingsDialogTest, EveryCheckBoxShowsAndSetsItsField) {
  struct Case {
    const char* box;
    bool Settings::*field;
    const char16_t* key;
  };
  const Case cases[] = {
      {"chkSrcFieldOut", &Settings::srcOut, u"SRCOUT"},
      {"chkPrefOutput", &Settings::prefOut, u"PREF"},
      {"chkCityOutput", &Settings::cityOut, u"CITY"},
      {"chkRemainOutput", &Settings::remainOut, u"REMAIN"},
      {"chkCodeOutput", &Settings::cityCodeOut, u"CITYCODE"},
      {"chkXYOutput", &Settings::xyOut, u"XYCOORD"},
      {"chkLatitudeOutput", &Settings::latLonOut, u"LATITUDE"},
      {"chkLogOutput", &Settings::logOut, u"LOG"},
      {"chkOverWrite", &Settings::notOverwrite, u"NOTOVERWRITE"},
      {"chkInteractive", &Settings::unknownCheck, u"UNKNOWN"},
      {"chkUnknownOutput", &Settings::unknownOut, u"UNKNOWNOUT"},
      {"chkMonitorDisplay", &Settings::monitor, u"MONITOR"},
      {"chkCompleteMatch", &Settings::completeMatch, u"COMPLETEMATCH"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    WriteCp932(ini, kFullIni);
    LoadSettings(settings, ini, prompter);
    const bool before = settings.*c.field;
    ConversionOptionsDialog dialog(settings, ini, prompter);
    auto* box = Child<QCheckBox>(&dialog, c.box);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->isChecked(), before) << "shown value";
    box->click();
    Child<QPushButton>(&dialog, "cmdOK")->click();
    const bool expected = !before;
    EXPECT_EQ(settings.*c.field, expected);
    EXPECT_EQ(text::ToUtf8(IniValue(ini, u"MOK", c.key)), expected ? "1" : "0");
  }
}

TEST_F(SettingsDialogTest, CancelChangesNeitherSettingsNorFile) {
  ASSERT_TRUE(settings.prefOut);
  const std::string fileBefore = ReadBytes(ini);
  ConversionOptionsDialog dialog(settings, ini, prompter);
  Child<QCheckBox>(&dialog, "chkPrefOutput")->click();
  Child<QRadioButton>(&dialog, "optSeparation")->click();
  Child<QPushButton>(&dialog, "cmdCancel")->click();
  EXPECT_TRUE(settings.prefOut);
  EXPECT_TRUE(settings.townCombine);
  EXPECT_EQ(ReadBytes(ini), fileBefore);
}

TEST_F(SettingsDialogTest, SeparateTownFormatSavesTownCombineZero) {
  ConversionOptionsDialog dialog(settings, ini, prompter);
  EXPECT_TRUE(Child<QRadioButton>(&dialog, "optCombine")->isChecked());
  Child<QRadioButton>(&dialog, "optSeparation")->click();
  Child<QPushButton>(&dialog, "cmdOK")->click();
  EXPECT_FALSE(settings.townCombine);
  EXPECT_EQ(IniValue(ini, u"MOK", u"TOWNCONBINE"), u"0");
}

TEST_F(SettingsDialogTest, HiddenControlsCarryFileFormatAndMeshCodeThrough) {
  ASSERT_FALSE(settings.csvOut);
  ConversionOptionsDialog dialog(settings, ini, prompter);
  dialog.show();
  for (const char* hidden :
       {"framOutputFormat", "optCsv", "optExcel", "chkMeshCodeOutput", "chkNoConvNoOut"}) {
    auto* control = Child<QWidget>(&dialog, hidden);
    ASSERT_NE(control, nullptr);
    EXPECT_FALSE(control->isVisible()) << hidden;
  }
  EXPECT_FALSE(Child<QRadioButton>(&dialog, "optExcel")->isEnabled());
  EXPECT_TRUE(Child<QRadioButton>(&dialog, "optExcel")->isChecked());
  Child<QPushButton>(&dialog, "cmdOK")->click();
  EXPECT_FALSE(settings.csvOut);
  EXPECT_EQ(IniValue(ini, u"MOK", u"CSVOUT"), u"0");
  EXPECT_EQ(IniValue(ini, u"MOK", u"MESHCODE"), u"0");
  EXPECT_EQ(IniValue(ini, u"MOK", u"COORDNO"), u"0");
}

TEST_F(SettingsDialogTest, CaptionsOfTheOptionControls) {
  ConversionOptionsDialog dialog(settings, ini, prompter);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("MOK 詳細設定"));
  const std::pair<const char*, const char16_t*> captions[] = {
      {"chkSrcFieldOut", u"入力データ"},
      {"optCombine", u"大字・町丁目＋街区符号・地番"},
      {"optSeparation", u"大字・町丁目と街区符号・地番"},
      {"chkRemainOutput", u"号・枝番以降（ビル名等）"},
      {"chkXYOutput", u"Ｘ座標、Ｙ座標"},
      {"chkLatitudeOutput", u"経度、緯度"},
      {"chkOverWrite", u"未処理データのみ変換"},
      {"cmdOK", u"設定"},
      {"cmdCancel", u"ｷｬﾝｾﾙ"},
  };
  for (const auto& [name, caption] : captions) {
    auto* button = Child<QAbstractButton>(&dialog, name);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QString::fromUtf16(caption)) << name;
  }
  EXPECT_EQ(Child<QGroupBox>(&dialog, "framOutField")->title(), QStringLiteral("出力フィールド"));
}

TEST_F(SettingsDialogTest, FlagOutsideZeroAndOneIsKeptUnlessTheBoxIsTicked) {
  WriteCp932(ini, u"[MOK]\r\nPREF=2\r\nCITY=2\r\n");
  LoadSettings(settings, ini, prompter);
  ConversionOptionsDialog dialog(settings, ini, prompter);
  EXPECT_FALSE(Child<QCheckBox>(&dialog, "chkPrefOutput")->isChecked());
  Child<QCheckBox>(&dialog, "chkCityOutput")->click();
  Child<QPushButton>(&dialog, "cmdOK")->click();
  EXPECT_EQ(IniValue(ini, u"MOK", u"PREF"), u"2");
  EXPECT_EQ(IniValue(ini, u"MOK", u"CITY"), u"1");
}

// --- Environment settings -----------------------------------------------------------------------

TEST_F(SettingsDialogTest, EnvironmentDialogRereadsFileAndConfirmingKeepsValues) {
  settings.prefOut = false;  // in memory only: the dialog starts from the file
  settings.dbDir = u"/elsewhere";
  const auto before = SavedKeys(ini);
  int reloads = 0;
  EnvironmentDialog dialog(settings, ini, prompter, [&] { ++reloads; });
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("MOK 環境設定"));
  EXPECT_EQ(Child<QLineEdit>(&dialog, "txtDbDir")->text(), QStringLiteral("/data/地図データ"));
  EXPECT_TRUE(settings.prefOut);
  Child<QPushButton>(&dialog, "cmdExit")->click();
  EXPECT_EQ(SavedKeys(ini), before);
  EXPECT_EQ(reloads, 1);
}

TEST_F(SettingsDialogTest, TypedFolderIsStoredWithoutBrowsingAndRegionsReloaded) {
  std::u16string dbDirAtReload;
  EnvironmentDialog dialog(settings, ini, prompter, [&] { dbDirAtReload = settings.dbDir; });
  Child<QLineEdit>(&dialog, "txtDbDir")->setText(QStringLiteral("/no/such/フォルダ"));
  Child<QPushButton>(&dialog, "cmdExit")->click();
  EXPECT_EQ(IniValue(ini, u"MOK", u"DBDIR"), u"/no/such/フォルダ");
  EXPECT_EQ(settings.dbDir, u"/no/such/フォルダ");
  EXPECT_EQ(dbDirAtReload, u"/no/such/フォルダ") << "the reload sees the new folder";
}

TEST_F(SettingsDialogTest, EnvironmentCancelStoresNothing) {
  const std::string fileBefore = ReadBytes(ini);
  int reloads = 0;
  EnvironmentDialog dialog(settings, ini, prompter, [&] { ++reloads; });
  Child<QLineEdit>(&dialog, "txtDbDir")->setText(QStringLiteral("/changed"));
  Child<QPushButton>(&dialog, "cmdCancel")->click();
  EXPECT_EQ(ReadBytes(ini), fileBefore);
  EXPECT_EQ(reloads, 0);
  EXPECT_EQ(settings.dbDir, u"/data/地図データ");
}

TEST_F(SettingsDialogTest, ChooserTypedPathComesBackIntoTheFolderBox) {
  EnvironmentDialog dialog(settings, ini, prompter, [] {});
  WhenModalShows("frmSelectDir", [](QWidget* chooser) {
    EXPECT_EQ(Child<QLineEdit>(chooser, "txtSelectDir")->text(), QStringLiteral("/data/地図データ"))
        << "an absolute folder that does not exist is shown as given";
    Child<QLineEdit>(chooser, "txtSelectDir")->setText(QStringLiteral("/typed/無い"));
    Child<QPushButton>(chooser, "cmdOk")->click();
  });
  Child<QPushButton>(&dialog, "cmdDbDir")->click();
  EXPECT_EQ(Child<QLineEdit>(&dialog, "txtDbDir")->text(), QStringLiteral("/typed/無い"));
}

TEST_F(SettingsDialogTest, ChooserCancelLeavesTheFolderBox) {
  EnvironmentDialog dialog(settings, ini, prompter, [] {});
  WhenModalShows("frmSelectDir", [](QWidget* chooser) {
    Child<QLineEdit>(chooser, "txtSelectDir")->setText(QStringLiteral("/typed"));
    Child<QPushButton>(chooser, "cmdCancel")->click();
  });
  Child<QPushButton>(&dialog, "cmdDbDir")->click();
  EXPECT_EQ(Child<QLineEdit>(&dialog, "txtDbDir")->text(), QStringLiteral("/data/地図データ"));
}

TEST_F(SettingsDialogTest, ChooserStartsAtTheCurrentFolderWhenTheBoxIsEmpty) {
  EnvironmentDialog dialog(settings, ini, prompter, [] {});
  Child<QLineEdit>(&dialog, "txtDbDir")->clear();
  QString shown;
  WhenModalShows("frmSelectDir", [&](QWidget* chooser) {
    shown = Child<QLineEdit>(chooser, "txtSelectDir")->text();
    Child<QPushButton>(chooser, "cmdOk")->click();
  });
  Child<QPushButton>(&dialog, "cmdDbDir")->click();
  EXPECT_EQ(shown, QDir::toNativeSeparators(QDir::currentPath()));
  EXPECT_EQ(Child<QLineEdit>(&dialog, "txtDbDir")->text(), shown);
}

// --- Folder chooser on its own ------------------------------------------------------------------

TEST(DirectoryChooserTest, ContractOfSelectedDirAndDirSelected) {
  RecordingPrompter prompter;
  TempFolder folder;
  const QString existing = QString::fromStdString(folder.path().string());
  struct Case {
    const char* name;
    QString start;
    QString typed;  // null: leave the box as shown
    bool ok;
    QString expectedDir;
    bool expectedSelected;
  };
  const QString current = QDir::toNativeSeparators(QDir::currentPath());
  const Case cases[] = {
      {"existing folder, OK", existing, QString(), true, existing, true},
      {"relative start opens at the current folder", "relative/dir", QString(), true, current,
       true},
      {"typed path returned unchanged", existing, " /not there/ x ", true, " /not there/ x ", true},
      {"empty typed path", existing, "", true, "", true},
      {"cancel", existing, "/typed", false, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DirectoryChooser chooser(c.start.toStdU16String(), prompter);
    EXPECT_EQ(chooser.windowTitle(), QStringLiteral("ディレクトリ選択"));
    if (!c.typed.isNull())
      Child<QLineEdit>(&chooser, "txtSelectDir")->setText(c.typed);
    Child<QPushButton>(&chooser, c.ok ? "cmdOk" : "cmdCancel")->click();
    ASSERT_EQ(chooser.ChosenFolder().has_value(), c.expectedSelected);
    if (c.expectedSelected) {
      EXPECT_EQ(QString::fromStdU16String(*chooser.ChosenFolder()), c.expectedDir);
    }
  }
  EXPECT_TRUE(prompter.records.empty());
}

TEST(DirectoryChooserTest, EscapeIsACancel) {
  RecordingPrompter prompter;
  DirectoryChooser chooser(u"/", prompter);
  chooser.show();
  QTest::keyClick(&chooser, Qt::Key_Escape);
  EXPECT_FALSE(chooser.isVisible());
  EXPECT_FALSE(chooser.ChosenFolder());
}

}  // namespace
}  // namespace mok::test

namespace mok::test {
namespace {

TEST(DirectoryChooserTest, ClickingOrOpeningAFolderShowsItsPath) {
  RecordingPrompter prompter;
  TempFolder folder;
  std::filesystem::create_directories(folder.path() / "サブ");
  const QString base = QString::fromStdString(folder.path().string());
  const QString sub = QString::fromStdString((folder.path() / "サブ").string());
  DirectoryChooser chooser(base.toStdU16String(), prompter);
  auto* tree = Child<QTreeView>(&chooser, "dirSelDir");
  auto* model = qobject_cast<QFileSystemModel*>(tree->model());
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->filePath(tree->currentIndex()), base) << "the list starts at the folder";

  emit tree->clicked(model->index(sub));
  EXPECT_EQ(Child<QLineEdit>(&chooser, "txtSelectDir")->text(), sub);

  emit tree->activated(model->index(sub));
  EXPECT_EQ(model->filePath(tree->currentIndex()), sub);
  Child<QPushButton>(&chooser, "cmdOk")->click();
  EXPECT_EQ(chooser.ChosenFolder(), sub.toStdU16String());
}

}  // namespace
}  // namespace mok::test
