// The interpreter of the golden conversion cases (tests/golden/<case>/case.txt): a script of
// commands that fill the main window's boxes, change settings, register learned words, plant
// files and press the run button, against a real database folder and the real run.
//
// Script commands, words separated by blanks ("-" is an empty text, WORK the work folder; a NAME
// is a path in the work folder unless it begins with "/"; a line starting with # is a comment):
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
//   file-size-limit BYTES      the next run cannot write a file past BYTES (as on a full disk)
//   run                        presses the run button
//   expect-file NAME FILE [ENC]   NAME is a file of CP932 text (or ENC: utf8, utf8-bom) with CR
//                              LF line ends whose lines are those of the case file FILE (UTF-8;
//                              WORK for the work folder)
//   expect-no-file NAME        NAME does not exist
// Everything shown and asked (with the answers), the observer's calls and each run's outcome make
// up the transcript, compared with expected-messages.txt ("⏎" stands for CR LF).
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch/conversion_run.h"
#include "batch/session.h"
#include "recording_prompter.h"
#include "temp_folder.h"

namespace mok::test {

// One command line of a script: its words ("-" already made empty, WORK replaced) and where it
// stands.
struct GoldenCommand {
  std::vector<std::string> words;  // at least five, the missing ones empty
  std::string where;               // "case.txt line N: <the line>"
  std::string line;                // the line as written, WORK replaced
};

// The commands of a script; comments and blank lines are left out.
std::vector<GoldenCommand> ParseGoldenScript(const std::string& script, const std::string& workDir);

// Text files compare by their lines: CR LF and LF alike, a last line end or none.
std::string GoldenLines(std::string text);

// The user at the window: sees every message, question and observer call, in order, with the
// work folder written as WORK; answers questions from the script (Yes when it has none left) and
// presses the stop button where the script says.
struct ScriptedUser : RecordingPrompter, batch::RunObserver {
  void Add(const std::string& line);
  void ShowMessage(const std::u16string& text, MessageIcon, const std::u16string&) override;
  Answer Ask(const std::u16string& text, MessageButtons buttons, MessageIcon icon,
             const std::u16string& title) override;
  void SetRunningState(bool running) override;
  void FocusInputBox(batch::InputBox box) override;
  void ShowProgress(int32_t current, int32_t total) override;
  void SetMonitorText(batch::MonitorBox box, const std::u16string& text) override;
  bool PollStopRequest() override;
  void EditUnconvertedAddress(const std::u16string& address) override;
  void ListUnconvertedRows(const batch::RunFiles&) override;

  std::string workDir, transcript, progress;
  bool monitor = false;
  std::vector<int> stopBefore;
  int polls = 0;
};

// One case run in a work folder of its own: the region 東京都 built from the case's towns.csv (or
// the shared one), the case's mok.ini, a session with `jobs` workers and a run.
class GoldenRunner {
 public:
  GoldenRunner(const std::filesystem::path& caseDir, const std::filesystem::path& sharedTowns,
               int16_t jobs);

  // Carries out one command; false (with a test failure naming the line) when it is unknown or
  // cannot be done.
  bool Execute(const GoldenCommand& command);
  // Compares a text with a case file, or writes the case file from it when MOK_GOLDEN_UPDATE is
  // set.
  void Compare(const std::string& actual, const std::string& file, const std::string& where) const;

  const TempFolder& Work() const { return work_; }
  ScriptedUser& User() { return user_; }

 private:
  using Handler = std::function<bool(const GoldenCommand&)>;
  std::map<std::string, Handler> Handlers();
  std::filesystem::path PathOf(const std::string& name) const;
  bool ExpectFile(const GoldenCommand& command);
  batch::RunOutcome RunWithinFileSizeLimit();

  std::filesystem::path caseDir_;
  int16_t jobs_;
  TempFolder work_;
  std::filesystem::path dbDir_;
  std::u16string iniPath_;
  ScriptedUser user_;
  std::unique_ptr<batch::Session> session_;
  std::unique_ptr<batch::ConversionRun> run_;
  batch::RunRequest request_;
  std::optional<uint64_t> fileSizeLimit_;
  std::map<std::string, Handler> handlers_;
};

}  // namespace mok::test
