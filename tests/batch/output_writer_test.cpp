#include "batch/output_writer.h"

#include <gtest/gtest.h>

#include "../support/recording_prompter.h"
#include "batch/field_count_rule.h"
#include "batch_test_util.h"

namespace mok::batch {
namespace {

using test::TempDir;

Settings AllOff() {
  Settings s;
  s.srcOut = s.prefOut = s.cityOut = s.remainOut = s.cityCodeOut = s.coordNoOut = s.xyOut =
      s.latLonOut = s.logOut = false;
  s.townCombine = true;
  return s;
}

// Every output setting that changes the header, alone and in the combinations that interact
// (COORDNO only counts with XYCOORD; the source columns only with SRCOUT and a field count).
TEST(BuildOutputHeader, EverySettingThatChangesIt) {
  struct Case {
    const char* name;
    void (*set)(Settings&);
    int32_t fieldCount;
    const char* header;
  };
  const Case cases[] = {
      {"defaults, 3 fields", [](Settings& s) { s = Settings{}; }, 3,
       ",,,大字・町丁目+街区符号・地番,市区町村コード,座標系番号,Ｘ座標,Ｙ座標,緯度,経度"},
      {"all off", [](Settings&) {}, 3, "大字・町丁目+街区符号・地番"},
      {"town split", [](Settings& s) { s.townCombine = false; }, 3, "大字・町丁目,街区符号・地番"},
      {"source, 3 fields", [](Settings& s) { s.srcOut = true; }, 3,
       ",,,大字・町丁目+街区符号・地番"},
      {"source, 0 fields", [](Settings& s) { s.srcOut = true; }, 0, "大字・町丁目+街区符号・地番"},
      {"no source, 5 fields", [](Settings&) {}, 5, "大字・町丁目+街区符号・地番"},
      {"prefecture", [](Settings& s) { s.prefOut = true; }, 1,
       "都道府県,大字・町丁目+街区符号・地番"},
      {"city", [](Settings& s) { s.cityOut = true; }, 1, "市区町村,大字・町丁目+街区符号・地番"},
      {"remainder", [](Settings& s) { s.remainOut = true; }, 1,
       "大字・町丁目+街区符号・地番,号・枝番以降"},
      {"city code", [](Settings& s) { s.cityCodeOut = true; }, 1,
       "大字・町丁目+街区符号・地番,市区町村コード"},
      {"xy without system number", [](Settings& s) { s.xyOut = true; }, 1,
       "大字・町丁目+街区符号・地番,Ｘ座標,Ｙ座標"},
      {"xy with system number",
       [](Settings& s) {
         s.xyOut = true;
         s.coordNoOut = true;
       },
       1, "大字・町丁目+街区符号・地番,座標系番号,Ｘ座標,Ｙ座標"},
      {"system number alone is not written", [](Settings& s) { s.coordNoOut = true; }, 1,
       "大字・町丁目+街区符号・地番"},
      {"lat/lon", [](Settings& s) { s.latLonOut = true; }, 1,
       "大字・町丁目+街区符号・地番,緯度,経度"},
      {"log", [](Settings& s) { s.logOut = true; }, 1, "大字・町丁目+街区符号・地番,ログ"},
      {"everything, town split, 2 fields",
       [](Settings& s) {
         s = Settings{};
         s.prefOut = s.cityOut = s.remainOut = s.logOut = true;
         s.townCombine = false;
       },
       2,
       ",,都道府県,市区町村,大字・町丁目,街区符号・地番,号・枝番以降,市区町村コード,座標系番号,"
       "Ｘ座標,Ｙ座標,"
       "緯度,経度,ログ"},
  };
  for (const auto& c : cases) {
    Settings s = AllOff();
    c.set(s);
    EXPECT_EQ(text::ToUtf8(BuildOutputHeader(s, c.fieldCount)), c.header) << c.name;
  }
}

TEST(ErrorListPath, ExtensionOfTheFileNameIsReplaced) {
  struct Case {
    std::u16string output;
    std::u16string err;
  };
  const Case cases[] = {
      {u"/data/result.csv", u"/data/result.err"},
      {u"result.csv", u"result.err"},
      {u"/data/out", u"/data/out.err"},
      {u"/data/a.b.csv", u"/data/a.b.err"},
      // A dot in a folder name is not an extension: the list stays beside the output instead of
      // landing in (and replacing a file of) the parent folder.
      {u"/data.old/out", u"/data.old/out.err"},
      {u"/data/.csv", u"/data/.err"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(test::Show(ErrorListPath(c.output)), test::Show(c.err)) << test::Show(c.output);
  }
}

TEST(OutputConvertLine, WritesCp932WithCrLf) {
  TempDir dir;
  Settings settings;
  mok::test::RecordingPrompter prompter;
  LineWriter out;
  ASSERT_TRUE(out.Open(dir.U("out.csv")));
  EXPECT_TRUE(OutputConvertLine(settings, prompter, out, u"東京都,～"));
  EXPECT_TRUE(OutputConvertLine(settings, prompter, out, u""));
  EXPECT_TRUE(OutputConvertLine(settings, prompter, out, u"a\nb"));
  EXPECT_TRUE(out.Close());
  EXPECT_EQ(test::ReadBytes(dir / "out.csv"), test::Sjis("東京都,～") + "\r\n\r\na\nb\r\n");
  EXPECT_TRUE(prompter.records.empty());
}

TEST(OutputConvertLine, TextWithoutCp932FormIsAnErrorNotAQuestionMark) {
  TempDir dir;
  Settings settings;
  mok::test::RecordingPrompter prompter;
  LineWriter out;
  ASSERT_TRUE(out.Open(dir.U("out.csv")));
  EXPECT_TRUE(OutputConvertLine(settings, prompter, out, u"ok"));
  EXPECT_FALSE(OutputConvertLine(settings, prompter, out, u"𠮷野家"));
  EXPECT_NE(text::ToUtf8(out.Failure()).find("2行目"), std::string::npos)
      << text::ToUtf8(out.Failure());
  out.Close();
  EXPECT_EQ(test::ReadBytes(dir / "out.csv"), "ok\r\n");
}

TEST(OutputConvertLine, SpreadsheetOutputIsAnnouncedAtEveryCall) {
  TempDir dir;
  Settings settings;
  settings.csvOut = false;
  mok::test::RecordingPrompter prompter;
  LineWriter out;
  ASSERT_TRUE(out.Open(dir.U("out.csv")));
  EXPECT_TRUE(OutputConvertLine(settings, prompter, out, u"a"));
  EXPECT_TRUE(OutputConvertLine(settings, prompter, out, u"b"));
  out.Close();
  EXPECT_EQ(test::ReadBytes(dir / "out.csv"), "");
  EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{"この機能は現在未サポートです。",
                                                        "この機能は現在未サポートです。"}));
}

// A full disk shows when the buffered data is written out: the close must say so.
TEST(LineWriter, FullDiskIsReportedAtClose) {
  if (!std::filesystem::exists("/dev/full"))
    GTEST_SKIP() << "no /dev/full";
  LineWriter out;
  ASSERT_TRUE(out.Open(u"/dev/full"));
  out.WriteLine(u"abc");
  EXPECT_FALSE(out.Close());
  EXPECT_NE(text::ToUtf8(out.Failure()).find("(61)"), std::string::npos)
      << text::ToUtf8(out.Failure());
}

TEST(ConvertedLines, SourceAndFields) {
  Settings with;
  Settings without;
  without.srcOut = false;
  EXPECT_EQ(ConvertedLine(with, u"1,a", u"x,y"), u"1,a,x,y");
  EXPECT_EQ(ConvertedLine(with, u"", u""), u",");  // empty record: a single comma
  EXPECT_EQ(ConvertedLine(without, u"1,a", u"x,y"), u"x,y");
  EXPECT_EQ(UnconvertedLine(with, u"1,a"), u"1,a");
  EXPECT_EQ(UnconvertedLine(without, u"1,a"), u"");
}

TEST(ErrorList, WrittenOnlyWhenAskedAndCreatedAtTheFirstLine) {
  TempDir dir;
  Settings settings;
  ErrorList list;
  list.Reset(dir.U("out.err"));
  list.WriteUnknownLine(settings, u"東京都どこか");
  EXPECT_FALSE(std::filesystem::exists(dir / "out.err"));
  settings.unknownOut = true;
  list.WriteUnknownLine(settings, u"東京都どこか");
  list.WriteUnknownLine(settings, u"");
  list.Close();
  EXPECT_EQ(test::ReadBytes(dir / "out.err"), test::Sjis("東京都どこか") + "\r\n\r\n");
}

TEST(FieldCountRule, ConvertedBeforeAndListed) {
  struct Case {
    std::u16string input;
    std::u16string output;
    bool convertedBefore;
    bool listed;
    bool listedWithLog;
  };
  const Case cases[] = {
      {u"1,a,b", u"1,a,b,x,y", true, false, false},  // converted: more fields
      {u"1,a,b", u"1,a,b", false, true, true},       // unconverted with the source
      {u"1,a,b", u"", false, true, true},            // unconverted without the source
      {u"1,a,b", u"1,a,b,", true, false, true},      // empty address: source + ","
      {u"", u",", true, false, false},               // empty line converted (2 fields, not 1)
      {u"1,,b", u"1,,b,", true, false, true},        // empty address, log on: listed
      {u"", u"", false, true, true},
      {u"1,a,b", u"x", true, false, false},  // fields only (no source), fewer fields
  };
  for (const auto& c : cases) {
    const auto name = test::Show(c.input) + " / " + test::Show(c.output);
    EXPECT_EQ(WasConvertedBefore(c.input, c.output, u","), c.convertedBefore) << name;
    EXPECT_EQ(IsListedAsUnconverted(c.input, c.output, u",", false), c.listed) << name;
    EXPECT_EQ(IsListedAsUnconverted(c.input, c.output, u",", true), c.listedWithLog) << name;
  }
}

}  // namespace
}  // namespace mok::batch
