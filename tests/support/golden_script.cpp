#include "golden_script.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "db/connection.h"
#include "db/import/import_support.h"
#include "db/import/main_copy.h"
#include "db/import/main_database_import.h"
#include "db/import/town_import.h"
#include "db/main_store_open.h"
#include "startup/settings_file.h"
#include "test_server.h"
#include "text/encoding.h"

namespace mok::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kButtons[] = {"Ok", "OkCancel", "YesNo", "YesNoCancel"};
constexpr const char* kAnswers[] = {"Ok", "Cancel", "Yes", "No"};
constexpr const char* kOutcomes[] = {"not started", "finished", "stopped", "failed"};
constexpr const char* kBoxes[] = {"input", "output", "start row", "address field"};
constexpr const char* kMonitorBoxes[] = {"src", "prevSrc", "prevDst"};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); !from.empty() && at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::u16string U16(const std::string& s) {
  return text::FromUtf8(s);
}

// The command that follows the first `skipped` words of `command`.
GoldenCommand Following(const GoldenCommand& command, std::size_t skipped) {
  GoldenCommand rest = command;
  rest.words.erase(rest.words.begin(), rest.words.begin() + static_cast<std::ptrdiff_t>(skipped));
  rest.words.resize(std::max<std::size_t>(rest.words.size(), 5));
  std::size_t at = 0;
  for (std::size_t i = 0; i < skipped && at != std::string::npos; ++i)
    at = rest.line.find(' ', rest.line.find_first_not_of(' ', at));
  rest.line = at == std::string::npos ? "" : rest.line.substr(rest.line.find_first_not_of(' ', at));
  return rest;
}

}  // namespace

std::vector<GoldenCommand> ParseGoldenScript(const std::string& script,
                                             const std::string& workDir) {
  std::vector<GoldenCommand> commands;
  std::istringstream lines(script);
  std::string line;
  for (int lineNumber = 1; std::getline(lines, line); ++lineNumber) {
    GoldenCommand command;
    command.line = Replace(line, "WORK", workDir);
    std::istringstream words(command.line);
    for (std::string word; words >> word;)
      command.words.push_back(word == "-" ? "" : word);
    if (command.words.empty() || command.words[0][0] == '#')
      continue;
    command.words.resize(std::max<std::size_t>(command.words.size(), 5));
    command.where = "case.txt line " + std::to_string(lineNumber) + ": " + line;
    commands.push_back(std::move(command));
  }
  return commands;
}

std::string GoldenLines(std::string text) {
  text = Replace(text, "\r", "");
  return text.empty() || text.back() == '\n' ? text : text + "\n";
}

void ScriptedUser::Add(const std::string& line) {
  std::string shown =
      Replace(Replace(Replace(line, "\r\n", "⏎"), server, "SERVER"), workDir, "WORK");
  // What the server says when it goes away depends on when the program notices.
  const std::string detail = "（詳細：";
  if (const auto at = shown.find(detail); !server.empty() && at != std::string::npos)
    shown = shown.substr(0, at + detail.size()) + "…）";
  transcript += shown + "\n";
}

void ScriptedUser::ShowMessage(const std::u16string& text, MessageIcon, const std::u16string&) {
  Add("message: " + text::ToUtf8(text));
}

Answer ScriptedUser::Ask(const std::u16string& text, MessageButtons buttons, MessageIcon icon,
                         const std::u16string& title) {
  const Answer answer = RecordingPrompter::Ask(text, buttons, icon, title);
  Add(std::string("question[") + kButtons[static_cast<int>(buttons)] + "]: " + text::ToUtf8(text) +
      " -> " + kAnswers[static_cast<int>(answer)]);
  return answer;
}

void ScriptedUser::SetRunningState(bool running) {
  if (monitor)
    Add(running ? "state: running" : "state: idle");
}

void ScriptedUser::FocusInputBox(batch::InputBox box) {
  Add(std::string("focus: ") + kBoxes[static_cast<int>(box)]);
}

void ScriptedUser::ShowProgress(int32_t current, int32_t total) {
  progress = std::to_string(current) + "/" + std::to_string(total);
}

void ScriptedUser::SetMonitorText(batch::MonitorBox box, const std::u16string& text) {
  if (monitor)
    Add(std::string(kMonitorBoxes[static_cast<int>(box)]) + ": " + text::ToUtf8(text));
}

bool ScriptedUser::PollStopRequest() {
  if (beforeRecord)
    beforeRecord(polls + 1);
  if (std::erase(stopBefore, ++polls) == 0)
    return false;
  Add("stop pressed before record " + std::to_string(polls));
  return true;
}

void ScriptedUser::EditUnconvertedAddress(const std::u16string& address) {
  Add("correction dialog: " + text::ToUtf8(address));
}

void ScriptedUser::ListUnconvertedRows(const batch::RunFiles&) {
  Add("unconverted list opened");
}

GoldenRunner::GoldenRunner(const fs::path& caseDir, const fs::path& sharedTowns, int16_t jobs,
                           bool onServer)
    : caseDir_(caseDir), jobs_(jobs), dbDir_(work_ / "db"), iniPath_(work_.File("mok.ini")) {
  db::CreateMainDatabase(dbDir_, fs::path(MOK_DATA_DIR) / "prefectures.csv");
  const fs::path ownTowns = caseDir / "towns.csv";
  db::ImportTowns(dbDir_, u"東京都", fs::exists(ownTowns) ? ownTowns : sharedTowns);
  if (TestServer* server = onServer ? TestServer::Get() : nullptr) {
    // The folder's main database moves to the server: the run can only use that one.
    server_ = server->NewDatabase();
    db::CopyMainDatabase(dbDir_.u16string(), server_, false);
    fs::remove(db::MainDatabaseFile(dbDir_));
    user_.server = text::ToUtf8(server_);
  }
  if (fs::exists(caseDir / "mok.ini"))
    fs::copy_file(caseDir / "mok.ini", work_ / "mok.ini");
  user_.workDir = work_.path().string();
  user_.beforeRecord = [this](int record) {
    for (const GoldenCommand& command : beforeRecord_[record])
      Execute(command);
  };
  session_ = std::make_unique<batch::Session>(iniPath_, user_, U16(dbDir_.string()));
  session_->settings.mainDb = server_;
  EXPECT_TRUE(session_->OpenDatabase().ok());
  session_->settings.jobs = jobs;
  run_ = std::make_unique<batch::ConversionRun>(*session_, user_, user_);
  request_.region = u"東京都";
  request_.startRow = u"2";
  handlers_ = Handlers();
}

fs::path GoldenRunner::PathOf(const std::string& name) const {
  return name.starts_with('/') ? fs::path(name) : work_ / name;
}

bool GoldenRunner::Execute(const GoldenCommand& command) {
  const auto handler = handlers_.find(command.words[0]);
  if (handler == handlers_.end()) {
    ADD_FAILURE() << command.where << ": unknown command";
    return false;
  }
  return handler->second(command);
}

std::u16string GoldenRunner::MainName() const {
  return db::MainDatabaseName(dbDir_.u16string(), server_);
}

void GoldenRunner::CompareTranscript() const {
  // A case whose messages name the main database has its own for the server.
  const std::string& transcript = user_.transcript;
  const bool own = fs::exists(caseDir_ / "expected-messages-server.txt");
  if (server_.empty() ||
      (!own && (std::getenv("MOK_GOLDEN_UPDATE") == nullptr ||
                GoldenLines(transcript) ==
                    GoldenLines(ReadBytes((caseDir_ / "expected-messages.txt").u16string()))))) {
    Compare(transcript, "expected-messages.txt", "the messages");
  } else {
    Compare(transcript, "expected-messages-server.txt", "the messages with the server");
  }
}

void GoldenRunner::Compare(const std::string& actual, const std::string& file,
                           const std::string& where) const {
  if (std::getenv("MOK_GOLDEN_UPDATE") != nullptr) {
    std::ofstream(caseDir_ / file, std::ios::binary) << GoldenLines(actual);
  } else {
    EXPECT_EQ(GoldenLines(actual), GoldenLines(ReadBytes((caseDir_ / file).u16string()))) << where;
  }
}

std::map<std::string, GoldenRunner::Handler> GoldenRunner::Handlers() {
  using W = const GoldenCommand&;
  std::map<std::string, Handler> h;
  auto box = [this](std::u16string batch::RunRequest::*field) {
    return [this, field](W c) {
      request_.*field = U16(c.words[1]);
      return true;
    };
  };
  auto file = [this](bool input) {
    return [this, input](W c) {
      const std::string& name = c.words[1];
      if (input && fs::is_regular_file(caseDir_ / name))
        fs::copy_file(caseDir_ / name, work_ / name, fs::copy_options::overwrite_existing);
      (input ? request_.inputPath : request_.outputPath) =
          name.empty() ? u"" : U16(PathOf(name).string());
      return true;
    };
  };
  h["input"] = file(true);
  h["output"] = file(false);
  h["region"] = box(&batch::RunRequest::region);
  h["start-row"] = box(&batch::RunRequest::startRow);
  h["field"] = [this](W c) {
    request_.addressFields.clear();
    for (std::size_t i = 1; i < c.words.size() && !c.words[i].empty(); ++i)
      request_.addressFields.push_back(U16(c.words[i]));
    return true;
  };
  h["setting"] = [this](W c) {
    WriteSetting(iniPath_, U16(c.words[1]), U16(c.words[2]));
    LoadSettings(session_->settings, iniPath_, user_);
    session_->settings.dbDir = U16(dbDir_.string());
    session_->settings.mainDb = server_;
    session_->settings.jobs = jobs_;
    return true;
  };
  h["answers"] = [this](W c) {
    for (std::size_t i = 1; i < c.words.size() && !c.words[i].empty(); ++i) {
      const auto* a = std::find(std::begin(kAnswers), std::end(kAnswers), c.words[i]);
      if (a == std::end(kAnswers)) {
        ADD_FAILURE() << c.where << ": unknown answer";
        return false;
      }
      user_.answers.push_back(static_cast<Answer>(a - std::begin(kAnswers)));
    }
    return true;
  };
  h["stop-before"] = [this](W c) {
    for (std::size_t i = 1; i < c.words.size() && !c.words[i].empty(); ++i)
      user_.stopBefore.push_back(std::stoi(c.words[i]));
    return true;
  };
  h["monitor"] = [this](W) { return user_.monitor = true; };
  h["file-size-limit"] = [this](W c) {
    fileSizeLimit_ = std::stoull(c.words[1]);
    return true;
  };
  h["run"] = [this](W) {
    user_.polls = 0;
    user_.progress = "0/0";
    const batch::RunOutcome outcome = RunWithinFileSizeLimit();
    user_.Add(
        std::string("run ") + kOutcomes[static_cast<int>(outcome.End())] + ", progress " +
        user_.progress + ", processed " + std::to_string(outcome.processed) + ", failed " +
        std::to_string(outcome.failed) +
        (outcome.recordsWritten ? ", written " + std::to_string(*outcome.recordsWritten) : "") +
        (outcome.errorListFailure ? ", error list incomplete" : ""));
    return true;
  };
  h["expect-file"] = [this](W c) { return ExpectFile(c); };
  AddDatabaseHandlers(h);
  AddFileHandlers(h);
  h["expect-no-file"] = [this](W c) {
    EXPECT_FALSE(fs::exists(PathOf(c.words[1]))) << c.where;
    return true;
  };
  return h;
}

void GoldenRunner::AddFileHandlers(std::map<std::string, Handler>& h) {
  using W = const GoldenCommand&;
  h["place"] = [this](W c) {
    fs::copy_file(caseDir_ / c.words[1], work_ / c.words[2], fs::copy_options::overwrite_existing);
    return true;
  };
  h["link"] = [this](W c) {
    fs::create_hard_link(work_ / c.words[1], work_ / c.words[2]);
    return true;
  };
  h["symlink"] = [this](W c) {
    fs::create_symlink(c.words[1], work_ / c.words[2]);
    return true;
  };
  h["expect-xlsx"] = [this](W c) {
    // The workbook as another program reads it (tests/support/xlsx_cells.py, with Debian's
    // openpyxl, which Debian's own Python finds).
    const std::string command = "/usr/bin/python3 '" + std::string(MOK_SOURCE_DIR) +
                                "/tests/support/xlsx_cells.py' '" + PathOf(c.words[1]).string() +
                                "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string cells;
    char buffer[4096];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      cells.append(buffer, n);
    EXPECT_TRUE(pipe && ::pclose(pipe) == 0) << c.where << ": " << cells;
    Compare(cells, c.words[2], c.where);
    return true;
  };
  h["folder"] = [this](W c) {
    fs::create_directories(work_ / c.words[1]);
    return true;
  };
}

void GoldenRunner::AddDatabaseHandlers(std::map<std::string, Handler>& h) {
  using W = const GoldenCommand&;
  h["learn"] = [this](W c) {
    user_.Add("learn " + c.words[3] + " -> " + c.words[4]);
    // A case may register a word that the dictionary refuses: the run shows what follows.
    session_->database.RegisterLearnedWord(std::stoi(c.words[1]),
                                           static_cast<engine::WordKind>(std::stoi(c.words[2])),
                                           U16(c.words[3]), U16(c.words[4]));
    return true;
  };
  h["sql"] = [this](W c) {
    const std::string& name = c.words[1];
    const std::string sql = c.line.substr(c.line.find(name) + name.size());
    bool done = false;
    if (name == "mok2" && !server_.empty()) {
      auto server = db::PgConnection::Connect(server_);
      done = server && server->Execute(sql.c_str()).ok();
    } else {
      auto db = db::Connection::Open(U16((dbDir_ / (name + ".sqlite")).string()));
      done = db && db->Execute(sql).ok();
    }
    EXPECT_TRUE(done) << c.where;
    return done;
  };
  h["on-file"] = [this](W c) { return !server_.empty() || Execute(Following(c, 1)); };
  h["on-server"] = [this](W c) { return server_.empty() || Execute(Following(c, 1)); };
  h["before-record"] = [this](W c) {
    beforeRecord_[std::stoi(c.words[1])].push_back(Following(c, 2));
    return true;
  };
  h["stop-server"] = [](W) {
    TestServer::Get()->Stop();
    return true;
  };
  h["start-server"] = [](W) {
    TestServer::Get()->Start();
    return true;
  };
  h["uses"] = [this](W c) {
    std::string shown = "unreadable";
    if (auto store = db::OpenMainStore(MainName())) {
      if (auto rows = (*store)->SearchLearnedRows({.city = false})) {
        int64_t uses = 0;
        for (const db::LearningDictRow& row : *rows) {
          if (row.registeredWord == U16(c.words[1]))
            uses += row.referenceCount.value_or(0);
        }
        shown = std::to_string(uses);
      }
    }
    user_.Add("uses " + c.words[1] + ": " + shown);
    return true;
  };
}

batch::RunOutcome GoldenRunner::RunWithinFileSizeLimit() {
  if (!fileSizeLimit_)
    return run_->Execute(request_);
  // A write past the limit fails (EFBIG) as on a full disk, instead of ending the process.
  struct rlimit before {};
  ::getrlimit(RLIMIT_FSIZE, &before);
  struct rlimit limited = before;
  limited.rlim_cur = *std::exchange(fileSizeLimit_, std::nullopt);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  ::setrlimit(RLIMIT_FSIZE, &limited);
  batch::RunOutcome outcome = run_->Execute(request_);
  ::setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, previous);
  return outcome;
}

bool GoldenRunner::ExpectFile(const GoldenCommand& c) {
  const fs::path path = PathOf(c.words[1]);
  if (!fs::is_regular_file(path)) {
    ADD_FAILURE() << c.where << ": no such file";
    return false;
  }
  const std::string bytes = ReadBytes(path.u16string());
  // Every line ends in CR LF, and the text is in the encoding named (CP932 by default), with the
  // byte-order mark exactly when it is UTF-8 with a mark.
  EXPECT_TRUE(bytes.empty() || bytes.ends_with("\r\n")) << c.where;
  EXPECT_EQ(Replace(bytes, "\r\n", "").find('\r'), std::string::npos) << c.where << ": lone CR";
  const auto encoding = text::ParseEncoding(U16(c.words[3].empty() ? "cp932" : c.words[3]));
  if (!encoding) {
    ADD_FAILURE() << c.where << ": unknown encoding";
    return false;
  }
  const bool marked = bytes.starts_with(text::kUtf8Bom);
  EXPECT_EQ(marked, *encoding == text::Encoding::Utf8Bom) << c.where << ": byte-order mark";
  const auto decoded =
      text::Decode(std::string_view(bytes).substr(marked ? text::kUtf8Bom.size() : 0), *encoding);
  if (!decoded) {
    ADD_FAILURE() << c.where << ": not " << c.words[3];
    return false;
  }
  Compare(Replace(text::ToUtf8(*decoded), user_.workDir, "WORK"), c.words[2], c.where);
  return true;
}

}  // namespace mok::test
