// The unconverted-address list window: the rows it lists from a run's files, the in-place editing
// of an entry, and the correction dialog opened on it.
#include <QFocusEvent>
#include <QMouseEvent>
#include <QTreeWidget>

#include "support/engine_database.h"
#include "ui/unconverted_list_window.h"
#include "ui_test_support.h"

namespace mok::test {
namespace {

class UnconvertedListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.AddTown(u"東京都", u"渋谷区", u"鉢山", {u"1"});
    env.Open();
    // A run of three records after a header line: the second and third were not converted.
    WriteCp932(
        folder.File("in.csv"),
        u"番号,住所\r\n1,東京都港区芝公園1\r\n2,東京都渋谷区はち山1-1\r\n3, 東京都港区 \r\n");
    WriteCp932(folder.File("out.csv"),
               u"見出し\r\n1,東京都港区芝公園1,芝公園１,13103\r\n2,東京都渋谷区はち山1-1\r\n\r\n");
    WriteCp932(folder.File("in.xls"), u"x\r\ny\r\n");
  }

  // Opens the list as the main window does, on `input` and out.csv; `inside` works in it.
  // Returns what showed: the window's objectName and the entries, then the messages.
  Strings List(const std::string& input, const std::function<void(QWidget*)>& inside = {}) {
    const batch::RunFiles run{folder.File(input), folder.File("out.csv"), 2, {1}, {}, {}};
    Strings shown;
    const QString opened = OpenedBy(
        [&] {
          ui::ListUnconvertedRows(run, env.settings, *env.database, *env.recognizer, env.prompter,
                                  [&](bool running) { shown.push_back(running ? "run" : "idle"); });
        },
        [&](QWidget* window) {
          auto* list = Child<QTreeWidget>(window, "lstIneffectAdr");
          for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            shown.push_back(
                QStringList({item->text(0), item->text(1), item->text(2)}).join('|').toStdString());
          }
          if (inside)
            inside(window);
        });
    shown.insert(shown.begin(), opened.toStdString());
    for (const std::string& message : env.prompter.Texts())
      shown.push_back(message);
    return shown;
  }

  static void Focus(QWidget* box, QEvent::Type type) {
    QFocusEvent event(type, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(box, &event);
  }

  TempFolder folder;
  EngineDatabase env;
};

TEST_F(UnconvertedListTest, OpensOnTheUnconvertedAddressesAndEndsTheRunningState) {
  // Line number, address and the record's other first fields.
  EXPECT_EQ(List("in.csv"),
            (Strings{"frmIneffectAdr", "3|東京都渋谷区はち山1-1|2", "4|東京都港区|3", "idle"}));
  EXPECT_EQ(List("missing.csv"),
            (Strings{"", "idle", "ファイルが見つかりません。ファイル名と場所を確かめて下さい。"}));
  env.prompter.Clear();
  EXPECT_EQ(List("in.xls"),
            (Strings{"frmIneffectAdr", "idle", "現在この機能はサポートされていません。"}));
}

// An edit of the box above the list replaces the selected entry when the box is left; 編集 opens
// the correction dialog on the box's text, and nothing without a selection.
TEST_F(UnconvertedListTest, EntriesAreEditedInTheBoxAndCorrectedFromIt) {
  Strings seen;
  List("in.csv", [&](QWidget* window) {
    auto* list = Child<QTreeWidget>(window, "lstIneffectAdr");
    auto* box = Child<QLineEdit>(window, "txtIneffectAdr");
    const int rows[] = {1, 0, 0, -1};  // the first entry like any other; then unedited
    for (int step = 0; step < 4; ++step) {
      const int row = rows[step];
      list->setCurrentItem(row < 0 ? nullptr : list->topLevelItem(row));
      Focus(box, QEvent::FocusIn);
      if (step < 2)
        box->setText(box->text() + QStringLiteral("改"));
      Focus(box, QEvent::FocusOut);
      seen.push_back(row < 0 ? "-" : list->topLevelItem(row)->text(1).toStdString());
      const QString opened =
          OpenedBy([&] { Click(window, "cmdEdit"); },
                   [&](QWidget* dialog) {
                     seen.push_back("edit " + TextOf(Child(dialog, "txtAddress")).toStdString());
                   });
      EXPECT_EQ(opened, row < 0 ? "" : "frmEdit");
    }
  });
  EXPECT_EQ(seen, (Strings{"東京都港区改", "edit 東京都港区改", "東京都渋谷区はち山1-1改",
                           "edit 東京都渋谷区はち山1-1改", "東京都渋谷区はち山1-1改",
                           "edit 東京都渋谷区はち山1-1改", "-"}));
  // A double click on an entry opens the correction dialog on it.
  QString edited;
  List("in.csv", [&](QWidget* window) {
    EXPECT_EQ(EnglishTexts(window), Strings{});
    auto* list = Child<QTreeWidget>(window, "lstIneffectAdr");
    const QRect entry = list->visualItemRect(list->topLevelItem(1));
    edited = OpenedBy([&] {
      // The press that makes the entry current, then the double click on it.
      for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick}) {
        QMouseEvent event(type, entry.center(), list->viewport()->mapToGlobal(entry.center()),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &event);
      }
    });
  });
  EXPECT_EQ(edited, QStringLiteral("frmEdit"));
}

}  // namespace
}  // namespace mok::test
