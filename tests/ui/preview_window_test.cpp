// The input preview: its column count rule, the rows it shows and the one-field registration.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "batch/input_reader.h"
#include "support/recording_prompter.h"
#include "ui/preview_window.h"
#include "ui_test_support.h"

namespace mok::test {
namespace {

class PreviewTest : public ::testing::Test {
 protected:
  // Opens the preview on a file with `content` (CR LF line ends are written as given).
  std::unique_ptr<ui::frmPreview> Open(const std::u16string& content) {
    WriteCp932(input, content);
    reader.inputPath = input;
    auto preview = std::make_unique<ui::frmPreview>(reader, &addressField, prompter);
    grid = Child<QTableWidget>(preview.get(), "flxgrdPreview");
    return preview;
  }
  std::u16string Cell(int row, int column) const {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text().toStdU16String() : u"";
  }
  TempFolder folder;
  std::u16string input = folder.File("in.csv");
  RecordingPrompter prompter;
  batch::InputReader reader{prompter};
  QLineEdit addressField{QStringLiteral("1")};
  QTableWidget* grid = nullptr;
};

TEST_F(PreviewTest, ColumnsAreCountedOverTheShownLinesWhenOpening) {
  struct Case {
    const char* name;
    std::u16string content;
    int columns;
    int rows;
  };
  std::u16string twelveLines;
  for (int i = 1; i <= 12; ++i)
    twelveLines += i == 11 ? u"a,b,c,d,e,f\r\n" : u"a,b\r\n";
  const Case cases[] = {
      {"third line wider than the first two", u"a,b\r\nc,d\r\ne,f,g,h,i\r\n", 5, 3},
      {"three lines with the line count 10", u"1,2,3\r\n4,5,6\r\n7,8,9", 3, 3},
      {"a wider line after the tenth is not counted", twelveLines, 2, 10},
      {"tabs do not split", u"a\tb\tc\r\nd\te\r\n", 1, 2},
      {"quotes do not protect a comma", u"\"東京都,港区\",x\r\n", 3, 1},
      {"empty file", u"", 0, 0},
      {"empty first line", u"\r\na,b\r\n", 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto preview = Open(c.content);
    EXPECT_EQ(preview->PreviewColumnCount, c.columns);
    EXPECT_EQ(grid->columnCount(), c.columns);
    EXPECT_EQ(grid->rowCount(), c.rows);
  }
  EXPECT_TRUE(prompter.records.empty());
}

TEST_F(PreviewTest, CellsHoldTheFieldsInOrderAndEmptyLinesGiveEmptyRows) {
  auto preview = Open(u"ID,住所\r\n\r\n0001,東京都港区芝公園4-2-8,余り\r\n");
  ASSERT_EQ(grid->rowCount(), 3);
  EXPECT_EQ(Cell(0, 0), u"ID");
  EXPECT_EQ(Cell(0, 1), u"住所");
  EXPECT_EQ(Cell(1, 0), u"");
  EXPECT_EQ(Cell(2, 1), u"東京都港区芝公園4-2-8");
  EXPECT_EQ(grid->columnCount(), 3) << "the third field of line 3 counts";
  EXPECT_EQ(Cell(2, 2), u"余り");
}

TEST_F(PreviewTest, RedisplayAddsRowsButNeverColumns) {
  std::u16string content;
  for (int i = 1; i <= 15; ++i)
    content += i == 12 ? u"a,b,c,d,e,f\r\n" : u"a,b\r\n";
  auto preview = Open(content);
  ASSERT_EQ(grid->rowCount(), 10);
  Child<QLineEdit>(preview.get(), "txtNumRec")->setText(QStringLiteral("15"));
  Child<QPushButton>(preview.get(), "cmdReDisplay")->click();
  EXPECT_EQ(grid->rowCount(), 15);
  EXPECT_EQ(grid->columnCount(), 2);
  EXPECT_EQ(Cell(11, 1), u"b") << "fields beyond the counted columns are not shown";
  Child<QLineEdit>(preview.get(), "txtNumRec")->setText(QStringLiteral("3"));
  Child<QPushButton>(preview.get(), "cmdReDisplay")->click();
  EXPECT_EQ(grid->rowCount(), 3);
}

TEST_F(PreviewTest, NonNumericLineCountIsRefusedWithFocusOnTheBox) {
  auto preview = Open(u"a,b\r\nc,d\r\n");
  auto* count = Child<QLineEdit>(preview.get(), "txtNumRec");
  count->setText(QStringLiteral("abc"));
  Child<QPushButton>(preview.get(), "cmdReDisplay")->click();
  ASSERT_EQ(prompter.Texts(), std::vector<std::string>{"表示レコード数に数値を入れて下さい。"});
  EXPECT_EQ(prompter.records[0].title, u"MOK住所変換");
  EXPECT_EQ(preview->focusWidget(), count);
  EXPECT_EQ(grid->rowCount(), 2) << "the grid is unchanged";
}

TEST_F(PreviewTest, OneFieldCanBeRegisteredUntilCleared) {
  auto preview = Open(u"a,b,c,d,e\r\n1,2,3,4,5\r\n");
  auto* regField = Child<QPushButton>(preview.get(), "cmdRegField");
  grid->setCurrentCell(1, 3);
  regField->click();
  EXPECT_EQ(addressField.text(), QStringLiteral("4"));
  EXPECT_EQ(preview->RegisteredFieldCount, 1);

  grid->setCurrentCell(0, 1);
  regField->click();
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"1 フィールド以上登録できません。"});
  EXPECT_EQ(addressField.text(), QStringLiteral("4")) << "the first registration stays";

  Child<QPushButton>(preview.get(), "cmdClear")->click();
  EXPECT_EQ(addressField.text(), QStringLiteral("1"));
  EXPECT_EQ(preview->RegisteredFieldCount, 0);
  regField->click();
  EXPECT_EQ(addressField.text(), QStringLiteral("2"));
  EXPECT_EQ(grid->selectedItems().size(), 1) << "the selection is collapsed to the current cell";
}

TEST_F(PreviewTest, NothingToSelectAsksForAField) {
  auto preview = Open(u"");
  Child<QPushButton>(preview.get(), "cmdRegField")->click();
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"ﾌｨｰﾙﾄﾞを選択して下さい"});
  EXPECT_EQ(addressField.text(), QStringLiteral("1"));
}

TEST_F(PreviewTest, MissingFileShowsTheReaderMessageAndAnEmptyGrid) {
  reader.inputPath = folder.File("missing.csv");
  ui::frmPreview preview(reader, &addressField, prompter);
  EXPECT_EQ(preview.PreviewColumnCount, -1);
  EXPECT_EQ(Child<QTableWidget>(&preview, "flxgrdPreview")->rowCount(), 0);
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"入力ファイルが見つかりません。"});
  EXPECT_FALSE(reader.IsInputFileOpen());
}

TEST_F(PreviewTest, TheFileIsNotHeldOpenBetweenLoads) {
  auto preview = Open(u"a,b\r\nc,d\r\n");
  EXPECT_FALSE(reader.IsInputFileOpen());
  Child<QPushButton>(preview.get(), "cmdReDisplay")->click();
  EXPECT_FALSE(reader.IsInputFileOpen());
  EXPECT_EQ(preview->windowTitle(), QStringLiteral("MOK 入力ファイルプレビュー"));
}

}  // namespace
}  // namespace mok::test
