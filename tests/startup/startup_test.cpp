#include <gtest/gtest.h>

#include "startup/command_line.h"
#include "startup/new_settings.h"
#include "startup/paths.h"
#include "startup/profile.h"
#include "startup/system_init.h"
#include "support/recording_prompter.h"
#include "support/temp_folder.h"

namespace mok {
using namespace std::string_literals;
namespace {

// The options parsed from `line` in one line of text; " shown" when a message was shown.
std::u16string Parse(const std::u16string& line) {
  CommandLineOptions o;
  o.firstActivate = true;
  test::RecordingPrompter prompter;
  const bool valid = ParseCommandLine(line, o, prompter);
  EXPECT_TRUE(valid == o.valid && o.firstActivate);
  std::u16string out = valid ? u"valid" : u"invalid";
  for (const auto& [has, name, value] : {std::tuple{o.hasRegion, u" d=", o.region},
                                         {o.hasInput, u" i=", o.inputFile},
                                         {o.hasOutput, u" o=", o.outputFile},
                                         {o.hasStartRow, u" l=", o.startRow}}) {
    if (has)
      out += name + value;
  }
  return out + (prompter.records.empty() ? u"" : u" shown");
}

TEST(CommandLine, ParsesOptionsAsTheyAreWritten) {
  std::u16string w100;  // a hundred words
  for (int k = 0; k < 100; ++k)
    w100 += u"w ";
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"", u"invalid"},  // no command line: nothing to show
      {u"   ", u"invalid shown"},
      {u"-i in.csv -o out.csv -d 東京 -l 3", u"valid d=東京 i=in.csv o=out.csv l=3"},
      {u"-I IN.CSV -D x -O y -L 4", u"valid d=x i=IN.CSV o=y l=4"},
      {u"abc -input in.csv x", u"valid i=in.csv"},  // other words skipped; one letter counts
      {u"-i a.csv -d", u"valid d= i=a.csv"},        // an option as the last word: empty value
      {u"-d -i x", u"valid d=-i"},                  // the next word is the value whatever it is
      {u"-i a -i \"b c\"", u"valid i=\"b"},         // a later one replaces; quotes are text
      {u"  -l   10  -d a\tb　c", u"valid d=a\tb　c l=10"},  // only U+0020 separates words
      {u"-x 1", u"invalid shown"},
      {u"- x", u"invalid shown"},
      {u"-ｄ x", u"invalid shown"},
      {u"-i a -z b", u"invalid shown"},  // a wrong option anywhere: no option is set
      {w100 + u"w", u"valid"},           // at most 101 words
      {w100 + u"w w", u"invalid shown"},
      {w100.substr(2) + u"-d", u"valid d="},
      {w100 + u"-d", u"invalid shown"},  // its value would be the 102nd word
  };
  for (const auto& [line, want] : cases)
    EXPECT_EQ(Parse(line), want) << text::ToUtf8(line);
}

TEST(CommandLine, ParsingAgainStartsAfreshAndAWrongLineIsShown) {
  CommandLineOptions o;
  test::RecordingPrompter prompter;
  ASSERT_TRUE(ParseCommandLine(u"-i a -d b", o, prompter) &&
              ParseCommandLine(u"-o c", o, prompter));
  EXPECT_FALSE(o.hasInput || o.hasRegion);
  EXPECT_FALSE(ParseCommandLine(u"-o c -q", o, prompter) || o.hasOutput);
  EXPECT_EQ(prompter.Shown(),
            u"MOK住所変換: 起動時オプションの指定が間違っています。\r\n-o c -q\n");
}

// Issue 20: the program's own arguments are words as given; a value keeps its spaces.
TEST(CommandLine, ProgramArgumentsAreTakenAsTheyAreGiven) {
  const char* argv[] = {"mok2conv", "-i", "My Files/入力.csv", "-l", "3", ""};
  EXPECT_EQ(JoinArguments(6, argv), u"-i My Files/入力.csv -l 3 ");
  CommandLineOptions o;
  test::RecordingPrompter prompter;
  ASSERT_TRUE(ParseCommandLine(ProgramArguments(6, argv), o, prompter));
  EXPECT_EQ(o.inputFile, u"My Files/入力.csv");
  EXPECT_EQ(o.startRow, u"3");
  EXPECT_FALSE(ParseCommandLine(std::vector<std::u16string>{u"-i", u"a b", u"-q"}, o, prompter) ||
               o.hasInput);
  EXPECT_FALSE(ParseCommandLine(std::vector<std::u16string>{}, o, prompter));
  EXPECT_EQ(prompter.Shown(),
            u"MOK住所変換: 起動時オプションの指定が間違っています。\r\n-i a b -q\n");
}

using SystemInit = test::TempFolderTest;

TEST_F(SystemInit, LoadsSettingsThenFixedNamesThenCreatesTheWorkspace) {
  test::WriteCp932(file, u"[MOK]\r\nDBDIR=/地図\r\nFIXEDTERM_0001=x\r\n");  // a wrong fixed name
  test::RecordingPrompter prompter;
  std::u16string steps;
  const auto fixedNames = [&] {
    steps += u"fixed names after " + text::FromUtf8(std::to_string(prompter.records.size()));
  };
  const auto workspace = [&] {
    steps += u", workspace";
    return true;
  };
  const Startup startup = InitializeSystem(prompter, file, fixedNames, workspace);
  EXPECT_EQ(steps, u"fixed names after 1, workspace");  // the settings were read first
  EXPECT_EQ(startup.settingsFilePath + startup.settings.dbDir, file + u"/地図");
  EXPECT_TRUE(startup.workspaceCreated);
  // A workspace that cannot be created is reported, and start-up goes on.
  prompter.Clear();
  const std::u16string none = folder.File("none.ini");
  EXPECT_FALSE(InitializeSystem(prompter, none, nullptr, [] { return false; }).workspaceCreated);
  EXPECT_EQ(prompter.Shown(), u"MOK住所変換: ワークスペースが作成できないので、実行できません。\n");
  // Without a settings file path: mok.ini beside the program.
  EXPECT_EQ(InitializeSystem(prompter, u"", nullptr, nullptr).settingsFilePath,
            ProgramDirectory() + u"/mok.ini");
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(ProgramDirectory()) / "test_startup"));
  // The separator is added once, and the blanks around the path are removed.
  EXPECT_EQ(AddPathSeparator(u"  /my data  ") + AddPathSeparator(u"   "), u"/my data/");
  EXPECT_EQ(AddPathSeparator(u"D:\\地図\\") + u"|" + AddPathSeparator(u"/d/"), u"D:\\地図\\|/d/");
  EXPECT_EQ(JoinPath(u"", u"x"), u"x");
}

// New settings start sensibly (issue 23): a new settings file has the extended matching and an
// existing one keeps what it says; 全国 is chosen when nothing is remembered and it is there.
TEST_F(SystemInit, ANewUserStartsWithTheExtendedMatchingAndTheNationwideRegion) {
  test::RecordingPrompter prompter;
  const std::u16string fresh = folder.File("new.ini");
  EXPECT_TRUE(InitializeSystem(prompter, fresh, nullptr, nullptr).settings.extendedMatch);
  EXPECT_EQ(ReadProfileString(fresh, u"MOK", u"MATCHMODE", u""), u"1");
  for (const std::u16string& content : {u"[MOK]\r\nDBDIR=/x\r\n"s, u"[MOK]\r\nMATCHMODE=0\r\n"s}) {
    test::WriteCp932(file, content);
    EXPECT_FALSE(InitializeSystem(prompter, file, nullptr, nullptr).settings.extendedMatch);
    EXPECT_EQ(test::ReadCp932(file), content);
  }
  const std::vector<std::u16string> nationwide = {u"東京都", u"全国"}, tokyo = {u"東京都"};
  EXPECT_EQ(FirstRegion(u"", nationwide), u"全国");
  EXPECT_EQ(FirstRegion(u"", tokyo), u"");
  EXPECT_EQ(FirstRegion(u"大阪府", nationwide), u"大阪府");
}

}  // namespace
}  // namespace mok
