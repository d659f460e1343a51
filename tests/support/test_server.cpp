#include "test_server.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "db/pg_connection.h"
#include "text/text.h"

namespace mok::test {
namespace {

namespace fs = std::filesystem;

// The newest installed PostgreSQL's programs folder ("" when there is none).
std::string FindPrograms() {
  std::vector<std::string> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", ec)) {
    if (fs::exists(entry.path() / "bin" / "initdb", ec))
      found.push_back((entry.path() / "bin").string());
  }
  std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  return found.empty() ? "" : found.back();
}

}  // namespace

TestServer* TestServer::Get() {
  // Made once per process and stopped when the process ends.
  static const std::unique_ptr<TestServer> server = [] {
    std::unique_ptr<TestServer> made(new TestServer());
    if (!made->SetUp())
      made.reset();
    return made;
  }();
  if (!server)
    ADD_FAILURE() << "the test server could not be started (see the messages above)";
  return server.get();
}

bool TestServer::Run(const std::string& command) const {
  const int status =
      std::system((asPostgres_ + command + " >>" + (folder_ / "log").string() + " 2>&1").c_str());
  return status == 0;
}

bool TestServer::SetUp() {
  bin_ = FindPrograms();
  if (bin_.empty()) {
    ADD_FAILURE() << "PostgreSQL's programs are not installed (run scripts/install-deps)";
    return false;
  }
  std::random_device random;
  folder_ = fs::temp_directory_path() / ("mok-pg-" + std::to_string(random()));
  fs::create_directories(folder_);
  if (geteuid() == 0) {
    const passwd* postgres = getpwnam("postgres");
    if (postgres == nullptr || chown(folder_.c_str(), postgres->pw_uid, postgres->pw_gid) != 0) {
      ADD_FAILURE() << "running as root, the cluster needs the user postgres";
      return false;
    }
    asPostgres_ = "runuser -u postgres -- ";
  }
  // The watchdog: a shell in a session of its own that waits for the end of its standard input
  // (the pipe's other end closes with this process, however it ends), then stops the server and
  // removes the folder.
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0)
    return false;
  const std::string data = (folder_ / "data").string();
  const std::string cleanUp = "read _; " + asPostgres_ + bin_ + "/pg_ctl -D " + data +
                              " stop -m immediate >/dev/null 2>&1; rm -rf " + folder_.string();
  const pid_t pid = fork();
  if (pid == 0) {
    setsid();
    dup2(pipeEnds[0], STDIN_FILENO);
    execl("/bin/sh", "sh", "-c", cleanUp.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeEnds[0]);
  watchdog_ = pipeEnds[1];
  watchdogPid_ = pid;

  // initdb once per build tree: later processes copy its cluster, which takes a tenth of the
  // time. The first process makes it under a lock.
  const fs::path made = fs::path(MOK_BINARY_DIR) / "tests" /
                        ("pg-cluster-" + fs::path(bin_).parent_path().filename().string());
  {
    const int lock = open((made.string() + ".lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    flock(lock, LOCK_EX);
    std::error_code ec;
    if (!fs::exists(made, ec)) {
      if (!Run(bin_ + "/initdb -D " + data +
               " -A trust -U mok -E UTF8 --locale=C -N --wal-segsize=1") ||
          std::system(("cp -a " + data + " " + made.string() + ".new && mv " + made.string() +
                       ".new " + made.string())
                          .c_str()) != 0) {
        ADD_FAILURE() << "initdb failed: see " << (folder_ / "log");
        close(lock);
        return false;
      }
    } else if (std::system(("cp -a " + made.string() + " " + data).c_str()) != 0) {
      ADD_FAILURE() << "the cluster " << made << " could not be copied";
      close(lock);
      return false;
    }
    close(lock);
  }
  Start();
  return true;
}

TestServer::~TestServer() {
  Run(bin_ + "/pg_ctl -D " + (folder_ / "data").string() + " stop -m immediate");
  close(watchdog_);
  waitpid(watchdogPid_, nullptr, 0);
}

void TestServer::Start() {
  // No TCP port: the socket in the folder only; no waiting for the disk.
  if (!Run(bin_ + "/pg_ctl -D " + (folder_ / "data").string() + " -w -o \"-k " + folder_.string() +
           " -c listen_addresses= -F\" start")) {
    ADD_FAILURE() << "the test server did not start: see " << (folder_ / "log");
  }
}

void TestServer::Stop() {
  Run(bin_ + "/pg_ctl -D " + (folder_ / "data").string() + " -w stop -m fast");
}

std::u16string TestServer::NewDatabase() {
  const std::string schema = "t" + std::to_string(++schemas_);
  const std::string server = "postgresql:///postgres?host=" + folder_.string() + "&user=mok";
  auto admin = db::PgConnection::Connect(text::FromUtf8(server));
  if (!admin || !admin->Execute(("create schema " + schema).c_str())) {
    ADD_FAILURE() << "no schema on the test server: "
                  << (admin ? "" : text::ToUtf8(admin.error().Text()));
  }
  return text::FromUtf8(server + "&options=-csearch_path%3D" + schema);
}

}  // namespace mok::test
