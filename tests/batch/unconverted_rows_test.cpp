// Which records of a run's input and output files are listed as unconverted, with their input
// line, and why a walk finds nothing.
#include "batch/unconverted_rows.h"

#include <gtest/gtest.h>

#include "batch_test_util.h"

namespace mok::batch {
namespace {

// Input of a run (header line, start row 2, address in field 2) and its output with the default
// output settings: one header line; converted lines carry more fields than their source line,
// unconverted ones the source line itself or nothing.
constexpr char kInput[] =
    "番号,住所,備考\r\n"
    "1,東京都港区芝公園1,x\r\n"      // converted
    "2,東京都渋谷区はち山1-1,y\r\n"  // unconverted, source copied
    "3, 東京都港区 ,z\r\n"           // unconverted, source not copied
    "\r\n"                           // empty in both files: skipped
    "4,,w\r\n"                       // empty address (converted with no fields)
    "5,東京都港区芝公園1\r\n";       // no third field: two fields in, two out
constexpr char kOutput[] =
    ",,,大字・町丁目+街区符号・地番,市区町村コード\r\n"
    "1,東京都港区芝公園1,x,芝公園１,13103\r\n"
    "2,東京都渋谷区はち山1-1,y\r\n"
    "\r\n"
    "\r\n"
    "4,,w,\r\n"
    "5,東京都港区芝公園1\r\n";

class UnconvertedRowsTest : public ::testing::Test {
 protected:
  // Writes the two files (UTF-8 literals as CP932) and names them in a run of start row 2 with
  // the address in field 2.
  RunFiles Run(const std::string& input = kInput, const std::string& output = kOutput) {
    test::WriteBytes(dir / "in.csv", test::Sjis(input));
    test::WriteBytes(dir / "out.csv", test::Sjis(output));
    return {dir.File("in.csv"), dir.File("out.csv"), 2, {1}, {}, {}};
  }

  // "line: address" of every listed row, or the failure's text.
  std::vector<std::string> Listed(const RunFiles& run) {
    const UnconvertedRows found = CollectUnconvertedRows(run, settings);
    if (found.failure)
      return {text::ToUtf8(found.failure->Text())};
    std::vector<std::string> out;
    for (const UnconvertedRow& row : found.rows)
      out.push_back(std::to_string(row.lineNumber) + ": " + text::ToUtf8(row.address));
    if (!found.stopNotice.empty())
      out.push_back("stop: " + test::Show(found.stopNotice));
    return out;
  }

  test::TempDir dir;
  Settings settings;
};

TEST_F(UnconvertedRowsTest, ListsTheRowsWhoseOutputCarriesNoConvertedFields) {
  EXPECT_EQ(Listed(Run()), (std::vector<std::string>{"3: 東京都渋谷区はち山1-1", "4: 東京都港区",
                                                     "7: 東京都港区芝公園1"}));
  // An empty address converted with one log field looks like a source line plus ",".
  settings.logOut = true;
  EXPECT_EQ(Listed(Run()), (std::vector<std::string>{"3: 東京都渋谷区はち山1-1", "4: 東京都港区",
                                                     "6: ", "7: 東京都港区芝公園1"}));
}

constexpr char kPastTheEnd[] =
    "入力ファイルまたは出力ファイルが、変換開始行より前で終わっています。変換開始行と、出力ファイ"
    "ルがこの入力ファイルの変換結果であることを確かめて下さい。";

TEST_F(UnconvertedRowsTest, WalkLimits) {
  struct Case {
    const char* what;
    std::string input, output;
    int32_t startRow, addressField;
    int16_t addLine;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"leading lines of both files skipped",
       "1,東京都港区芝公園1,x\r\n2,はち山,y\r\n",
       "見出し1\r\n見出し2\r\n1,東京都港区芝公園1,x\r\n2,はち山,y\r\n",
       1,
       1,
       2,
       {"1: 東京都港区芝公園1", "2: はち山"}},
      {"ends with the shorter file",
       kInput,
       "見出し\r\n1,a,x,芝公園１,13103\r\n2,はち山,y\r\n",
       2,
       1,
       1,
       {"3: 東京都渋谷区はち山1-1"}},
      {"a line without the address field adds nothing",
       "見出し\r\n1,東京都港区\r\n",
       "見出し\r\n1,東京都港区\r\n",
       2,
       4,
       1,
       {}},
      {"input ends before the start row", kInput, kOutput, 20, 1, 1, {kPastTheEnd}},
      {"output shorter than its header", kInput, kOutput, 2, 1, 30, {kPastTheEnd}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settings.addLine = c.addLine;
    RunFiles run = Run(c.input, c.output);
    run.startRow = c.startRow;
    run.addressFields = {c.addressField};
    EXPECT_EQ(Listed(run), c.expected);
  }
}

TEST_F(UnconvertedRowsTest, UnreadableFiles) {
  RunFiles run = Run();
  run.outputPath += u".none";
  EXPECT_EQ(Listed(run), std::vector<std::string>{
                             "ファイルが見つかりません。ファイル名と場所を確かめて下さい。"});
  run = Run();
  run.inputPath += u".none";
  EXPECT_EQ(Listed(run), std::vector<std::string>{
                             "ファイルが見つかりません。ファイル名と場所を確かめて下さい。"});

  test::WriteBytes(dir / "in.xls", test::Sjis(kInput));
  run = Run();
  run.inputPath = dir.File("in.xls");
  EXPECT_EQ(Listed(run), std::vector<std::string>{"stop: 現在この機能はサポートされていません。"});

  // A line that is not CP932 text ends the walk; the rows before it are listed.
  run = Run();
  test::WriteBytes(dir / "out.csv", test::Sjis("見出し\r\n1,a,x,芝公園１,13103\r\n2,はち山,y\r\n") +
                                        "\x81\x20\r\n" + test::Sjis("4,,w,\r\n"));
  EXPECT_EQ(Listed(run), (std::vector<std::string>{
                             "3: 東京都渋谷区はち山1-1",
                             "stop: " + text::ToUtf8(run.outputPath) +
                                 "\\r\\n4行目はShift_JIS（CP932）のテキストとして読めません。"}));
}

}  // namespace
}  // namespace mok::batch
