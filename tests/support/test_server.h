// A throwaway PostgreSQL server for the tests of the main database on a server: a cluster of its
// own in a temporary folder (made by initdb once per build tree and copied from there), its
// server listening only on a Unix socket in that folder, with every connection trusted. It is
// stopped and its folder removed when the test process ends, and also when it dies: a watchdog
// process started beside it does so as soon as the test process is gone. As root, the cluster's
// programs run as the user postgres (initdb refuses to run as root).
//
//   TestServer* server = TestServer::Get();            // nullptr after a test failure
//   std::u16string name = server->NewDatabase();      // postgresql:///postgres?host=...
//   ... db::CopyMainDatabase(folder, name, false) ... server->Stop(); ... server->Start();
#pragma once

#include <filesystem>
#include <string>

namespace mok::test {

class TestServer {
 public:
  // The server of this test process, started on the first call; nullptr, with a test failure
  // that says why, when it cannot be started (PostgreSQL's programs are in scripts/install-deps).
  static TestServer* Get();
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  // An empty database of its own on the server (a schema that the address makes the one its
  // tables go in), as a postgresql:// address.
  std::u16string NewDatabase();
  // Stops the server at once, as when it goes away, and starts it again.
  void Stop();
  void Start();

 private:
  TestServer() = default;
  bool SetUp();
  bool Run(const std::string& command) const;

  std::filesystem::path folder_;  // the socket, the cluster (data) and the server's log
  std::string bin_;               // the folder of initdb and pg_ctl
  std::string asPostgres_;        // "runuser -u postgres -- " when running as root
  int watchdog_ = -1;             // the pipe whose closing tells the watchdog to clean up
  int watchdogPid_ = -1;
  int schemas_ = 0;
};

}  // namespace mok::test
