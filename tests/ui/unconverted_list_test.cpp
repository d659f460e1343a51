// The unconverted-address list window: the rows it lists from a run's files, the in-place editing
// of an entry, the correction dialog opened on it, and the main window's way of opening it.
#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "engine/recognition/engine_test_db.h"
#include "ui/dialog_test_support.h"
#include "ui/unconverted_list_window.h"

namespace mok::test {
namespace {

void WriteFile(const std::filesystem::path& path, const std::u16string& content) {
  std::ofstream(path, std::ios::binary) << text::EncodeCp932(content).value();
}

class UnconvertedListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.AddTown(u"東京都", u"渋谷区", u"鉢山", {u"1"});
    env.Open();
  }

  // A run of three records after a header line: the second and third were not converted.
  batch::UnconvertedRunFiles Run() {
    WriteFile(folder.File(u"in.csv"),
              u"番号,住所\r\n1,東京都港区芝公園1\r\n2,東京都渋谷区はち山1-1\r\n3, 東京都港区 \r\n");
    WriteFile(folder.File(u"out.csv"),
              u"見出し\r\n1,東京都港区芝公園1,芝公園１,13103\r\n2,東京都渋谷区はち山1-1\r\n\r\n");
    return {folder.Text() + u"/in.csv", folder.Text() + u"/out.csv", 2, 1};
  }

  std::unique_ptr<ui::UnconvertedListWindow> OpenWindow() {
    auto window = std::make_unique<ui::UnconvertedListWindow>(env.settings, *env.database,
                                                              *env.recognizer, env.prompter);
    EXPECT_TRUE(window->FillUnconvertedRows(Run()));
    window->show();
    return window;
  }

  static void Focus(QWidget* box, QEvent::Type type) {
    QFocusEvent event(type, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(box, &event);
  }

  // Clicks 編集 and returns the address the correction dialog opened on ("" when none opened).
  static QString EditClicked(QWidget* window) {
    QString shown;
    QTimer::singleShot(0, [&shown] {
      if (QWidget* dialog = QApplication::activeModalWidget()) {
        EXPECT_EQ(dialog->objectName(), QStringLiteral("frmEdit"));
        shown = Control<QLineEdit>(dialog, "txtAddress")->text();
        dialog->close();
      }
    });
    QTest::mouseClick(Control<QPushButton>(window, "cmdEdit"), Qt::LeftButton);
    QCoreApplication::processEvents();  // the check runs here when no dialog opened
    return shown;
  }

  TempFolder folder;
  EngineDatabase env;
};

TEST_F(UnconvertedListTest, ListsTheUnconvertedAddressesUnderTheTextBox) {
  auto w = OpenWindow();
  EXPECT_EQ(w->windowTitle(), QStringLiteral("MOK 変換不能住所"));
  auto* list = Control<QListWidget>(w.get(), "lstIneffectAdr");
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(0)->text(), QStringLiteral("東京都渋谷区はち山1-1"));
  EXPECT_EQ(list->item(1)->text(), QStringLiteral("東京都港区"));
  EXPECT_LT(Control<QLineEdit>(w.get(), "txtIneffectAdr")->y(), list->y());
}

TEST_F(UnconvertedListTest, EditingAnEntryReplacesItWhenTheBoxIsLeft) {
  auto w = OpenWindow();
  auto* list = Control<QListWidget>(w.get(), "lstIneffectAdr");
  auto* box = Control<QLineEdit>(w.get(), "txtIneffectAdr");
  for (int row : {0, 1}) {  // the first entry like any other
    SCOPED_TRACE(row);
    list->setCurrentRow(row);
    EXPECT_EQ(box->text(), list->item(row)->text());
    Focus(box, QEvent::FocusIn);
    box->setText(box->text() + QStringLiteral("改"));
    Focus(box, QEvent::FocusOut);
    EXPECT_TRUE(list->item(row)->text().endsWith(QStringLiteral("改")));
  }
  // Focus in and out without typing changes nothing.
  const QString before = list->item(0)->text();
  list->setCurrentRow(0);
  Focus(box, QEvent::FocusIn);
  Focus(box, QEvent::FocusOut);
  EXPECT_EQ(list->item(0)->text(), before);
}

TEST_F(UnconvertedListTest, EditOpensTheCorrectionDialogOnTheBoxText) {
  auto w = OpenWindow();
  auto* list = Control<QListWidget>(w.get(), "lstIneffectAdr");
  auto* box = Control<QLineEdit>(w.get(), "txtIneffectAdr");
  list->setCurrentRow(-1);
  box->setText(QStringLiteral("東京都渋谷区はち山1-1"));
  EXPECT_EQ(EditClicked(w.get()), QString()) << "nothing happens without a selection";

  list->setCurrentRow(0);
  Focus(box, QEvent::FocusIn);
  box->setText(QStringLiteral("東京都渋谷区はち山１－１"));
  EXPECT_EQ(EditClicked(w.get()), QStringLiteral("東京都渋谷区はち山１－１"));
}

TEST_F(UnconvertedListTest, ListUnconvertedRowsShowsTheWindowThenEndsTheRunningState) {
  std::vector<std::string> events;
  const auto setRunningState = [&events](bool running) {
    events.push_back(running ? "running" : "idle");
  };
  QTimer::singleShot(0, [&events] {
    QWidget* window = QApplication::activeModalWidget();
    ASSERT_TRUE(window);
    events.push_back(window->objectName().toStdString() + " " +
                     std::to_string(Control<QListWidget>(window, "lstIneffectAdr")->count()));
    window->close();
  });
  ui::ListUnconvertedRows(Run(), env.settings, *env.database, *env.recognizer, env.prompter,
                          setRunningState);
  EXPECT_EQ(events, (std::vector<std::string>{"frmIneffectAdr 2", "idle"}));

  // A file that cannot be read: the message, no window, and still back to idle.
  events.clear();
  env.prompter.Clear();
  auto run = Run();
  run.outputPath += u".none";
  ui::ListUnconvertedRows(run, env.settings, *env.database, *env.recognizer, env.prompter,
                          setRunningState);
  EXPECT_EQ(events, std::vector<std::string>{"idle"});
  EXPECT_EQ(env.prompter.Texts(), std::vector<std::string>{"ファイルが見つかりません。(53)"});
}

TEST_F(UnconvertedListTest, SpreadsheetInputShowsWhyTheListIsEmpty) {
  auto run = Run();
  run.inputPath = folder.Text() + u"/in.xls";
  WriteFile(folder.File(u"in.xls"), u"x\r\ny\r\n");
  ui::UnconvertedListWindow window(env.settings, *env.database, *env.recognizer, env.prompter);
  EXPECT_TRUE(window.FillUnconvertedRows(run));
  EXPECT_EQ(Control<QListWidget>(&window, "lstIneffectAdr")->count(), 0);
  EXPECT_EQ(env.prompter.Texts(),
            std::vector<std::string>{"現在この機能はサポートされていません。"});
}

}  // namespace
}  // namespace mok::test
