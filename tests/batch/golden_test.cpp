// Whole conversion runs, one folder of tests/golden per case, through the real run controller
// against real SQLite databases built by the data tool.
//
// A case folder holds case.txt (the script, UTF-8), optionally mok.ini (the settings) and
// towns.csv (the towns of region 東京都; tests/golden/towns.csv when absent), the files the script
// names and expected-messages.txt. Script commands, words separated by blanks ("-" is an empty
// text, WORK the work folder; a NAME is a path in the work folder unless it begins with "/"):
//   input NAME, output NAME    the run's files; a case file of the input's name is copied in
//   region TEXT, start-row TEXT, field TEXT    the boxes (defaults 東京都, 2 and 1)
//   setting KEY VALUE          writes KEY of section MOK of mok.ini and loads the settings again
//   answers A...               answers (Yes, No, Ok, Cancel) to the next questions
//   stop-before N...           the stop button is pressed before record N of the next run
//   monitor                    from now on the monitor boxes and the run state are shown
//   learn SCOPE KIND WORD CONVERTED   registers a learned word
//   sql NAME STATEMENT         runs the statement on NAME.sqlite of the database folder
//   place FILE NAME, folder NAME   copies a case file to NAME, makes a folder
//   link NAME NEW, symlink TARGET NEW   makes a hard link to NAME, a symbolic link to TARGET
//   run                        presses the run button
//   expect-file NAME FILE [ENC]   NAME is a file of CP932 text (or ENC: utf8, utf8-bom) with CR
//                              LF line ends whose lines are those of the case file FILE (UTF-8;
//                              WORK for the work folder)
//   expect-no-file NAME        NAME does not exist
// Everything shown and asked (with the answers), the observer's calls and each run's outcome are
// compared with expected-messages.txt ("⏎" stands for CR LF). MOK_GOLDEN_UPDATE=1 writes the
// expected files from what the runs produced.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "../support/recording_prompter.h"
#include "batch/conversion_run.h"
#include "batch/session.h"
#include "batch_test_util.h"
#include "db/connection.h"
#include "db/import/main_database_import.h"
#include "db/import/town_import.h"
#include "startup/settings_file.h"
#include "text/encoding.h"

namespace mok::batch {
namespace {

namespace fs = std::filesystem;

const fs::path kGoldenDir = fs::path(MOK_SOURCE_DIR) / "tests" / "golden";
constexpr const char* kButtons[] = {"Ok", "OkCancel", "YesNo", "YesNoCancel"};
constexpr const char* kAnswers[] = {"Ok", "Cancel", "Yes", "No"};
constexpr const char* kOutcomes[] = {"not started", "finished", "stopped", "failed"};
constexpr const char* kBoxes[] = {"input", "output", "start row"};
constexpr const char* kMonitorBoxes[] = {"src", "prevSrc", "prevDst"};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); !from.empty() && at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// Text files compare by their lines: CR LF and LF alike, a last line end or none.
std::string Lines(std::string text) {
  text = Replace(text, "\r", "");
  return text.empty() || text.back() == '\n' ? text : text + "\n";
}

// The user at the window: sees every message, question and observer call, in order, with the
// work folder written as WORK; answers questions from the script (Yes when it has none left) and
// presses the stop button where the script says.
struct ScriptedUser : mok::test::RecordingPrompter, RunObserver {
  void Add(const std::u16string& line) { Add(text::ToUtf8(line)); }
  void Add(const std::string& line) {
    transcript += Replace(Replace(line, "\r\n", "⏎"), workDir, "WORK") + "\n";
  }
  void ShowMessage(const std::u16string& text, MessageIcon, const std::u16string&) override {
    Add(u"message: " + text);
  }
  Answer Ask(const std::u16string& text, MessageButtons buttons, MessageIcon icon,
             const std::u16string& title) override {
    const Answer answer = RecordingPrompter::Ask(text, buttons, icon, title);
    Add(std::string("question[") + kButtons[static_cast<int>(buttons)] +
        "]: " + text::ToUtf8(text) + " -> " + kAnswers[static_cast<int>(answer)]);
    return answer;
  }
  void SetRunningState(bool running) override {
    if (monitor)
      Add(running ? "state: running" : "state: idle");
  }
  void FocusInputBox(InputBox box) override {
    Add(std::string("focus: ") + kBoxes[static_cast<int>(box)]);
  }
  void ShowProgress(int32_t current, int32_t total) override {
    progress = std::to_string(current) + "/" + std::to_string(total);
  }
  void SetMonitorText(MonitorBox box, const std::u16string& text) override {
    if (monitor)
      Add(std::string(kMonitorBoxes[static_cast<int>(box)]) + ": " + text::ToUtf8(text));
  }
  bool PollStopRequest() override {
    if (std::erase(stopBefore, ++polls) == 0)
      return false;
    Add("stop pressed before record " + std::to_string(polls));
    return true;
  }
  void EditUnconvertedAddress(const std::u16string& address) override {
    Add(u"correction dialog: " + address);
  }
  void ListUnconvertedRows(const RunFiles&) override { Add("unconverted list opened"); }

  std::string workDir, transcript, progress;
  bool monitor = false;
  std::vector<int> stopBefore;
  int polls = 0;
};

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kGoldenDir)) {
    if (fs::exists(entry.path() / "case.txt"))
      names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Every case runs with one recognizer and with three workers: the two give the same files and
// messages.
class GoldenRun : public ::testing::TestWithParam<std::tuple<std::string, int>> {};

TEST_P(GoldenRun, MatchesExpected) {
  const fs::path caseDir = kGoldenDir / std::get<0>(GetParam());
  const int16_t jobs = static_cast<int16_t>(std::get<1>(GetParam()));
  test::TempDir work;
  const fs::path dbDir = work / "db";
  db::CreateMainDatabase(dbDir, fs::path(MOK_DATA_DIR) / "prefectures.csv");
  const bool ownTowns = fs::exists(caseDir / "towns.csv");
  db::ImportTowns(dbDir, u"東京都", (ownTowns ? caseDir : kGoldenDir) / "towns.csv");
  if (fs::exists(caseDir / "mok.ini"))
    fs::copy_file(caseDir / "mok.ini", work / "mok.ini");

  const std::u16string iniPath = work.U("mok.ini");
  ScriptedUser user;
  user.workDir = work.path().string();
  Session session(iniPath, user, text::FromUtf8(dbDir.string()));
  ASSERT_TRUE(session.OpenDatabase().ok());
  session.settings.jobs = jobs;
  ConversionRun run(session, user, user);
  const std::map<std::string, std::u16string RunRequest::*> boxes = {
      {"region", &RunRequest::region},
      {"start-row", &RunRequest::startRow},
      {"field", &RunRequest::addressField}};
  RunRequest request;
  request.region = u"東京都";
  request.startRow = u"2";

  // Compares a text with a case file, or writes the case file from it.
  auto compare = [&](const std::string& actual, const std::string& file, const std::string& where) {
    if (std::getenv("MOK_GOLDEN_UPDATE") != nullptr) {
      std::ofstream(caseDir / file, std::ios::binary) << Lines(actual);
    } else {
      EXPECT_EQ(Lines(actual), Lines(test::ReadBytes(caseDir / file))) << where;
    }
  };
  std::ifstream script(caseDir / "case.txt");
  std::string line;
  for (int lineNumber = 1; std::getline(script, line); ++lineNumber) {
    std::istringstream words(Replace(line, "WORK", work.path().string()));
    std::vector<std::string> w;
    for (std::string word; words >> word;)
      w.push_back(word == "-" ? "" : word);
    if (w.empty() || w[0][0] == '#')
      continue;
    w.resize(std::max<std::size_t>(w.size(), 5));
    const std::string where = "case.txt line " + std::to_string(lineNumber) + ": " + line;
    const std::string& cmd = w[0];
    auto path = [&](const std::string& name) {
      return name.starts_with('/') ? fs::path(name) : work / name;
    };
    auto u16 = [](const std::string& s) { return text::FromUtf8(s); };
    if (cmd == "input" || cmd == "output") {
      if (cmd == "input" && fs::is_regular_file(caseDir / w[1]))
        fs::copy_file(caseDir / w[1], work / w[1], fs::copy_options::overwrite_existing);
      (cmd == "input" ? request.inputPath : request.outputPath) =
          w[1].empty() ? u"" : u16(path(w[1]).string());
    } else if (boxes.contains(cmd)) {
      request.*boxes.at(cmd) = u16(w[1]);
    } else if (cmd == "setting") {
      WriteSetting(iniPath, u16(w[1]), u16(w[2]));
      LoadSettings(session.settings, iniPath, user);
      session.settings.dbDir = u16(dbDir.string());
      session.settings.jobs = jobs;
    } else if (cmd == "answers") {
      for (std::size_t i = 1; i < w.size() && !w[i].empty(); ++i) {
        const auto* a = std::find(std::begin(kAnswers), std::end(kAnswers), w[i]);
        ASSERT_NE(a, std::end(kAnswers)) << where;
        user.answers.push_back(static_cast<Answer>(a - std::begin(kAnswers)));
      }
    } else if (cmd == "stop-before") {
      for (std::size_t i = 1; i < w.size() && !w[i].empty(); ++i)
        user.stopBefore.push_back(std::stoi(w[i]));
    } else if (cmd == "monitor") {
      user.monitor = true;
    } else if (cmd == "learn") {
      user.Add("learn " + w[3] + " -> " + w[4]);
      session.database.RegisterLearnedWord(
          std::stoi(w[1]), static_cast<engine::WordKind>(std::stoi(w[2])), u16(w[3]), u16(w[4]));
    } else if (cmd == "place") {
      fs::copy_file(caseDir / w[1], work / w[2], fs::copy_options::overwrite_existing);
    } else if (cmd == "link") {
      fs::create_hard_link(work / w[1], work / w[2]);
    } else if (cmd == "symlink") {
      fs::create_symlink(w[1], work / w[2]);
    } else if (cmd == "folder") {
      fs::create_directories(work / w[1]);
    } else if (cmd == "sql") {
      auto db = db::Connection::Open(u16((dbDir / (w[1] + ".sqlite")).string()));
      ASSERT_TRUE(db && db->Execute(line.substr(line.find(w[1]) + w[1].size()))) << where;
    } else if (cmd == "run") {
      user.polls = 0;
      user.progress = "0/0";
      const RunOutcome outcome = run.Execute(request);
      user.Add(std::string("run ") + kOutcomes[static_cast<int>(outcome.End())] + ", progress " +
               user.progress + ", processed " + std::to_string(outcome.processed) + ", failed " +
               std::to_string(outcome.failed));
    } else if (cmd == "expect-file") {
      ASSERT_TRUE(fs::is_regular_file(path(w[1]))) << where;
      const std::string bytes = test::ReadBytes(path(w[1]));
      // Every line ends in CR LF, and the text is in the encoding named (CP932 by default), with
      // the byte-order mark exactly when it is UTF-8 with a mark.
      EXPECT_TRUE(bytes.empty() || bytes.ends_with("\r\n")) << where;
      EXPECT_EQ(Replace(bytes, "\r\n", "").find('\r'), std::string::npos) << where << ": lone CR";
      const auto encoding = text::ParseEncoding(u16(w[3].empty() ? "cp932" : w[3]));
      ASSERT_TRUE(encoding.has_value()) << where;
      const bool marked = bytes.starts_with(text::kUtf8Bom);
      EXPECT_EQ(marked, *encoding == text::Encoding::Utf8Bom) << where << ": byte-order mark";
      const auto decoded = text::Decode(
          std::string_view(bytes).substr(marked ? text::kUtf8Bom.size() : 0), *encoding);
      ASSERT_TRUE(decoded.has_value()) << where << ": not " << w[3];
      compare(Replace(text::ToUtf8(*decoded), user.workDir, "WORK"), w[2], where);
    } else if (cmd == "expect-no-file") {
      EXPECT_FALSE(fs::exists(path(w[1]))) << where;
    } else {
      FAIL() << where << ": unknown command";
    }
  }

  compare(user.transcript, "expected-messages.txt", "the messages");
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenRun,
                         ::testing::Combine(::testing::ValuesIn(CaseNames()),
                                            ::testing::Values(1, 3)),
                         [](const auto& info) {
                           return Replace(std::get<0>(info.param), "-", "_") + "_jobs" +
                                  std::to_string(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace mok::batch
