// mok2 recognize on the Tokyo sample database: addresses as arguments, or one a line on standard
// input (a line that is not CP932 is a failure), printed as code and fields or as JSON.
#include <gtest/gtest.h>

#include <cstdio>

#include "batch_test_util.h"

namespace mok::batch {
namespace {

TEST(RecognizeCommand, ArgumentsAndStandardInput) {
  test::TempDir work;
  test::WriteBytes(work / "in.txt",
                   test::Sjis("ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-1-1\r\n大阪府梅田\r\n") + "\x81\r\n");
  const std::string tool = MOK2_EXE " recognize --db-dir '" MOK_SAMPLE_DB "' ";
  const std::string command = tool + "'東京都千代田区丸の内1-1-1' '' '東京都港区1-2-3' && " + tool +
                              "--encoding cp932 --json < '" + (work / "in.txt").string() +
                              "' 2>/dev/null";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out(8192, '\0');
  out.resize(std::fread(out.data(), 1, out.size(), pipe));
  ::pclose(pipe);
  EXPECT_EQ(out.substr(0, out.find('{')),
            "0\t丸の内一丁目１,13101,9,-35327.297,-5986.016,35.68156,139.767201\n4\t\n3\t\n");
  // The town has no block data: its numbers are kept, its point is the town's.
  for (const char* part : {"{\"code\":0,", "\"townName\":\"丸の内一丁目\"", "\"chomeInOaza\":true",
                           "\"townParts\":[\"１\",\"１\",\"１\",\"\"",
                           "\"level\":{\"reached\":\"town\",\"exact\":false,\"block\":\"\"}",
                           "\n{\"code\":2,", "\n{\"code\":-1,"})
    EXPECT_NE(out.find(part), std::string::npos) << part << " in " << out;
}

// --match chooses the matching for the run; the settings file is not changed. The command only
// reads settings: a settings file that is named but missing is an error, not the defaults.
TEST(RecognizeCommand, MatchingAndSettingsFileOfTheRun) {
  auto run = [](const std::string& options) {
    const std::string command = MOK2_EXE " recognize --db-dir '" MOK_SAMPLE_DB "' " + options +
                                " '東京都千代田区六番町7' 2>&1; echo $?";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::string out(4096, '\0');
    out.resize(pipe ? std::fread(out.data(), 1, out.size(), pipe) : 0);
    if (pipe)
      ::pclose(pipe);
    return out;
  };
  EXPECT_EQ(run("--match standard"), "3\t\n0\n");
  EXPECT_EQ(run("--match extended").substr(0, 11), "0\t六番町");
  EXPECT_EQ(run("--match strict"),
            "mok2 recognize: unknown matching 'strict' (standard or extended)\n1\n");
  EXPECT_EQ(run("--ini /nonexistent/mok.ini"),
            "mok2 recognize: settings file '/nonexistent/mok.ini' not found\n1\n");
}

// Issue 20: `mok2 db` and `mok2 db --help` list the db commands.
TEST(RecognizeCommand, DbAloneListsTheDbCommands) {
  for (const auto& [args, status] :
       {std::pair<std::string, int>{"db", 2}, {"db --help", 0}, {"db nothing", 2}, {"dbx", 2}}) {
    std::FILE* pipe = ::popen((MOK2_EXE " " + args + " 2>&1; echo $?").c_str(), "r");
    std::string out(8192, '\0');
    out.resize(pipe ? std::fread(out.data(), 1, out.size(), pipe) : 0);
    if (pipe)
      ::pclose(pipe);
    EXPECT_TRUE(out.ends_with("\n" + std::to_string(status) + "\n")) << args << ": " << out;
    EXPECT_NE(out.find("  db build-japan DIR"), std::string::npos) << args << ": " << out;
    EXPECT_EQ(out.find("  recognize"), args == "dbx" ? out.find("  recognize") : std::string::npos)
        << args << ": " << out;
  }
}

}  // namespace
}  // namespace mok::batch
