// The unconverted-address list: which records of a run's input and output files are listed,
// the in-place editing of an entry, and the opening of the correction dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <memory>

#include "support/engine_database.h"
#include "support/recording_prompter.h"
#include "ui/dialog_test_support.h"
#include "ui/unconverted_list_window.h"
#include "ui/unconverted_rows.h"

namespace mok::test {
namespace {

using ui::UnconvertedRunFiles;

void WriteFile(const std::filesystem::path& path, const std::u16string& content) {
  const auto bytes = text::EncodeCp932(content);
  ASSERT_TRUE(bytes.has_value());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << *bytes;
}

// Input of a run (header line, start row 2, address in field 2) and its output with the
// default output settings: one header line; converted lines carry more fields than their
// source line, unconverted ones the source line itself or nothing.
constexpr char16_t kInput[] =
    u"番号,住所,備考\r\n"
    u"1,東京都港区芝公園1,x\r\n"      // converted
    u"2,東京都渋谷区はち山1-1,y\r\n"  // unconverted, source copied
    u"3, 東京都港区 ,z\r\n"           // unconverted, source not copied
    u"\r\n"                           // empty in both files: skipped
    u"4,,w\r\n"                       // empty address (converted with no fields)
    u"5,東京都港区芝公園1\r\n";       // no third field: two fields in, two out
constexpr char16_t kOutput[] =
    u",,,大字・町丁目+街区符号・地番,市区町村コード\r\n"
    u"1,東京都港区芝公園1,x,芝公園１,13103\r\n"
    u"2,東京都渋谷区はち山1-1,y\r\n"
    u"\r\n"
    u"\r\n"
    u"4,,w,\r\n"
    u"5,東京都港区芝公園1\r\n";

class UnconvertedListTest : public ::testing::Test {
 protected:
  UnconvertedRunFiles Run(const std::u16string& input = kInput,
                          const std::u16string& output = kOutput) {
    WriteFile(folder.File(u"in.csv"), input);
    WriteFile(folder.File(u"out.csv"), output);
    UnconvertedRunFiles run;
    run.inputPath = folder.Text() + u"/in.csv";
    run.outputPath = folder.Text() + u"/out.csv";
    run.startRow = 2;
    run.addressField = 1;
    return run;
  }

  std::vector<std::string> Collect(const UnconvertedRunFiles& run) {
    const auto list = ui::CollectUnconvertedAddresses(run, settings, prompter);
    if (!list)
      return {"<no list>"};
    std::vector<std::string> out;
    for (const auto& item : *list)
      out.push_back(text::ToUtf8(item));
    return out;
  }

  TempFolder folder;
  Settings settings;
  RecordingPrompter prompter;
};

TEST_F(UnconvertedListTest, ListsTheRowsWhoseOutputCarriesNoConvertedFields) {
  struct Case {
    const char* what;
    int16_t logOut;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"without the log column", 0, {"東京都渋谷区はち山1-1", "東京都港区", "東京都港区芝公園1"}},
      // An empty address converted with one log field looks like a source line plus ",".
      {"with the log column", 1, {"東京都渋谷区はち山1-1", "東京都港区", "", "東京都港区芝公園1"}},
  };
  for (const auto& c : cases) {
    settings.logOut = c.logOut;
    EXPECT_EQ(Collect(Run()), c.expected) << c.what;
  }
  EXPECT_TRUE(prompter.records.empty()) << ::testing::PrintToString(prompter.Texts());
}

TEST_F(UnconvertedListTest, LeadingLinesOfBothFilesAreSkipped) {
  auto run = Run(u"1,東京都港区芝公園1,x\r\n2,東京都渋谷区はち山1-1,y\r\n",
                 u"見出し1\r\n見出し2\r\n1,東京都港区芝公園1,x\r\n2,東京都渋谷区はち山1-1,y\r\n");
  run.startRow = 1;
  settings.addLine = 2;
  EXPECT_EQ(Collect(run), (std::vector<std::string>{"東京都港区芝公園1", "東京都渋谷区はち山1-1"}));
}

TEST_F(UnconvertedListTest, StopsAtTheEndOfTheShorterFile) {
  const auto run = Run(kInput, u"見出し\r\n1,a,x,芝公園１,13103\r\n2,東京都渋谷区はち山1-1,y\r\n");
  EXPECT_EQ(Collect(run), (std::vector<std::string>{"東京都渋谷区はち山1-1"}));
}

TEST_F(UnconvertedListTest, LineWithoutTheAddressFieldAddsNothing) {
  auto run = Run(u"見出し\r\n1,東京都港区\r\n", u"見出し\r\n1,東京都港区\r\n");
  run.addressField = 4;
  EXPECT_EQ(Collect(run), std::vector<std::string>{});
}

TEST_F(UnconvertedListTest, FailuresShowTheMessageAndGiveNoList) {
  struct Case {
    const char* what;
    std::function<void(UnconvertedRunFiles&)> change;
    std::string message;
  };
  const Case cases[] = {
      {"missing input", [](UnconvertedRunFiles& r) { r.inputPath += u".none"; },
       "ファイルが見つかりません。(53)"},
      {"missing output", [](UnconvertedRunFiles& r) { r.outputPath += u".none"; },
       "ファイルが見つかりません。(53)"},
      {"input ends before the start row", [](UnconvertedRunFiles& r) { r.startRow = 20; },
       "ファイルの終わりを越えて入力しようとしました。(62)"},
      {"output shorter than its header", [this](UnconvertedRunFiles&) { settings.addLine = 30; },
       "ファイルの終わりを越えて入力しようとしました。(62)"},
  };
  for (const auto& c : cases) {
    settings.addLine = 1;
    prompter.Clear();
    auto run = Run();
    c.change(run);
    EXPECT_EQ(Collect(run), std::vector<std::string>{"<no list>"}) << c.what;
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{c.message}) << c.what;
  }
}

TEST_F(UnconvertedListTest, SpreadsheetInputGivesAnEmptyList) {
  WriteFile(folder.File(u"in.xls"), kInput);
  auto run = Run();
  run.inputPath = folder.Text() + u"/in.xls";
  EXPECT_EQ(Collect(run), std::vector<std::string>{});
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"現在この機能はサポートされていません。"});
}

class UnconvertedWindowTest : public UnconvertedListTest {
 protected:
  void SetUp() override {
    env.AddTown(u"東京都", u"渋谷区", u"鉢山", {u"1"});
    env.Open();
  }

  std::unique_ptr<ui::frmIneffectAdr> OpenWindow() {
    auto window =
        std::make_unique<ui::frmIneffectAdr>(settings, *env.database, *env.recognizer, prompter);
    EXPECT_TRUE(window->FillUnconvertedRows(Run()));
    window->OpenCorrectionDialog = [this](const std::u16string& a) { opened.push_back(a); };
    window->show();
    return window;
  }

  static void Focus(QWidget* box, QEvent::Type type) {
    QFocusEvent event(type, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(box, &event);
  }

  EngineDatabase env;
  std::vector<std::u16string> opened;
};

TEST_F(UnconvertedWindowTest, ShowsTheListUnderItsCaption) {
  auto w = OpenWindow();
  EXPECT_EQ(w->windowTitle(), QStringLiteral("MOK 変換不能住所"));
  EXPECT_EQ(Control<QPushButton>(w.get(), "cmdEdit")->text(), QStringLiteral("編集"));
  EXPECT_EQ(Control<QPushButton>(w.get(), "cmdExit")->text(), QStringLiteral("終了"));
  auto* list = Control<QListWidget>(w.get(), "lstIneffectAdr");
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(1)->text(), QStringLiteral("東京都港区"));
  auto* box = Control<QLineEdit>(w.get(), "txtIneffectAdr");
  EXPECT_LT(box->y(), list->y()) << "the text box lies above the list";
}

TEST_F(UnconvertedWindowTest, EditingAnEntryReplacesItWhenTheBoxIsLeft) {
  auto w = OpenWindow();
  auto* list = Control<QListWidget>(w.get(), "lstIneffectAdr");
  auto* box = Control<QLineEdit>(w.get(), "txtIneffectAdr");
  for (int row : {0, 2}) {  // the first entry like any other
    SCOPED_TRACE(row);
    list->setCurrentRow(row);
    EXPECT_EQ(box->text(), list->item(row)->text());
    Focus(box, QEvent::FocusIn);
    box->setText(box->text() + QStringLiteral("改"));
    Focus(box, QEvent::FocusOut);
    EXPECT_TRUE(list->item(row)->text().endsWith(QStringLiteral("改")));
  }
  // Focus in and out without typing changes nothing.
  list->setCurrentRow(1);
  Focus(box, QEvent::FocusIn);
  Focus(box, QEvent::FocusOut);
  EXPECT_EQ(list->item(1)->text(), QStringLiteral("東京都港区"));
}

TEST_F(UnconvertedWindowTest, EditOpensTheCorrectionDialogOnTheBoxText) {
  auto w = OpenWindow();
  auto* list = Control<QListWidget>(w.get(), "lstIneffectAdr");
  auto* box = Control<QLineEdit>(w.get(), "txtIneffectAdr");
  list->setCurrentRow(-1);
  box->setText(QStringLiteral("東京都渋谷区はち山1-1"));
  QTest::mouseClick(Control<QPushButton>(w.get(), "cmdEdit"), Qt::LeftButton);
  EXPECT_TRUE(opened.empty()) << "nothing happens without a selection";

  list->setCurrentRow(0);
  Focus(box, QEvent::FocusIn);
  box->setText(QStringLiteral("東京都渋谷区はち山１－１"));
  QTest::mouseClick(Control<QPushButton>(w.get(), "cmdEdit"), Qt::LeftButton);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(text::ToUtf8(opened[0]), "東京都渋谷区はち山１－１");
}

TEST_F(UnconvertedWindowTest, EditShowsTheRealCorrectionDialog) {
  ui::frmIneffectAdr window(settings, *env.database, *env.recognizer, prompter);
  ASSERT_TRUE(window.FillUnconvertedRows(Run()));
  window.show();
  Control<QListWidget>(&window, "lstIneffectAdr")->setCurrentRow(0);
  QString shownAddress;
  QTimer::singleShot(0, [&shownAddress] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->objectName(), QStringLiteral("frmEdit"));
    shownAddress = Control<QLineEdit>(dialog, "txtAddress")->text();
    dialog->close();
  });
  window.cmdEdit_Click();
  EXPECT_EQ(shownAddress, QStringLiteral("東京都渋谷区はち山1-1"));
}

TEST_F(UnconvertedWindowTest, ListUnconvertedRowsShowsTheWindowThenEndsTheRunningState) {
  std::vector<std::string> events;
  QTimer::singleShot(0, [&events] {
    QWidget* window = QApplication::activeModalWidget();
    ASSERT_TRUE(window);
    events.push_back(window->objectName().toStdString() + " " +
                     std::to_string(Control<QListWidget>(window, "lstIneffectAdr")->count()));
    window->close();
  });
  ui::ListUnconvertedRows(
      Run(), settings, *env.database, *env.recognizer, prompter,
      [&events](bool running) { events.push_back(running ? "running" : "idle"); });
  EXPECT_EQ(events, (std::vector<std::string>{"frmIneffectAdr 3", "idle"}));

  // A file that cannot be read: the message, no window, and still back to idle.
  events.clear();
  auto run = Run();
  run.outputPath += u".none";
  ui::ListUnconvertedRows(
      run, settings, *env.database, *env.recognizer, prompter,
      [&events](bool running) { events.push_back(running ? "running" : "idle"); });
  EXPECT_EQ(events, std::vector<std::string>{"idle"});
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"ファイルが見つかりません。(53)"});
}

}  // namespace
}  // namespace mok::test
