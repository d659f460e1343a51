#include "batch/input_reader.h"

#include <gtest/gtest.h>

#include "../support/recording_prompter.h"
#include "batch_test_util.h"

namespace mok::batch {
namespace {

using test::Sjis;
using test::TempDir;
using test::WriteBytes;

std::vector<std::string> ReadAllLines(const std::filesystem::path& path) {
  LineReader reader;
  EXPECT_TRUE(reader.Open(text::FromUtf8(path.string())));
  std::vector<std::string> lines;
  std::u16string line;
  while (!reader.AtEnd()) {
    if (reader.ReadLine(line) != LineReader::Status::Ok)
      break;
    lines.push_back(test::Show(line));
  }
  return lines;
}

// The line-end rule: CR LF or a lone CR ends a line, a lone LF stays inside it, and a line end at
// the very end of the file makes no extra record.
TEST(LineReader, LineEnds) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"crlf", "a\r\nb\r\n", {"a", "b"}},
      {"lone CR", "a\rb\r", {"a", "b"}},
      {"no final line end", "a\r\nb", {"a", "b"}},
      {"LF only is one record", "a\nb\nc\n", {"a\\nb\\nc\\n"}},
      {"LF inside a line", "a\nb\r\nc", {"a\\nb", "c"}},
      {"CR CR gives an empty line", "a\r\rb", {"a", "", "b"}},
      {"CR LF LF", "a\r\n\nb\r\n", {"a", "\\nb"}},
      {"empty lines are lines", "\r\n\r\nx\r\n", {"", "", "x"}},
      {"empty file", "", {}},
      {"single line end", "\r\n", {""}},
  };
  TempDir dir;
  for (const auto& c : cases) {
    WriteBytes(dir / "in.csv", c.bytes);
    EXPECT_EQ(ReadAllLines(dir / "in.csv"), c.lines) << c.name;
  }
}

// A CR LF split across the reader's buffer boundary is still one line end.
TEST(LineReader, LineEndAcrossBufferBoundary) {
  TempDir dir;
  std::string first(65535, 'x');
  WriteBytes(dir / "in.csv", first + "\r\nb");
  const auto lines = ReadAllLines(dir / "in.csv");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 65535u);
  EXPECT_EQ(lines[1], "b");
}

TEST(LineReader, UndecodableLineIsReportedWithItsNumber) {
  TempDir dir;
  WriteBytes(dir / "in.csv", Sjis("東京都") + "\r\n\x82\r\nok\r\n");
  LineReader reader;
  ASSERT_TRUE(reader.Open(dir.U("in.csv")));
  std::u16string line;
  EXPECT_EQ(reader.ReadLine(line), LineReader::Status::Ok);
  EXPECT_EQ(line, u"東京都");
  EXPECT_EQ(reader.ReadLine(line), LineReader::Status::Undecodable);
  EXPECT_EQ(reader.LineNumber(), 2);
  EXPECT_EQ(line, u"東京都") << "a failed read leaves the line as it was";
}

TEST(LineReader, ReadingPastTheEndFails) {
  TempDir dir;
  WriteBytes(dir / "in.csv", "a\r\n");
  LineReader reader;
  ASSERT_TRUE(reader.Open(dir.U("in.csv")));
  std::u16string line;
  EXPECT_EQ(reader.ReadLine(line), LineReader::Status::Ok);
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_EQ(reader.ReadLine(line), LineReader::Status::End);
}

struct CountCase {
  const char* name;
  std::string content;  // UTF-8, written as CP932
  int32_t startRow;
  int32_t expected;
  int32_t firstRowFields;
};

TEST(InputReader, CountInputRecords) {
  const CountCase cases[] = {
      {"header and three records", "h1,h2\r\na,b,c\r\nd\r\ne\r\n", 2, 3, 3},
      {"start row 1 counts the header", "h\r\na\r\n", 1, 2, 1},
      {"start row = lines + 1 after a final line end", "h\r\na\r\n", 3, 0, 0},
      {"start row two past the last line", "h\r\na\r\n", 4, -1, 0},
      {"empty first record has no field", "h\r\n\r\nx,y\r\n", 2, 2, 0},
      {"LF-only file is a single record", "h\na,b\nc\n", 1, 1, 2},
      {"LF-only file has nothing after its header", "h\na,b\nc\n", 2, 0, 0},
      {"start row 0 skips nothing", "a,b\r\n", 0, 1, 2},
  };
  TempDir dir;
  for (const auto& c : cases) {
    WriteBytes(dir / "in.csv", Sjis(c.content));
    mok::test::RecordingPrompter prompter;
    InputReader reader(prompter);
    reader.inputPath = dir.U("in.csv");
    reader.startRow = c.startRow;
    EXPECT_EQ(reader.CountInputRecords(), c.expected) << c.name;
    if (c.expected >= 0) {
      EXPECT_EQ(reader.firstRowFieldCount(), c.firstRowFields) << c.name;
    }
    // Nothing to convert is said, with the line ends as the likely cause when they are LF.
    const std::string said = prompter.records.empty() ? "" : prompter.records[0].Utf8();
    EXPECT_EQ(said.starts_with("入力ファイルには変換開始行以降の行がありません。"), c.expected <= 0)
        << c.name;
    EXPECT_EQ(said.find("LFだけ") != std::string::npos,
              c.content.find("\r") == std::string::npos && c.expected <= 0)
        << c.name;
    EXPECT_FALSE(reader.IsInputFileOpen()) << c.name;
  }
}

TEST(InputReader, MissingInputIsAnnounced) {
  TempDir dir;
  mok::test::RecordingPrompter prompter;
  InputReader reader(prompter);
  reader.inputPath = dir.U("nothing.csv");
  EXPECT_EQ(reader.CountInputRecords(), -1);
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"入力ファイルが見つかりません。"});
}

// Only a name ending in lower-case "xls" is a spreadsheet; every read of it is refused with the
// message, so counting fails at the first line it must read.
TEST(InputReader, SpreadsheetInputIsRefusedAtEveryRead) {
  struct Case {
    const char* name;
    bool text;
  };
  const Case cases[] = {{"in.xls", false}, {"in.XLS", true},   {"in.xlsx", true}, {"in", true},
                        {"xls", true},     {"a.b.xls", false}, {"in.csv", true},  {"in.Xls", true}};
  TempDir dir;
  for (const auto& c : cases) {
    EXPECT_EQ(IsTextInputName(dir.U(c.name)), c.text) << c.name;
  }
  WriteBytes(dir / "in.xls", "h\r\na\r\n");
  mok::test::RecordingPrompter prompter;
  InputReader reader(prompter);
  reader.inputPath = dir.U("in.xls");
  reader.startRow = 2;
  EXPECT_EQ(reader.CountInputRecords(), -1);
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"現在この機能はサポートされていません。"});
}

TEST(InputReader, UndecodableLineStopsCountingWithAMessageNamingIt) {
  TempDir dir;
  WriteBytes(dir / "in.csv", "h\r\na\r\n\xFF\xFF\r\nb\r\n");
  mok::test::RecordingPrompter prompter;
  InputReader reader(prompter);
  reader.inputPath = dir.U("in.csv");
  reader.startRow = 2;
  EXPECT_EQ(reader.CountInputRecords(), -1);
  ASSERT_EQ(prompter.records.size(), 1u);
  EXPECT_NE(prompter.records[0].Utf8().find("3行目"), std::string::npos)
      << prompter.records[0].Utf8();
  EXPECT_NE(prompter.records[0].Utf8().find("in.csv"), std::string::npos);
}

TEST(InputReader, BuildAddressText) {
  struct Case {
    std::u16string line;
    int32_t field;  // 0-based
    bool ok;
    std::u16string address;
  };
  const Case cases[] = {
      {u"東京都千代田区, x ", 0, true, u"東京都千代田区"},
      {u"東京都千代田区, x ", 1, true, u"x"},
      {u"a,\u3000東京都\u3000 ", 1, true, u"東京都"},  // full-width spaces trimmed too
      {u"a,b", 2, false, u"a,b"},                      // missing field: the whole line
      {u"", 5, true, u""},                             // an empty line is an empty address
      {u"a,,c", 1, true, u""},
      {u"\"東京都,千代田区\",x", 1, true, u"千代田区\""},  // no quoting: the comma separates
      {u"a,b", -1, false, u"a,b"},                         // field number 0 names no field
      {u"a\nb,c", 0, true, u"a\nb"},                       // a lone LF is part of the field
  };
  mok::test::RecordingPrompter prompter;
  InputReader reader(prompter);
  for (const auto& c : cases) {
    reader.addressField = c.field;
    std::u16string address = u"previous";
    EXPECT_EQ(reader.BuildAddressText(c.line, address), c.ok) << test::Show(c.line);
    EXPECT_EQ(test::Show(address), test::Show(c.address)) << test::Show(c.line);
  }
}

TEST(InputReader, ReadNextRecordCodes) {
  TempDir dir;
  WriteBytes(dir / "in.csv", Sjis("1,東京都\r\n2\r\n"));
  mok::test::RecordingPrompter prompter;
  InputReader reader(prompter);
  reader.textInput = true;
  reader.addressField = 1;
  LineReader file;
  ASSERT_TRUE(file.Open(dir.U("in.csv")));
  std::u16string address;
  EXPECT_EQ(reader.ReadNextRecord(file, address), RecordStatus::Ok);
  EXPECT_EQ(address, u"東京都");
  EXPECT_EQ(reader.ReadNextRecord(file, address), RecordStatus::NoAddressField);
  EXPECT_EQ(reader.sourceLine(), u"2");
  EXPECT_EQ(reader.ReadNextRecord(file, address), RecordStatus::ReadFailed);
  EXPECT_EQ(reader.sourceLine(), u"2") << "a failed read keeps the last line";
}

TEST(CompactFields, DisplayForm) {
  struct Case {
    std::u16string text;
    std::u16string expected;
  };
  const Case cases[] = {
      {u"", u""},
      {u"a, ,b,", u"a,b"},
      {u" ,x", u",x"},  // the first part stays even when empty
      {u" 東京都 , 千代田区 ", u"東京都,千代田区"},
      {u",,,", u""},
      {u"abc", u"abc"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(test::Show(CompactFields(c.text)), test::Show(c.expected)) << test::Show(c.text);
  }
}

TEST(Fields, CountAndSplit) {
  struct Case {
    std::u16string line;
    std::u16string delimiter;
    int32_t count;
  };
  const Case cases[] = {
      {u"", u",", 0},      {u"a", u",", 1},        {u",", u",", 2},  {u"a,b,c", u",", 3},
      {u"a\tb", u"\t", 2}, {u"a::b::c", u"::", 3}, {u"a,b", u"", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CountFields(c.line, c.delimiter), c.count) << test::Show(c.line);
    if (!c.line.empty()) {
      EXPECT_EQ(static_cast<int32_t>(SplitFields(c.line, c.delimiter).size()), c.count)
          << test::Show(c.line);
    }
  }
}

}  // namespace
}  // namespace mok::batch
