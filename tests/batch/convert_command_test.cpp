// mok2 convert as a user runs it: options, exit status, summary line, answers to questions.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "batch_test_util.h"
#include "db/import/main_database_import.h"
#include "db/import/town_import.h"

namespace mok::batch {
namespace {

namespace fs = std::filesystem;
using test::Sjis;

struct Result {
  int status = -1;
  std::string out;  // standard output and standard error together
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s)
    q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

Result RunMok2Convert(const std::vector<std::string>& args) {
  std::string command = Quote(MOK2_EXE) + " convert";
  for (const auto& a : args)
    command += " " + Quote(a);
  command += " 2>&1 </dev/null";
  Result r;
  FILE* pipe = ::popen(command.c_str(), "r");
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    r.out.append(buffer, n);
  const int status = ::pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

class ConvertCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db::CreateMainDatabase(work_ / "db", fs::path(MOK_DATA_DIR) / "prefectures.csv");
    db::ImportTowns(work_ / "db", u"東京都", fs::path(MOK_SOURCE_DIR) / "tests/golden/towns.csv");
  }
  std::vector<std::string> Base(const std::string& input) {
    return {"--db-dir", (work_ / "db").string(),
            "--ini",    (work_ / "mok.ini").string(),
            "-d",       "東京都",
            "-i",       (work_ / input).string(),
            "-o",       (work_ / "out.csv").string(),
            "-l",       "2",
            "-f",       "2"};
  }
  test::TempDir work_;
};

TEST_F(ConvertCommandTest, FinishedRunPrintsTheSummaryAndExitsZero) {
  test::WriteBytes(
      work_ / "in.csv",
      Sjis("ID,住所\r\n1,東京都千代田区丸の内１－１－１\r\n2,東京都渋谷区鉢山町1-1\r\n"));
  const Result r = RunMok2Convert(Base("in.csv"));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("2 records, 2 converted, 0 failed. 変換が終了しました。 全件数は2件です。"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("Output: " + (work_ / "out.csv").string()), std::string::npos) << r.out;
  EXPECT_TRUE(fs::exists(work_ / "out.csv"));
  // The settings file did not exist: the defaults were used and the entries remembered.
  EXPECT_NE(test::ReadBytes(work_ / "mok.ini").find("AdrField1=2"), std::string::npos);
}

TEST_F(ConvertCommandTest, RememberedEntriesFillWhatIsNotGiven) {
  test::WriteBytes(work_ / "in.csv", Sjis("ID,住所\r\n1,東京都千代田区丸の内１－１－１\r\n"));
  ASSERT_EQ(RunMok2Convert(Base("in.csv")).status, 0);
  fs::remove(work_ / "out.csv");
  const Result r =
      RunMok2Convert({"--db-dir", (work_ / "db").string(), "--ini", (work_ / "mok.ini").string()});
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(fs::exists(work_ / "out.csv"));
}

TEST_F(ConvertCommandTest, FailuresAnswersAndExitStatus) {
  test::WriteBytes(work_ / "in.csv", Sjis("ID,住所\r\n1,東京都どこか\r\n2\r\n"));
  // The record without an address field stops the run: non-zero.
  Result r = RunMok2Convert(Base("in.csv"));
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("住所フィールド指定が無効です。"), std::string::npos) << r.out;

  // A failed record with --no: the unconverted list is not shown.
  test::WriteBytes(work_ / "in.csv", Sjis("ID,住所\r\n1,東京都どこか\r\n"));
  auto args = Base("in.csv");
  args.push_back("--no");
  r = RunMok2Convert(args);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("1件中1件変換できませんでした。"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Unconverted addresses"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("1 records, 0 converted, 1 failed"), std::string::npos) << r.out;

  // With the default answer (yes) the unconverted addresses are listed.
  r = RunMok2Convert(Base("in.csv"));
  EXPECT_NE(r.out.find("東京都どこか"), std::string::npos) << r.out;

  // A validation message names the option to give.
  r = RunMok2Convert({"--db-dir", (work_ / "db").string(), "--ini", (work_ / "none.ini").string(),
                      "-d", "東京都", "-i", ""});
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("入力ファイルが選択されていません。"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("-i FILE"), std::string::npos) << r.out;
}

TEST_F(ConvertCommandTest, UnconvertedListingShowsTwentyLinesAndCountsTheRest) {
  std::string input = "ID,住所\r\n";
  for (int i = 1; i <= 22; ++i)
    input += std::to_string(i) + ",東京都どこか" + std::to_string(i) + "\r\n";
  test::WriteBytes(work_ / "in.csv", Sjis(input));
  const Result r = RunMok2Convert(Base("in.csv"));
  EXPECT_NE(
      r.out.find("Unconverted addresses:\n  line 2: 東京都どこか1\n  line 3: 東京都どこか2\n"),
      std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("  line 21: 東京都どこか20\n  ... and 2 more\n"), std::string::npos)
      << r.out;
}

TEST_F(ConvertCommandTest, UsageErrors) {
  EXPECT_EQ(RunMok2Convert({"--help"}).status, 0);
  EXPECT_EQ(RunMok2Convert({"-x"}).status, 2);
  EXPECT_EQ(RunMok2Convert({"--db-dir"}).status, 2);
  const Result noRegion =
      RunMok2Convert({"--db-dir", (work_ / "db").string(), "--ini", (work_ / "none.ini").string(),
                      "-i", "in.csv", "-o", "out.csv"});
  EXPECT_EQ(noRegion.status, 1) << noRegion.out;
  EXPECT_NE(noRegion.out.find("regions: 東京都"), std::string::npos) << noRegion.out;
  const Result quiet = RunMok2Convert({"--quiet", "--db-dir", (work_ / "nowhere").string()});
  EXPECT_EQ(quiet.status, 1) << quiet.out;
}

}  // namespace
}  // namespace mok::batch
