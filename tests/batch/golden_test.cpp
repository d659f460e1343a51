// Whole conversion runs, one folder of tests/golden per case, run through the real run
// controller against real SQLite databases built by the data tool.
//
// A case folder holds:
//   case.txt               the script (UTF-8), one command per line, run in order (see below)
//   mok.ini                the settings (optional; defaults when absent)
//   towns.csv              the towns of the region 東京都 in the data tool's town-list format
//                          (optional; tests/golden/towns.csv when absent)
//   input files, expected outputs and expected-messages.txt, named by the script
//
// Script commands (words separated by blanks; "-" stands for an empty text):
//   input FILE             the run's input: the case file FILE copied to the work folder, or
//                          a file of that name placed there by the script
//   output NAME            the output path is NAME in the work folder
//   region NAME            region text (default 東京都); its position comes from the region list
//   start-row TEXT         start-row box (default 2)
//   field TEXT             address-field box (default 1)
//   setting KEY VALUE      writes KEY of section MOK of mok.ini and loads the settings again
//   answers A...           scripted answers (Yes, No, Ok, Cancel) for the next questions
//   stop-before N...       the stop button is pressed before record N of the next run
//   learn SCOPE KIND WORD CONVERTED   registers a learned word
//   place FILE NAME        copies the case file FILE to NAME in the work folder
//   run                    presses the run button
//   expect-file NAME FILE  NAME in the work folder is CP932 text with CR LF line ends whose
//                          lines are those of the UTF-8 case file FILE
//   expect-no-file NAME    NAME does not exist in the work folder
// After the script, everything shown and asked (with the answers), the observer's calls and the
// outcome of every run are compared with expected-messages.txt ("⏎" stands for CR LF).
//
// MOK_GOLDEN_UPDATE=1 rewrites the expected files from what the run produced.
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "batch/conversion_run.h"
#include "batch/session.h"
#include "batch_test_util.h"
#include "db/import/main_database_import.h"
#include "db/import/town_import.h"
#include "startup/settings_file.h"
#include "text/text.h"

namespace mok::batch {
namespace {

namespace fs = std::filesystem;

const fs::path kGoldenDir = fs::path(MOK_SOURCE_DIR) / "tests" / "golden";

std::string Visible(const std::u16string& text) {
  std::string out = text::ToUtf8(text);
  std::string result;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n') {
      result += "⏎";
      ++i;
    } else {
      result += out[i];
    }
  }
  return result;
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  std::string w;
  while (in >> w)
    words.push_back(w == "-" ? "" : w);
  return words;
}

std::string ReadText(const fs::path& path) {
  return test::ReadBytes(path);
}

// Lines of a UTF-8 text file (LF or CR LF), without a last empty line.
std::vector<std::string> TextLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines)
    out += l + "\n";
  return out;
}

const char* OutcomeName(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::NotStarted:
      return "not started";
    case RunOutcome::Finished:
      return "finished";
    case RunOutcome::Stopped:
      return "stopped";
    case RunOutcome::Failed:
      return "failed";
  }
  return "?";
}

const char* ButtonsName(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return "Ok";
    case MessageButtons::OkCancel:
      return "OkCancel";
    case MessageButtons::YesNo:
      return "YesNo";
    case MessageButtons::YesNoCancel:
      return "YesNoCancel";
  }
  return "?";
}

const char* AnswerName(Answer answer) {
  switch (answer) {
    case Answer::Ok:
      return "Ok";
    case Answer::Cancel:
      return "Cancel";
    case Answer::Yes:
      return "Yes";
    case Answer::No:
      return "No";
  }
  return "?";
}

// Everything the user would have seen, in order.
// The work folder differs at every run, so it is written as WORK.
struct Transcript {
  std::string workDir;
  std::vector<std::string> lines;
  void Add(std::string line) {
    for (std::size_t at = line.find(workDir); !workDir.empty() && at != std::string::npos;
         at = line.find(workDir, at)) {
      line.replace(at, workDir.size(), "WORK");
    }
    lines.push_back(std::move(line));
  }
};

class ScriptedPrompter : public Prompter {
 public:
  explicit ScriptedPrompter(Transcript& transcript) : transcript_(transcript) {}
  void ShowMessage(const std::u16string& text, MessageIcon, const std::u16string&) override {
    transcript_.Add("message: " + Visible(text));
  }
  Answer Ask(const std::u16string& text, MessageButtons buttons, MessageIcon,
             const std::u16string&) override {
    Answer answer = buttons == MessageButtons::OkCancel ? Answer::Ok : Answer::Yes;
    if (!answers.empty()) {
      answer = answers.front();
      answers.pop_front();
    }
    transcript_.Add(std::string("question[") + ButtonsName(buttons) + "]: " + Visible(text) +
                    " -> " + AnswerName(answer));
    return answer;
  }
  std::deque<Answer> answers;

 private:
  Transcript& transcript_;
};

class ScriptedObserver : public RunObserver {
 public:
  explicit ScriptedObserver(Transcript& transcript) : transcript_(transcript) {}
  void SetRunningState(bool running) override { running_ = running; }
  void FocusInputBox(InputBox box) override {
    const char* names[] = {"input", "output", "start row"};
    transcript_.Add(std::string("focus: ") + names[static_cast<int>(box)]);
  }
  void ShowProgress(int32_t current, int32_t total) override {
    current_ = current;
    total_ = total;
  }
  void SetMonitorText(MonitorBox, const std::u16string&) override {}
  bool PollStopRequest() override {
    ++polls_;
    for (auto it = stopBefore.begin(); it != stopBefore.end(); ++it) {
      if (*it == polls_) {
        stopBefore.erase(it);
        transcript_.Add("stop pressed before record " + std::to_string(polls_));
        return true;
      }
    }
    return false;
  }
  void EditUnconvertedAddress(const std::u16string& address) override {
    transcript_.Add("correction dialog: " + Visible(address));
  }
  void ListUnconvertedRows() override { transcript_.Add("unconverted list opened"); }

  void StartRun() { polls_ = current_ = total_ = 0; }
  std::string Progress() const { return std::to_string(current_) + "/" + std::to_string(total_); }
  std::vector<int> stopBefore;

 private:
  Transcript& transcript_;
  bool running_ = false;
  int polls_ = 0;
  int32_t current_ = 0;
  int32_t total_ = 0;
};

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kGoldenDir)) {
    if (entry.is_directory() && fs::exists(entry.path() / "case.txt")) {
      names.push_back(entry.path().filename().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

class GoldenRun : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenRun, MatchesExpected) {
  const fs::path caseDir = kGoldenDir / GetParam();
  const bool update = std::getenv("MOK_GOLDEN_UPDATE") != nullptr;
  test::TempDir work;
  const fs::path dbDir = work / "db";

  // The database recipe.
  db::CreateMainDatabase(dbDir, fs::path(MOK_DATA_DIR) / "prefectures.csv");
  const fs::path towns =
      fs::exists(caseDir / "towns.csv") ? caseDir / "towns.csv" : kGoldenDir / "towns.csv";
  db::ImportTowns(dbDir, u"東京都", towns);

  const std::u16string iniPath = work.U("mok.ini");
  if (fs::exists(caseDir / "mok.ini"))
    fs::copy_file(caseDir / "mok.ini", work / "mok.ini");

  Transcript transcript;
  transcript.workDir = work.path().string();
  ScriptedPrompter prompter(transcript);
  ScriptedObserver observer(transcript);
  Session session(iniPath, prompter, text::FromUtf8(dbDir.string()));
  auto loadSettings = [&] {
    LoadSettings(session.settings, iniPath, prompter);
    session.settings.dbDir = text::FromUtf8(dbDir.string());
  };
  ASSERT_TRUE(session.OpenDatabase().ok());
  ConversionRun run(session.settings, session.database, session.recognizer, prompter, observer,
                    iniPath);

  RunRequest request;
  request.region = u"東京都";
  request.startRow = u"2";
  request.addressField = u"1";

  std::ifstream script(caseDir / "case.txt");
  std::string line;
  int lineNumber = 0;
  while (std::getline(script, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    const auto w = Words(line);
    if (w.empty() || w[0][0] == '#')
      continue;
    const std::string where = "case.txt line " + std::to_string(lineNumber) + ": " + line;
    const std::string& cmd = w[0];
    auto arg = [&](std::size_t i) { return i < w.size() ? w[i] : std::string(); };
    if (cmd == "input") {
      // A file of the case is copied in; any other name is a file the script placed itself.
      if (!arg(1).empty() && fs::exists(caseDir / arg(1))) {
        fs::copy_file(caseDir / arg(1), work / arg(1), fs::copy_options::overwrite_existing);
      }
      request.inputPath = arg(1).empty() ? u"" : work.U(arg(1));
    } else if (cmd == "output") {
      request.outputPath = arg(1).empty() ? u"" : work.U(arg(1));
    } else if (cmd == "region") {
      request.region = text::FromUtf8(arg(1));
    } else if (cmd == "start-row") {
      request.startRow = text::FromUtf8(arg(1));
    } else if (cmd == "field") {
      request.addressField = text::FromUtf8(arg(1));
    } else if (cmd == "setting") {
      WriteSetting(iniPath, text::FromUtf8(arg(1)), text::FromUtf8(arg(2)));
      loadSettings();
    } else if (cmd == "answers") {
      for (std::size_t i = 1; i < w.size(); ++i) {
        const std::string& a = w[i];
        prompter.answers.push_back(a == "Yes"  ? Answer::Yes
                                   : a == "No" ? Answer::No
                                   : a == "Ok" ? Answer::Ok
                                               : Answer::Cancel);
      }
    } else if (cmd == "stop-before") {
      for (std::size_t i = 1; i < w.size(); ++i)
        observer.stopBefore.push_back(std::stoi(w[i]));
    } else if (cmd == "learn") {
      transcript.Add("learn " + arg(3) + " -> " + arg(4));
      session.database.RegisterLearnedWord(std::stoi(arg(1)),
                                           static_cast<engine::WordKind>(std::stoi(arg(2))),
                                           text::FromUtf8(arg(3)), text::FromUtf8(arg(4)));
    } else if (cmd == "place") {
      fs::copy_file(caseDir / arg(1), work / arg(2), fs::copy_options::overwrite_existing);
    } else if (cmd == "run") {
      observer.StartRun();
      const RunOutcome outcome = run.Execute(request);
      transcript.Add(std::string("run ") + OutcomeName(outcome) + ", progress " +
                     observer.Progress() + ", processed " + std::to_string(run.ConvertCount()) +
                     ", failed " + std::to_string(run.FailCount()));
    } else if (cmd == "expect-file") {
      const fs::path actualPath = work / arg(1);
      const fs::path expectedPath = caseDir / arg(2);
      ASSERT_TRUE(fs::exists(actualPath)) << where;
      const std::string bytes = ReadText(actualPath);
      // Every line ends in CR LF, and the text is CP932.
      EXPECT_TRUE(bytes.empty() || bytes.ends_with("\r\n")) << where;
      std::string withoutCr;
      for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
          EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << where << ": lone CR";
          continue;
        }
        withoutCr += bytes[i];
      }
      const auto decoded = text::DecodeCp932(withoutCr);
      ASSERT_TRUE(decoded.has_value()) << where << ": not CP932";
      const std::string actual = text::ToUtf8(*decoded);
      if (update) {
        std::ofstream(expectedPath, std::ios::binary) << actual;
      } else {
        EXPECT_EQ(JoinLines(TextLines(actual)), JoinLines(TextLines(ReadText(expectedPath))))
            << where;
      }
    } else if (cmd == "expect-no-file") {
      EXPECT_FALSE(fs::exists(work / arg(1))) << where;
    } else {
      FAIL() << where << ": unknown command";
    }
  }

  const fs::path expectedMessages = caseDir / "expected-messages.txt";
  if (update) {
    std::ofstream(expectedMessages, std::ios::binary) << JoinLines(transcript.lines);
  } else {
    EXPECT_EQ(JoinLines(transcript.lines), JoinLines(TextLines(ReadText(expectedMessages))));
  }
}

std::string CaseTestName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name;
  for (char c : info.param)
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenRun, ::testing::ValuesIn(CaseNames()), CaseTestName);

}  // namespace
}  // namespace mok::batch
