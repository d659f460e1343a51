// The input preview: its column count rule, the rows it shows and the one-field registration.
#include <QLabel>
#include <QTableWidget>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "ui/preview_window.h"
#include "ui_test_support.h"

namespace mok::test {
namespace {

// Whether the process holds `path` open (its descriptors are listed in /proc/self/fd).
bool HeldOpen(const std::u16string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd", ec)) {
    if (fs::read_symlink(entry.path(), ec) == fs::path(text::ToUtf8(path)))
      return true;
  }
  return false;
}

class PreviewTest : public WindowTest<ui::PreviewWindow> {
 protected:
  // Opens the preview on a file with `content` (CR LF line ends are written as given).
  void Open(const std::u16string& content) {
    WriteCp932(input, content);
    window = std::make_unique<ui::PreviewWindow>(input, std::nullopt, &addressField, prompter);
    grid = Get<QTableWidget>("flxgrdPreview");
  }
  // The grid's size and the texts of its cells, row by row.
  Strings Cells() {
    Strings rows = {std::to_string(grid->rowCount()) + "x" + std::to_string(grid->columnCount())};
    for (int row = 0; row < grid->rowCount(); ++row) {
      QStringList cells;
      for (int column = 0; column < grid->columnCount(); ++column)
        cells << (grid->item(row, column) ? grid->item(row, column)->text() : "");
      rows.push_back(cells.join('|').toStdString());
    }
    return rows;
  }

  std::u16string input = folder.File("in.csv");
  QLineEdit addressField{QStringLiteral("1")};
  QTableWidget* grid = nullptr;
};

TEST_F(PreviewTest, ColumnsAreCountedOverTheShownLinesWhenOpening) {
  std::u16string twelveLines;
  for (int i = 1; i <= 12; ++i)
    twelveLines += i == 11 ? u"a,b,c,d,e,f\r\n" : u"a,b\r\n";
  const std::pair<std::u16string, std::string> cases[] = {
      {u"a,b\r\nc,d\r\ne,f,g,h,i\r\n", "3x5"},     // the third line is the widest
      {u"1,2,3\r\n4,5,6\r\n7,8,9", "3x3"},         // no line end after the last line
      {twelveLines, "10x2"},                       // a wider line after the tenth does not count
      {u"a\tb\tc\r\nd\te\r\n", "2x1"},             // tabs do not split
      {u"\"東京都,港区\",\"a\r\nb\"\r\n", "1x2"},  // a quoted cell as Excel reads it
      {u"", "0x0"},
      {u"\r\na,b\r\n", "2x2"},
  };
  for (const auto& [content, size] : cases) {
    SCOPED_TRACE(text::ToUtf8(content));
    Open(content);
    EXPECT_EQ(Cells().front(), size);
    EXPECT_FALSE(HeldOpen(input)) << "the file is not held open";
  }
  EXPECT_EQ(Messages(), Strings{});
  // The reader's message, an empty grid.
  window = std::make_unique<ui::PreviewWindow>(folder.File("missing.csv"), std::nullopt,
                                               &addressField, prompter);
  EXPECT_EQ(Get<QTableWidget>("flxgrdPreview")->rowCount(), 0);
  EXPECT_EQ(Messages(), Strings{"入力ファイルが見つかりません。"});
}

// The file is read in the encoding the settings name, as a run reads it (a line that does not
// decode is said once, as the run says it); without one, in the one its bytes show.
TEST_F(PreviewTest, TheFileIsReadInTheEncodingTheSettingsName) {
  WriteBytes(input, text::ToUtf8(u"ID,住所あ\r\n"));  // no CP932: 82 before the line end
  const std::tuple<std::optional<text::Encoding>, std::string, Strings> cases[] = {
      {std::nullopt, "文字コード：UTF-8", {"1x2", "ID|住所あ"}},
      {text::Encoding::Utf8, "文字コード：UTF-8", {"1x2", "ID|住所あ"}},
      {text::Encoding::Cp932, "文字コード：Shift_JIS（CP932）", {"0x0"}},
  };
  for (const auto& [named, label, cells] : cases) {
    window = std::make_unique<ui::PreviewWindow>(input, named, &addressField, prompter);
    grid = Get<QTableWidget>("flxgrdPreview");
    EXPECT_EQ(Text("lblEncoding"), label);
    EXPECT_EQ(Cells(), cells) << label;
  }
  const Strings said = Messages();  // once, for the CP932 reading
  ASSERT_EQ(said.size(), 1u);
  EXPECT_TRUE(said[0].ends_with("\r\n1行目はShift_JIS（CP932）のテキストとして読めません。"))
      << said[0];
}

TEST_F(PreviewTest, RedisplayShowsMoreLinesButNeverMoreColumns) {
  std::u16string content = u"ID,住所\r\n\r\n";
  for (int line = 3; line <= 15; ++line)
    content += line == 12 ? u"a,b,c\r\n" : u"1,東京都港区芝公園4-2-8\r\n";
  // A UTF-8 file with a byte-order mark reads like its CP932 copy, and says so.
  std::ofstream(text::ToUtf8(input), std::ios::binary) << "\xEF\xBB\xBF" << text::ToUtf8(content);
  window = std::make_unique<ui::PreviewWindow>(input, std::nullopt, &addressField, prompter);
  grid = Get<QTableWidget>("flxgrdPreview");
  EXPECT_EQ(Cells()[1], "ID|住所");
  EXPECT_EQ(Text("lblEncoding"), "文字コード：UTF-8（BOM付き）");
  EXPECT_EQ(EnglishTexts(window.get()), Strings{});
  Open(content);
  EXPECT_EQ(Text("lblEncoding"), "文字コード：Shift_JIS（CP932）");
  const Strings opened = Cells();
  EXPECT_EQ(Strings(opened.begin(), opened.begin() + 4),
            (Strings{"10x2", "ID|住所", "|", "1|東京都港区芝公園4-2-8"}));
  Type("txtNumRec", "15");
  Press("cmdReDisplay");
  EXPECT_EQ(Cells().front(), "15x2");
  EXPECT_EQ(Cells()[12], "a|b") << "fields beyond the counted columns are hidden";
  Type("txtNumRec", "abc");
  Press("cmdReDisplay");
  EXPECT_EQ(Messages(), Strings{"表示レコード数に数値を入れて下さい。"});
  EXPECT_EQ(window->focusWidget(), Get("txtNumRec"));
  EXPECT_EQ(Cells().front(), "15x2") << "the grid is unchanged";
}

TEST_F(PreviewTest, OneFieldCanBeRegisteredUntilCleared) {
  // Nothing to select, or nothing selected yet (not even by the keyboard focus): the user is
  // asked to choose, nothing is registered.
  for (const char16_t* content : {u"", u"a,b,c,d,e\r\n1,2,3,4,5\r\n"}) {
    Open(content);
    window->show();
    grid->setFocus();
    Press("cmdRegField");
  }
  EXPECT_EQ(Messages(), (Strings{"ﾌｨｰﾙﾄﾞを選択して下さい", "ﾌｨｰﾙﾄﾞを選択して下さい"}));
  EXPECT_EQ(addressField.text(), QStringLiteral("1"));
  EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("1（使用中）"));
  prompter.Clear();
  grid->setCurrentCell(1, 3);
  Press("cmdReDisplay");  // the chosen column stays chosen
  Press("cmdRegField");
  EXPECT_EQ(addressField.text(), QStringLiteral("4"));
  const auto marked = [&] {
    QString header;
    for (int column = 0; column < grid->columnCount(); ++column)
      header += grid->horizontalHeaderItem(column)->text() + " ";
    return header.toStdString();
  };
  EXPECT_EQ(marked(), "1 2 3 4（使用中） 5 ") << "the new field shows at once (issue 23)";
  grid->setCurrentCell(0, 1);
  Press("cmdRegField");
  EXPECT_EQ(Messages(), Strings{"登録できるフィールドは1つだけです。別のフィールドにするには"
                                "「クリア」を押してから登録し直して下さい。"});
  EXPECT_EQ(addressField.text(), QStringLiteral("4")) << "the first registration stays";
  Press("cmdClear");
  EXPECT_EQ(addressField.text(), QStringLiteral("1"));
  Press("cmdRegField");
  EXPECT_EQ(addressField.text(), QStringLiteral("2"));
  EXPECT_EQ(grid->selectedItems().size(), 1) << "the selection is collapsed to the current cell";

  // With the main window's box 住所２, a second registration fills it; クリア empties it
  // (issue 21).
  QLineEdit second;
  window = std::make_unique<ui::PreviewWindow>(input, std::nullopt, &addressField, prompter,
                                               nullptr, &second);
  grid = Get<QTableWidget>("flxgrdPreview");
  for (const int column : {2, 3}) {
    grid->setCurrentCell(1, column);
    Press("cmdRegField");
  }
  EXPECT_EQ(addressField.text() + second.text(), QStringLiteral("34"));
  EXPECT_EQ(marked(), "1 2 3（使用中） 4（使用中） 5 ");
  Press("cmdClear");
  EXPECT_EQ(addressField.text() + second.text(), QStringLiteral("1"));
  EXPECT_EQ(marked(), "1（使用中） 2 3 4 5 ");
}

}  // namespace
}  // namespace mok::test
