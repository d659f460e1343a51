// A conversion killed outright (SIGKILL, as a power cut or the OOM killer ends it) at a random
// record: every database of the folder stays sound, and converting again gives the output of an
// uninterrupted run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "batch_test_util.h"
#include "db/connection.h"
#include "db/main_database.h"

namespace mok::batch {
namespace {

namespace fs = std::filesystem;

// The first column of the first row of `sql` on a database file.
std::string Query(const fs::path& file, const std::string& sql) {
  auto db = db::Connection::Open(file.u16string());
  auto st = db ? db->Compile(sql) : db.error();
  const auto row = st ? st->Step() : st.error();
  return row && *row ? text::ToUtf8(st->Text(0)) : "(failed)";
}

// A copy of the sample database with a learned word, and an input of 3000 records: the sample
// addresses over and over, every 25th needing the learned word.
void PrepareRun(const fs::path& dir) {
  fs::copy(MOK_SAMPLE_DB, dir / "db", fs::copy_options::recursive);
  auto main = db::MainDatabase::Open((dir / "db/mok2.sqlite").u16string());
  ASSERT_TRUE(main &&
              (*main)->RegisterLearnedWord(0, engine::WordKind::City, u"八王寺市", u"八王子市"));
  std::istringstream sample(test::ReadBytes(fs::path(MOK_DATA_DIR) / "sample-input.csv"));
  std::vector<std::string> records;
  for (std::string line; std::getline(sample, line);)
    records.push_back(line + '\n');
  std::string input = records[0];
  for (std::size_t i = 1; i <= 3000; ++i) {
    input += i % 25 ? records[1 + i % (records.size() - 1)]
                    : test::Sjis(std::to_string(i) + ",,東京都八王寺市上柚木3丁目24番8号\r\n");
  }
  test::WriteBytes(dir / "in.csv", input);
}

// Starts mok2 convert on the folder's files, without a terminal.
pid_t StartConvert(const fs::path& dir) {
  const std::string db = dir / "db", ini = dir / "mok.ini", in = dir / "in.csv",
                    out = dir / "out.csv";
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0), ::dup2(null, 1), ::dup2(null, 2);
    ::execl(MOK2_EXE, MOK2_EXE, "convert", "--db-dir", db.c_str(), "--ini", ini.c_str(), "-d",
            "東京都", "-i", in.c_str(), "-o", out.c_str(), "-l", "2", "-f", "3", "--yes", nullptr);
    ::_exit(127);
  }
  return pid;
}

int ExitStatus(pid_t pid) {
  int status = 0;
  return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(KillTest, KilledConversionLeavesSoundDatabasesAndReruns) {
  test::TempDir whole, killed;
  PrepareRun(whole.path());
  PrepareRun(killed.path());
  ASSERT_EQ(ExitStatus(StartConvert(whole.path())), 3);  // finished, with failed records
  const std::string expected = test::ReadBytes(whole / "out.csv");
  EXPECT_EQ(Query(whole / "db/mok2.sqlite", "select fld参照回数 from 学習"), "120");

  // Killed once the output has reached a random size (while the run has not ended by itself).
  const auto seed = std::random_device()();
  SCOPED_TRACE("seed " + std::to_string(seed));
  const std::uintmax_t limit = 1 + seed % (expected.size() / 2);
  const pid_t pid = StartConvert(killed.path());
  std::error_code missing;                         // until the run has created the output
  while (::waitpid(pid, nullptr, WNOHANG) == 0) {  // the run has not ended by itself
    if (const auto size = fs::file_size(killed / "out.csv", missing); !missing && size >= limit) {
      ::kill(pid, SIGKILL);  // not reaped yet, so the pid is still the run's
      ExitStatus(pid);
      break;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  for (const char* file : {"mok2.sqlite", "東京都.sqlite"})
    EXPECT_EQ(Query(killed / "db" / file, "pragma integrity_check"), "ok") << file;
  ASSERT_EQ(ExitStatus(StartConvert(killed.path())), 3);
  EXPECT_TRUE(test::ReadBytes(killed / "out.csv") == expected);
}

}  // namespace
}  // namespace mok::batch
