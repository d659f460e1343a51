// A conversion killed outright (SIGKILL, as a power cut or the OOM killer ends it) at a random
// record: every database of the folder stays sound, and converting again gives the output an
// uninterrupted run gives.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "batch_test_util.h"
#include "db/connection.h"
#include "db/main_database.h"

extern char** environ;

namespace mok::batch {
namespace {

namespace fs = std::filesystem;

// The first column of the first row of `sql` on the database file.
std::string Query(const fs::path& file, const std::string& sql) {
  auto db = db::Connection::Open(file.u16string());
  EXPECT_TRUE(db.ok()) << file;
  if (!db.ok())
    return {};
  auto st = db->Compile(sql);
  EXPECT_TRUE(st.ok() && st->Step().ok()) << sql;
  return st.ok() ? text::ToUtf8(st->Text(0)) : "";
}

// A copy of the sample database with a learned word that the input needs, the input (the sample
// addresses over and over, every 25th record written with the learned word) and the settings.
void PrepareRun(const fs::path& dir) {
  fs::copy(MOK_SAMPLE_DB, dir / "db", fs::copy_options::recursive);
  auto main = db::MainDatabase::Open((dir / "db/mok2.sqlite").u16string());
  ASSERT_TRUE(main.ok());
  ASSERT_TRUE((*main)->RegisterLearnedWord(0, engine::WordKind::City, u"八王寺市", u"八王子市"));
  std::istringstream sample(test::ReadBytes(fs::path(MOK_DATA_DIR) / "sample-input.csv"));
  std::vector<std::string> records;
  for (std::string line; std::getline(sample, line);)
    records.push_back(line.substr(0, line.find('\r')));
  std::string input = records[0] + "\r\n";
  for (int i = 1; i <= 3000; ++i) {
    input += i % 25 ? records[1 + i % (records.size() - 1)]
                    : std::to_string(i) + ",," + test::Sjis("東京都八王寺市上柚木3丁目24番8号");
    input += "\r\n";
  }
  test::WriteBytes(dir / "in.csv", input);
}

pid_t StartConvert(const fs::path& dir) {
  const std::string files[] = {(dir / "db").string(), (dir / "mok.ini").string(),
                               (dir / "in.csv").string(), (dir / "out.csv").string()};
  const char* argv[] = {MOK2_EXE,   "convert",
                        "--db-dir", files[0].c_str(),
                        "--ini",    files[1].c_str(),
                        "-d",       "東京都",
                        "-i",       files[2].c_str(),
                        "-o",       files[3].c_str(),
                        "-l",       "2",
                        "-f",       "3",
                        "--yes",    nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd : {0, 1, 2})
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_RDWR, 0);
  pid_t pid = -1;
  EXPECT_EQ(posix_spawn(&pid, MOK2_EXE, &actions, nullptr, const_cast<char**>(argv), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

TEST(KillTest, KilledConversionLeavesSoundDatabasesAndReruns) {
  test::TempDir whole, killed;
  PrepareRun(whole.path());
  PrepareRun(killed.path());
  ASSERT_EQ(Wait(StartConvert(whole.path())), 0);
  const std::string expected = test::ReadBytes(whole / "out.csv");
  // The learned word applied on every 25th record.
  EXPECT_EQ(Query(whole / "db/mok2.sqlite", "select fld参照回数 from 学習"), "120");

  // Killed once the output has reached a random size (the writer flushes in 64 KiB blocks).
  const auto seed = std::random_device()();
  SCOPED_TRACE("seed " + std::to_string(seed));
  const std::uintmax_t limit = 1 + seed % (expected.size() / 2);
  const pid_t pid = StartConvert(killed.path());
  auto written = [&] {
    std::error_code ec;
    const auto size = fs::file_size(killed / "out.csv", ec);
    return ec ? 0 : size;
  };
  pid_t ended = 0;
  while (written() < limit && (ended = ::waitpid(pid, nullptr, WNOHANG)) == 0)
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  if (ended == 0) {  // not reaped yet, so the pid is still the run's
    ::kill(pid, SIGKILL);
    Wait(pid);
  }
  for (const auto& file : fs::directory_iterator(killed / "db")) {
    if (file.path().extension() == ".sqlite") {
      EXPECT_EQ(Query(file.path(), "pragma integrity_check"), "ok") << file.path();
    }
  }
  ASSERT_EQ(Wait(StartConvert(killed.path())), 0);
  EXPECT_TRUE(test::ReadBytes(killed / "out.csv") == expected);
}

}  // namespace
}  // namespace mok::batch
