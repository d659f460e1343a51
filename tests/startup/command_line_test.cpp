#include "startup/command_line.h"

#include <gtest/gtest.h>

#include "startup_test_util.h"
#include "support/recording_prompter.h"

namespace mok {
namespace {

using test::RecordingPrompter;
using test::U8;

// The parsed options in one line of text, "" for an option not given.
std::string Describe(const CommandLineOptions& o) {
  std::string out = o.valid ? "valid" : "invalid";
  if (o.hasRegion)
    out += " d=" + U8(o.region);
  if (o.hasInput)
    out += " i=" + U8(o.inputFile);
  if (o.hasOutput)
    out += " o=" + U8(o.outputFile);
  if (o.hasStartRow)
    out += " l=" + U8(o.startRow);
  return out;
}

struct Case {
  std::u16string line;
  std::string expected;  // Describe() of the result
  bool message;
};

std::u16string Words(int n, const std::u16string& last = u"") {
  std::u16string text;
  for (int k = 1; k < n; ++k)
    text += u"w ";
  return text + (last.empty() ? u"w" : last);
}

TEST(CommandLine, ParsesOptionsAsTheyAreWritten) {
  const Case cases[] = {
      {u"", "invalid", false},
      {u"-i in.csv -o out.csv -d 東京 -l 3", "valid d=東京 i=in.csv o=out.csv l=3", false},
      {u"-x 1", "invalid", true},
      {u"-d", "valid d=", false},  // last word: empty value
      {u"-i a.csv -d", "valid d= i=a.csv", false},
      {u"abc -i in.csv", "valid i=in.csv", false},  // other words skipped
      {u"abc", "valid", false},
      {u"-I IN.CSV", "valid i=IN.CSV", false},
      {u"-D x -O y -L 4", "valid d=x o=y l=4", false},
      {u"   ", "invalid", true},  // only spaces
      {u"-i \"C:\\My Files\\a.csv\"", "valid i=\"C:\\My", false},
      {u"-input in.csv", "valid i=in.csv", false},  // only the second character counts
      {u"-d -i x", "valid d=-i", false},            // the value is taken whatever it is
      {u"-i a -i b", "valid i=b", false},           // a later one replaces
      {u"  -l   10  ", "valid l=10", false},        // runs of spaces
      {u"-d a\tb", "valid d=a\tb", false},          // a tab is not a separator
      {u"-d a　b", "valid d=a　b", false},          // nor a full-width space
      {u"- x", "invalid", true},                    // a lone "-"
      {u"-i a -", "invalid", true},
      {u"-i a -z b", "invalid", true},  // an error anywhere spoils all
      {u"-ｄ x", "invalid", true},      // full-width letter is another letter
      {u"x -l", "valid l=", false},
  };
  for (const auto& c : cases) {
    CommandLineOptions options;
    options.firstActivate = true;
    RecordingPrompter prompter;
    const bool result = ParseCommandLine(c.line, options, prompter);
    EXPECT_EQ(Describe(options), c.expected) << "[" << U8(c.line) << "]";
    EXPECT_EQ(result, options.valid) << "[" << U8(c.line) << "]";
    EXPECT_TRUE(options.firstActivate) << "[" << U8(c.line) << "]";
    if (c.message) {
      ASSERT_EQ(prompter.records.size(), 1u) << "[" << U8(c.line) << "]";
      EXPECT_EQ(prompter.Texts()[0], "起動時オプションの指定が間違っています。\r\n" + U8(c.line));
      EXPECT_EQ(U8(prompter.records[0].title), "MOK住所変換");
      EXPECT_EQ(prompter.records[0].buttons, MessageButtons::Ok);
    } else {
      EXPECT_TRUE(prompter.records.empty()) << "[" << U8(c.line) << "]";
    }
  }
}

TEST(CommandLine, HoldsAtMost101Words) {
  const Case cases[] = {
      {Words(101), "valid", false},
      {Words(102), "invalid", true},
      {Words(100, u"-d"), "valid d=", false},    // option as the 100th word, last: value ""
      {Words(99, u"-d x"), "valid d=x", false},  // value is the 101st word
      {Words(101, u"-d"), "invalid", true},      // option as the 101st word
      {u"-i a " + Words(100), "invalid", true},
  };
  for (const auto& c : cases) {
    CommandLineOptions options;
    RecordingPrompter prompter;
    ParseCommandLine(c.line, options, prompter);
    EXPECT_EQ(Describe(options), c.expected) << U8(c.line);
    EXPECT_EQ(prompter.records.size(), c.message ? 1u : 0u) << U8(c.line);
  }
}

TEST(CommandLine, ParsingAgainStartsAfresh) {
  CommandLineOptions options;
  RecordingPrompter prompter;
  ASSERT_TRUE(ParseCommandLine(u"-i a -d b", options, prompter));
  EXPECT_FALSE(ParseCommandLine(u"-o c", options, prompter) && options.hasInput);
  EXPECT_EQ(Describe(options), "valid o=c");
  EXPECT_FALSE(ParseCommandLine(u"-i a -q", options, prompter));
  EXPECT_EQ(Describe(options), "invalid");  // no option of a wrong command line is kept
}

TEST(CommandLine, JoinsProgramArguments) {
  const char* argv[] = {"mok2conv", "-i", "入力.csv", "-l", "3"};
  EXPECT_EQ(U8(JoinArguments(5, argv)), "-i 入力.csv -l 3");
  EXPECT_EQ(U8(JoinArguments(1, argv)), "");
  EXPECT_EQ(U8(JoinArguments({u"a b", u"c"})), "a b c");  // a space inside splits on parsing
}

}  // namespace
}  // namespace mok
