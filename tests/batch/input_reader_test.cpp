// The input reader's rules that the golden runs do not reach one by one: the line ends, the
// start-row edges of the record count, which names are spreadsheets, and how the address and the
// display text are taken from a line.
#include "batch/input_reader.h"

#include <gtest/gtest.h>

#include "../support/recording_prompter.h"
#include "batch_test_util.h"

namespace mok::batch {
namespace {

using test::Show;

// CR LF or a lone CR ends a line, a lone LF stays inside it, and a line end at the very end of the
// file makes no extra line; a CR LF split by the reader's 64 KiB buffer is still one line end.
TEST(LineReader, LineEnds) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const std::string longLine(65535, 'x');
  const Case cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\nc\n", {"a\\nb\\nc\\n"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\r\n\nb\r\n", {"a", "\\nb"}},
      {"\r\n\r\nx", {"", "", "x"}},
      {"", {}},
      {longLine + "\r\nb", {longLine, "b"}},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    test::WriteBytes(dir / "in.csv", c.bytes);
    LineReader reader;
    ASSERT_TRUE(reader.Open(dir.File("in.csv")));
    std::vector<std::string> lines;
    for (std::u16string line; reader.ReadLine(line) == LineReader::Status::Ok;)
      lines.push_back(Show(line));
    EXPECT_EQ(lines, c.lines) << Show(text::FromUtf8(c.bytes.substr(0, 20)));
    EXPECT_TRUE(reader.AtEnd());
  }
}

// The records from the start row on, and the fields of the first of them (the header's source
// columns); -1 when the file ends before the start row.
TEST(InputReader, CountInputRecords) {
  struct Case {
    std::string content;
    int32_t startRow, count, firstRowFields;
  };
  const Case cases[] = {
      {.content = "h1,h2\r\na,b,c\r\nd\r\n", .startRow = 2, .count = 2, .firstRowFields = 3},
      {.content = "h\r\na\r\n", .startRow = 1, .count = 2, .firstRowFields = 1},
      {.content = "h\r\na\r\n", .startRow = 3, .count = 0, .firstRowFields = 0},
      {.content = "h\r\na\r\n", .startRow = 4, .count = -1, .firstRowFields = 0},
      {.content = "h\r\n\r\nx,y\r\n", .startRow = 2, .count = 2, .firstRowFields = 0},
      {.content = "a,b\r\n", .startRow = 0, .count = 1, .firstRowFields = 2},
      {.content = "h\na,b\nc\n", .startRow = 2, .count = 0, .firstRowFields = 0},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    test::WriteBytes(dir / "in.csv", c.content);
    mok::test::RecordingPrompter prompter;
    const InputReader reader(DescribeInput(dir.File("in.csv"), c.startRow), prompter);
    const InputCount count = reader.CountInputRecords();
    EXPECT_EQ(count.records, c.count) << Show(text::FromUtf8(c.content));
    EXPECT_EQ(count.firstRowFieldCount, c.firstRowFields) << Show(text::FromUtf8(c.content));
    // Nothing to convert is said, naming LF line ends as the likely cause when they are.
    const std::string said = prompter.records.empty() ? "" : prompter.records[0].Utf8();
    EXPECT_EQ(said.starts_with("入力ファイルには変換開始行以降の行がありません。"), c.count <= 0);
    EXPECT_EQ(said.find("LFだけ") != std::string::npos, c.content.starts_with("h\na"));
  }
}

// Only a file name whose text after the last "." is exactly "xls" is a spreadsheet.
TEST(InputReader, SpreadsheetNames) {
  for (const char* name : {"in.xls", "a.b.xls", "/data.csv/in.xls"})
    EXPECT_FALSE(IsTextInputName(text::FromUtf8(name))) << name;
  for (const char* name : {"in.XLS", "in.xlsx", "in", "xls", "in.csv", "/data.xls/in"})
    EXPECT_TRUE(IsTextInputName(text::FromUtf8(name))) << name;
}

TEST(InputReader, AddressOf) {
  struct Case {
    std::u16string line;
    int32_t field;  // 0-based
    bool ok;
    std::u16string address;
  };
  const Case cases[] = {
      {u"東京都千代田区, x ", 1, true, u"x"},
      {u"a,\u3000東京都\u3000 ", 1, true, u"東京都"},      // full-width spaces trimmed too
      {u"a,b", 2, false, u"a,b"},                          // no such field: the whole line
      {u"a,b", -1, false, u"a,b"},                         // field number 0 names no field either
      {u"", 5, true, u""},                                 // an empty line is an empty address
      {u"\"東京都,千代田区\",x", 1, true, u"千代田区\""},  // no quoting: the comma separates
      {u"a\nb,c", 0, true, u"a\nb"},                       // a lone LF is part of the field
  };
  for (const auto& c : cases) {
    const AddressText address = AddressOf(c.line, c.field);
    EXPECT_EQ(address.found, c.ok) << Show(c.line);
    EXPECT_EQ(Show(address.address), Show(c.address)) << Show(c.line);
  }
}

// The display form used by the monitor and the unconverted lists, and the field count of the
// rule that tells converted lines from unconverted ones.
TEST(InputReader, CompactAndCountFields) {
  const std::pair<std::u16string, std::u16string> compact[] = {
      {u"", u""},
      {u"a, ,b,", u"a,b"},
      {u" ,x", u",x"},
      {u" 東京都 , 千代田区 ", u"東京都,千代田区"}};
  for (const auto& [input, expected] : compact)
    EXPECT_EQ(Show(CompactFields(input)), Show(expected)) << Show(input);
  EXPECT_EQ(CountFields(u"a::b::c", u"::"), 3);
  EXPECT_EQ(CountFields(u"a,b", u""), 1);
  EXPECT_EQ(SplitFields(u"a::b::", u"::"), (std::vector<std::u16string>{u"a", u"b", u""}));
}

}  // namespace
}  // namespace mok::batch
