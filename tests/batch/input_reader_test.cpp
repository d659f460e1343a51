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

// CR LF or a lone CR ends a line, a lone LF stays inside it unless the file's first line end is
// a lone LF (a file written on Unix), and a line end at the very end of the file makes no extra
// line; a CR LF split by the reader's 64 KiB buffer is still one line end.
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
      {"a\nb\nc\n", {"a", "b", "c"}},
      {"a\nb\r\nc\rd", {"a", "b", "c", "d"}},
      {longLine + "\nb", {longLine, "b"}},
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
      // A file of LF line ends is read line by line; LF inside the lines of a CR LF file is not.
      {.content = "h\na,b\nc\n", .startRow = 2, .count = 2, .firstRowFields = 2},
      {.content = "h\r\na,b\nc\n", .startRow = 3, .count = 0, .firstRowFields = 0},
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
    EXPECT_EQ(said.find("LFだけ") != std::string::npos, c.content.starts_with("h\r\na,b\n"));
  }
}

// Only a file name whose text after the last "." is exactly "xls" is a spreadsheet.
TEST(InputReader, SpreadsheetNames) {
  for (const char* name : {"in.xls", "a.b.xls", "/data.csv/in.xls"})
    EXPECT_FALSE(IsTextInputName(text::FromUtf8(name))) << name;
  for (const char* name : {"in.XLS", "in.xlsx", "in", "xls", "in.csv", "/data.xls/in"})
    EXPECT_TRUE(IsTextInputName(text::FromUtf8(name))) << name;
}

// The address of a record: its fields (0-based) trimmed and joined; Excel's quoting undone.
TEST(InputReader, AddressOf) {
  struct Case {
    std::u16string line;
    std::vector<int32_t> fields;
    bool ok;
    std::u16string address;
  };
  const Case cases[] = {
      {u"東京都千代田区, x ", {1}, true, u"x"},
      {u"a,\u3000東京都\u3000 ", {1}, true, u"東京都"},  // full-width spaces trimmed too
      {u"a,b", {2}, false, u"a,b"},                      // no such field: the whole line
      {u"a,b", {-1}, false, u"a,b"},                     // field number 0 names no field either
      {u"a,b", {0, 2}, false, u"a,b"},                   // nor does a missing second field
      {u"", {5}, true, u""},                             // an empty line is an empty address
      {u"\"東京都,千代田区\",x", {0}, true, u"東京都,千代田区"},  // the comma is quoted
      {u"1,\"ビル \"\"A\"\"\"x,y", {1}, true, u"ビル \"A\"x"},    // "" is one quote
      {u"1,a\"b,c", {1}, true, u"a\"b"},                          // a quote inside a field is text
      {u"足立区\n中川,c", {0}, true, u"足立区中川"},  // a line break in a field joins its lines
      {u"1,足立区 , 中川3-29-24,x", {1, 2}, true, u"足立区中川3-29-24"},
      {u"1,中川3-29-24,101,x", {1, 2}, true, u"中川3-29-24 101"},  // digits kept apart
      {u"1,中川3-29-24,,x", {1, 2}, true, u"中川3-29-24"},
  };
  for (const auto& c : cases) {
    const AddressText address = AddressOf(c.line, c.fields);
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
  EXPECT_EQ(CountFields(u"\"a,b\",c", u","), 2);  // a quoted field counts once
  EXPECT_EQ(SplitFields(u"a::b::", u"::"), (std::vector<std::u16string>{u"a", u"b", u""}));
  EXPECT_EQ(SplitRawFields(u"1,\"a,\"\"b\"\"\",", u","),
            (std::vector<std::u16string_view>{u"1", u"\"a,\"\"b\"\"\"", u""}));
  // Written back, a field is quoted only when it must be.
  for (const std::u16string value : {u"a", u"a,b", u"say \"hi\"", u"a\r\nb", u""})
    EXPECT_EQ(SplitFields(QuoteField(value), u","), std::vector<std::u16string>{value});
  EXPECT_EQ(QuoteField(u"東京都"), u"東京都");
}

// A quoted field may hold line breaks, kept as the file ends its lines: the record goes on over
// the lines up to its closing quote, numbered by its first line; one never closed is refused,
// not read to the end.
TEST(InputReader, RecordsOverSeveralLines) {
  for (const std::string end : {"\r\n", "\n", "\r"}) {
    test::TempDir dir;
    test::WriteBytes(dir / "in.csv",
                     test::Sjis("ID,住所" + end + "1,\"東京都" + end + "千代田区\",\"\"\"x\"\"\"" +
                                end + "2,\"港区" + end));
    mok::test::RecordingPrompter prompter;
    const InputReader reader(DescribeInput(dir.File("in.csv"), 2, {1}), prompter);
    auto file = reader.Open();
    ASSERT_TRUE(file && reader.SkipToStartRow(*file));
    InputRecord record = ReadInputRecord(*file, {1});
    EXPECT_EQ(Show(record.line),
              Show(u"1,\"東京都" + text::FromUtf8(end) + u"千代田区\",\"\"\"x\"\"\""));
    EXPECT_EQ(Show(record.address), Show(u"東京都千代田区"));
    EXPECT_EQ(record.lineNumber, 2);
    record = ReadInputRecord(*file, {1});
    EXPECT_EQ(record.read, LineReader::Status::UnclosedQuote);
    EXPECT_FALSE(reader.ReportRead(record.read, *file, record.lineNumber));
    ASSERT_EQ(prompter.records.size(), 1u);
    EXPECT_NE(prompter.records[0].Utf8().find("4行目で始まる引用符"), std::string::npos);
  }
}

}  // namespace
}  // namespace mok::batch
