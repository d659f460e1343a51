// The interpreter of the golden conversion cases (tests/golden/<case>/case.txt): a script of
// commands that fill the main window's boxes, change settings, register learned words, plant
// files and press the run button, against a real database folder and the real run.
//
// Script commands, words separated by blanks ("-" is an empty text, WORK the work folder; a NAME
// is a path in the work folder unless it begins with "/"; a line starting with # is a comment):
//   input NAME, output NAME    the run's files; a case file of the input's name is copied in
//   region TEXT, start-row TEXT    the boxes (defaults 東京都 and 2)
//   field TEXT...              the address field boxes 住所１, 住所２, … (default 1)
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
//   expect-xlsx NAME FILE      NAME is a workbook whose cells, as tests/support/xlsx_cells.py
//                              prints them, are the lines of the case file FILE
//   expect-no-file NAME        NAME does not exist
//   uses WORD                  the uses counted of the learned words registered as WORD
//   before-record N COMMAND... the command is carried out when the run comes to record N
//   on-file COMMAND..., on-server COMMAND...   the command only with that main database
//   stop-server, start-server  the main database's server goes away, and comes back
// Everything shown and asked (with the answers), the observer's calls and each run's outcome make
// up the transcript, compared with expected-messages.txt ("⏎" stands for CR LF). A case runs with
// the main database in the work folder's database folder, or on a server (its address written
// SERVER in the transcript, which is compared with expected-messages-server.txt where the case
// has one): the files a run writes are the same.
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

  std::string workDir, server, transcript, progress;
  bool monitor = false;
  std::vector<int> stopBefore;
  int polls = 0;
  std::function<void(int)> beforeRecord;  // called with each record's number
};

// One case run in a work folder of its own: the region 東京都 built from the case's towns.csv (or
// the shared one), the case's mok.ini, a session with `jobs` workers and a run.
class GoldenRunner {
 public:
  // `onServer`: the main database on the test server instead of the database folder.
  GoldenRunner(const std::filesystem::path& caseDir, const std::filesystem::path& sharedTowns,
               int16_t jobs, bool onServer = false);

  // Carries out one command; false (with a test failure naming the line) when it is unknown or
  // cannot be done.
  bool Execute(const GoldenCommand& command);
  // Compares a text with a case file, or writes the case file from it when MOK_GOLDEN_UPDATE is
  // set.
  void Compare(const std::string& actual, const std::string& file, const std::string& where) const;
  // Compares the transcript with the case's expected messages.
  void CompareTranscript() const;

  const TempFolder& Work() const { return work_; }
  ScriptedUser& User() { return user_; }

 private:
  using Handler = std::function<bool(const GoldenCommand&)>;
  std::map<std::string, Handler> Handlers();
  // The files planted in the work folder.
  void AddFileHandlers(std::map<std::string, Handler>& handlers);
  // The commands on the databases: learned words, SQL, counts, the server.
  void AddDatabaseHandlers(std::map<std::string, Handler>& handlers);
  std::filesystem::path PathOf(const std::string& name) const;
  bool ExpectFile(const GoldenCommand& command);
  // The main database's name: the server's address, or the folder's file.
  std::u16string MainName() const;
  batch::RunOutcome RunWithinFileSizeLimit();

  std::filesystem::path caseDir_;
  int16_t jobs_;
  TempFolder work_;
  std::filesystem::path dbDir_;
  std::u16string server_;  // "" for the folder's file
  std::u16string iniPath_;
  ScriptedUser user_;
  std::unique_ptr<batch::Session> session_;
  std::unique_ptr<batch::ConversionRun> run_;
  batch::RunRequest request_;
  std::optional<uint64_t> fileSizeLimit_;
  std::map<std::string, Handler> handlers_;
  std::map<int, std::vector<GoldenCommand>> beforeRecord_;
};

}  // namespace mok::test
