// mok2 convert as a user runs it: options, exit status, the summary and the answers to questions.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <cstdio>

#include "batch_test_util.h"
#include "db/import/main_database_import.h"
#include "db/import/town_import.h"
#include "startup/profile.h"

namespace mok::batch {
namespace {

namespace fs = std::filesystem;

struct ConvertCommandTest : ::testing::Test {
  ConvertCommandTest() {
    db::CreateMainDatabase(work / "db", fs::path(MOK_DATA_DIR) / "prefectures.csv");
    db::ImportTowns(work / "db", u"東京都", fs::path(MOK_SOURCE_DIR) / "tests/golden/towns.csv");
    test::WriteBytes(work / "good.csv",
                     test::Sjis("ID,住所\r\n1,東京都千代田区丸の内１－１－１\r\n"));
    test::WriteBytes(
        work / "mixed.csv",
        test::Sjis("ID,住所\r\n1,東京都千代田区丸の内１－１－１\r\n2,東京都どこか\r\n"));
    test::WriteBytes(work / "blank.csv", test::Sjis("ID,住所\r\n1,\r\n2, \r\n"));
    // An address holding a terminal escape sequence (setting the title, clearing the screen).
    test::WriteBytes(work / "escape.csv",
                     "ID,A\r\n1,\x1b]0;x\x07\x1b[2J\r\n" + test::Sjis("2,東京都どこか\r\n"));
  }
  // Runs mok2 convert with the database folder and settings file of the test, then `args`, in
  // a Japanese locale unless `locale` sets other locale variables; gives the exit status and
  // standard output and error together.
  std::pair<int, std::string> Run(const std::vector<std::string>& args,
                                  const std::string& locale = "LC_ALL=ja_JP.UTF-8") {
    std::string command = "env -u LC_ALL -u LC_MESSAGES -u LANG " + locale + " " +
                          std::string(MOK2_EXE) + " convert --db-dir '" + (work / "db").string() +
                          "' --ini '" + (work / "mok.ini").string() + "'";
    for (const auto& a : args)
      command += " '" + a + "'";
    FILE* pipe = ::popen((command + " 2>&1 </dev/null").c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      out.append(buffer, n);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
  }
  std::vector<std::string> Boxes(const std::string& input) {
    return {"-d", "東京都", "-i", (work / input).string(), "-o", (work / "out.csv").string(), "-l",
            "2",  "-f",     "2"};
  }
  test::TempDir work;
};

TEST_F(ConvertCommandTest, ExitStatusAndWhatIsPrinted) {
  struct Case {
    std::vector<std::string> args;  // after the boxes of mixed.csv
    int status;
    std::vector<std::string> shows = {};
    std::string hides = "\x01";
  };
  const std::string good = (work / "good.csv").string();
  const Case cases[] = {
      {.args = {"-i", good},
       .status = 0,
       .shows = {"全1件：変換 1件、変換できず 0件。変換が終了しました。\n",
                 "出力ファイル: " + (work / "out.csv").string()}},
      // Finished with a failed record: 3 (issue 21: 0 only when every record converted).
      {.args = {"--no"},
       .status = 3,
       .shows = {"2件中1件変換できませんでした。", "全2件：変換 1件、変換できず 1件"},
       .hides = "Unconverted addresses"},
      {.args = {}, .status = 3, .shows = {"Unconverted addresses:\n  line 3: 東京都どこか"}},
      {.args = {"-f", "9"}, .status = 1, .shows = {"住所フィールド指定が無効です。"}},
      // Empty addresses are counted apart, never as converted; all empty names the field.
      {.args = {"-i", (work / "blank.csv").string(), "-o", (work / "blank-out.csv").string()},
       .status = 3,
       .shows = {"全2件：変換 0件、変換できず 0件、空欄 2件",
                 "すべてのレコードの住所が空欄でした（空欄 2件",
                 "住所フィールドに指定した2番目のフィールド（見出し「住所」）"}},
      // Issue 20: a record whose line did not reach the output is not counted as converted.
      {.args = {"-i", good, "-o", "/dev/full", "--yes"},
       .status = 1,
       .shows = {"全1件：書き込みに失敗しました（書き込めたのは 0件）"},
       .hides = "変換 1件"},
      {.args = {"-i", good, "--output-encoding", "UTF-8", "--yes"},
       .status = 0,
       .shows = {"out.csv (utf8)"}},
      {.args = {"--encoding", "latin1"},
       .status = 1,
       .shows = {"unknown encoding latin1 for --encoding"}},
      // Issue 20, fault G11: the input's encoding can be named.
      {.args = {"--encoding", "utf8", "-o", (work / "utf8-out.csv").string()},
       .status = 1,
       .shows = {"UTF-8"}},
      {.args = {"-i", ""}, .status = 1, .shows = {"入力ファイルが選択されていません。", "-i FILE"}},
      // A start row of 0 would convert the heading line (issue 23).
      {.args = {"-l", "0"},
       .status = 1,
       .shows = {"変換開始行は1以上の行番号で指定して下さい", "-l ROW"}},
      {.args = {"-d", ""}, .status = 1, .shows = {"no region given", "regions: 東京都"}},
      {.args = {"--help"}, .status = 0, .shows = {"usage: mok2 convert"}},
      {.args = {"-x"}, .status = 2, .shows = {"unknown option '-x'"}},
      {.args = {"--db-dir"}, .status = 2, .shows = {"--db-dir needs a value"}},
      {.args = {"--quiet", "--db-dir", (work / "nowhere").string()}, .status = 1},
      // Another input's output is replaced only with --yes (issue 21).
      {.args = {"-i", (work / "escape.csv").string()},
       .status = 1,
       .shows = {"の変換結果ではありません。置き換えますか？ -> no (give --yes"}},
      {.args = {"-i", (work / "escape.csv").string(), "--yes"},
       .status = 3,
       .shows = {"line 2: ^[]0;x^G^[[2J"},
       .hides = "\x1b"},
      {.args = {"--ini", (work / "db").string()}, .status = 1, .shows = {"is not a file"}},
  };
  for (const Case& c : cases) {
    auto args = Boxes("mixed.csv");
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto [status, out] = Run(args);
    EXPECT_EQ(status, c.status) << out;
    for (const auto& s : c.shows)
      EXPECT_NE(out.find(s), std::string::npos) << s << " in\n" << out;
    EXPECT_EQ(out.find(c.hides), std::string::npos) << out;
  }
}

// The summary is in one language: Japanese, or English where the messages locale is English or
// the plain C locale (the first set of LC_ALL, LC_MESSAGES and LANG decides).
// An input that cannot be read in the encoding named is said before the output is opened: an
// earlier output of the input stays as it was.
TEST_F(ConvertCommandTest, UnreadableInputLeavesTheEarlierOutput) {
  auto args = Boxes("good.csv");
  ASSERT_EQ(Run(args).first, 0);
  const std::string earlier = test::ReadBytes(work / "out.csv");
  args.insert(args.end(), {"--encoding", "utf8", "--yes"});
  const auto [status, out] = Run(args);
  EXPECT_EQ(status, 1) << out;
  EXPECT_NE(out.find("UTF-8のテキストとして読めません"), std::string::npos) << out;
  EXPECT_EQ(test::ReadBytes(work / "out.csv"), earlier);
}

TEST_F(ConvertCommandTest, SummaryInOneLanguageByTheLocale) {
  const std::string japanese =
      "全1件：変換 1件、変換できず 0件。変換が終了しました。\n出力ファイル: ";
  const std::string english = "1 records, 1 converted, 0 failed. Finished.\nOutput: ";
  const std::pair<std::string, std::string> cases[] = {
      {"", japanese},
      {"LANG=ja_JP.UTF-8", japanese},
      {"LANG=C.UTF-8", english},
      {"LC_ALL=C", english},
      {"LANG=en_US.UTF-8", english},
      {"LC_MESSAGES=ja_JP.UTF-8 LANG=C", japanese},
      {"LC_ALL=POSIX LC_MESSAGES=ja_JP.UTF-8", english},
  };
  auto args = Boxes("good.csv");
  args.push_back("--yes");
  for (const auto& [locale, summary] : cases) {
    const auto [status, out] = Run(args, locale);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find(summary), std::string::npos) << locale << ":\n" << out;
  }
}

// The boxes not given take what was remembered, as the main window does; a run remembers its
// boxes only with --remember, and --unprocessed-only converts only the records that failed
// (issue 23).
TEST_F(ConvertCommandTest, RemembersOnlyWhenAskedAndConvertsTheUnprocessedOnly) {
  ASSERT_EQ(Run(Boxes("good.csv")).first, 0);
  EXPECT_FALSE(fs::exists(work / "mok.ini")) << "nothing remembered";
  auto remember = Boxes("good.csv");
  remember.push_back("--remember");
  ASSERT_EQ(Run(remember).first, 0);
  EXPECT_EQ(
      ReadProfileString(text::FromUtf8((work / "mok.ini").string()), u"MOK", u"MATCHMODE", u""),
      u"1")
      << "a new settings file has the extended matching";
  const std::string output = test::ReadBytes(work / "out.csv");
  fs::remove(work / "out.csv");
  EXPECT_EQ(Run({}).first, 0);
  EXPECT_EQ(test::ReadBytes(work / "out.csv"), output);

  auto mixed = Boxes("mixed.csv");
  mixed.insert(mixed.end(), {"--yes", "--no"});
  ASSERT_EQ(Run(mixed).first, 3);
  mixed.push_back("--unprocessed-only");
  const auto [status, out] = Run(mixed);
  EXPECT_EQ(status, 3);
  EXPECT_NE(
      out.find("未処理の1件中1件変換できませんでした。\n（全2件のうち1件は前回変換済みです）"),
      std::string::npos)
      << out;
}

// Without -f the fields the records propose are used and named on the first line; when most
// records fail over a field of surnames (one of them an address), the end names the address field
// (issue 23).
TEST_F(ConvertCommandTest, WithoutFieldTheProposedFieldIsUsedAndNamed) {
  const auto [status, out] = Run({"-d", "東京都", "-i", MOK_DATA_DIR "/customers-surnames.csv",
                                  "-o", (work / "s.csv").string(), "--no"});
  EXPECT_TRUE(out.starts_with("住所フィールド：3番目のフィールド（見出し「住所」）")) << out;
  test::WriteBytes(work / "names.csv",
                   test::Sjis("ID,氏名,住所\r\n1,中村 花子,千代田区丸の内１－１－１\r\n"
                              "2,木村 健,千代田区丸の内１－１－１\r\n"
                              "3,東京都千代田区丸の内１－１－１,千代田区丸の内１－１－１\r\n"));
  auto names = Boxes("names.csv");
  names.push_back("--no");
  EXPECT_NE(
      Run(names).second.find("3件中2件変換できませんでした。\n住所フィールドに指定した2番目のフィ"
                             "ールド（見出し「氏名」）には住所らしい文字列がわずかしかありませ"
                             "ん。住所は3番目のフィールド（見出し「住所」）"),
      std::string::npos);
}

// SIGTERM and SIGHUP stop a run like the stop button: the output holds complete lines only and
// the exit status says the run was stopped.
TEST_F(ConvertCommandTest, TerminationStopsAfterACompleteLine) {
  std::string input = "ID,住所\r\n";
  for (int i = 0; i < 300000; ++i)
    input += std::to_string(i) + ",東京都千代田区丸の内１－１－１\r\n";
  test::WriteBytes(work / "big.csv", test::Sjis(input));
  for (const int signal : {SIGTERM, SIGHUP}) {
    fs::remove(work / "out.csv");
    const pid_t child = ::fork();
    if (child == 0) {
      const std::string db = (work / "db").string(), ini = (work / "mok.ini").string();
      std::vector<std::string> words = {MOK2_EXE, "convert", "--db-dir", db,
                                        "--ini",  ini,       "--quiet"};
      for (const auto& box : Boxes("big.csv"))
        words.push_back(box);
      std::vector<char*> argv;
      for (auto& w : words)
        argv.push_back(w.data());
      argv.push_back(nullptr);
      ::execv(MOK2_EXE, argv.data());
      ::_exit(127);
    }
    for (int wait = 0;
         wait < 3000 && (!fs::exists(work / "out.csv") || fs::file_size(work / "out.csv") < 100000);
         ++wait) {
      ::usleep(10000);
    }
    ::kill(child, signal);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << signal << ": " << status;
    const std::string output = test::ReadBytes(work / "out.csv");
    EXPECT_TRUE(output.ends_with("\r\n")) << signal;
    EXPECT_LT(output.size(), input.size()) << signal;
  }
}

}  // namespace
}  // namespace mok::batch
