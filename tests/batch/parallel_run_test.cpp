// A run with several recognition workers gives what one recognizer gives: the same output,
// error list, counters, messages and learned-word counts, also when it is stopped at a record.
// The records are those of the bundled sample input (the quick start's conversion), which
// convert almost all against the Tokyo sample database.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>
#include "../support/recording_prompter.h"

#include "batch/conversion_run.h"
#include "batch/dictionary_watch.h"
#include "batch/session.h"
#include "batch_test_util.h"
#include "db/connection.h"

namespace mok::batch {
namespace {

namespace fs = std::filesystem;

// Stops before record `stopAt` (0: never); before record `learnAt` (0: never) another program
// registers the learned word marunouti -> 丸の内, and the run goes on once the run could see it.
struct StoppingObserver : NullRunObserver {
  int polls = 0;
  int stopAt = 0;
  int learnAt = 0;
  std::u16string mainDatabase;
  bool PollStopRequest() override { return ++polls == stopAt; }
  void ShowProgress(int32_t current, int32_t) override {
    if (current != learnAt)
      return;
    db::Connection::Open(mainDatabase)
        ->Execute("insert into 学習 values (0, 3, 'marunouti', '丸の内', 0)");
    std::this_thread::sleep_for(DictionaryWatch::kInterval * 2);
  }
};

struct Outcome {
  RunEnd end;
  int32_t records, converted, failed;
  std::vector<std::string> messages;
  std::string output, errors, counts;
  bool operator==(const Outcome&) const = default;
};

// 10,000 records drawn from the Tokyo sample, some written so that only a learned word mends
// them, run against a fresh copy of the sample databases with `jobs` workers.
Outcome RunWithJobs(int16_t jobs, int stopAt, int learnAt = 0) {
  test::TempDir work;
  fs::create_directories(work / "db");
  for (const char* file : {"mok2.sqlite", "東京都.sqlite"})
    fs::copy_file(fs::path(MOK_SAMPLE_DB) / file, work / "db" / file);
  auto main = db::Connection::Open(work.File("db/mok2.sqlite"));
  main->Execute(
      "insert into 学習 values (0, 2, 'ちよだ区', '千代田区', 0), (0, 2, 'ちよだ', '千代田区', 0),"
      " (0, 3, 'まるのうち', '丸の内', 0), (0, 3, 'marunouchi', '丸の内', 0)");
  main->Close();

  std::istringstream sample(test::ReadBytes(fs::path(MOK_DATA_DIR) / "sample-input.csv"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(sample, line);)
    lines.push_back(line.substr(0, line.size() - 1));  // without the CR
  std::string input = lines[0] + "\r\n";
  for (int i = 0; i < 10000; ++i) {
    // Registered words compare without ASCII letter case.
    input += i % 97 == 0 ? test::Sjis(std::to_string(i) + ",x,東京都ちよだ区まるのうち1-1-1,0")
             : i % 89 == 0 ? test::Sjis(std::to_string(i) + ",x,東京都千代田区MARUNOUCHI2-1,0")
             : i % 83 == 0 ? test::Sjis(std::to_string(i) + ",x,東京都千代田区marunouti3-1,0")
                           : lines[1 + i % (lines.size() - 1)];
    input += "\r\n";
  }
  test::WriteBytes(work / "in.csv", input);

  mok::test::RecordingPrompter prompter;
  prompter.answers = {Answer::Yes, Answer::No};  // stop when asked; do not open the list
  Session session(work.File("mok.ini"), prompter, work.File("db"));
  EXPECT_TRUE(session.OpenDatabase().ok());
  session.settings.jobs = jobs;
  session.settings.unknownOut = true;
  StoppingObserver observer;
  observer.stopAt = stopAt;
  observer.learnAt = learnAt;
  observer.mainDatabase = work.File("db/mok2.sqlite");
  ConversionRun run(session, prompter, observer);
  const RunOutcome outcome =
      run.Execute({work.File("in.csv"), work.File("out.csv"), u"東京都", u"2", {u"3"}});
  Outcome o{outcome.End(),
            outcome.records,
            outcome.processed,
            outcome.failed,
            prompter.Texts(),
            test::ReadBytes(work / "out.csv"),
            test::ReadBytes(work / "out.err"),
            ""};
  session.database.Close();
  auto check = db::Connection::Open(work.File("db/mok2.sqlite"));
  auto st = check->Compile("select group_concat(fld参照回数, ',') from 学習 order by rowid");
  if (st && st->Step().value())
    o.counts = text::ToUtf8(st->Text(0));
  return o;
}

// Also when another program registers a learned word during the run (issue 20, fault G9).
TEST(ParallelRun, SameAsOneRecognizerToTheEndWhenStoppedAndWhenTheDictionaryChanges) {
  for (const auto& [stopAt, learnAt] : {std::pair{0, 0}, {5000, 0}, {0, 5000}}) {
    SCOPED_TRACE(testing::Message() << stopAt << " " << learnAt);
    const Outcome one = RunWithJobs(1, stopAt, learnAt);
    EXPECT_EQ(one.end, stopAt == 0 ? RunEnd::Finished : RunEnd::Stopped);
    EXPECT_GE(one.converted - one.failed, stopAt == 0 ? 9400 : 4700) << one.failed << " failed";
    // Every learned word written in the input applied and was counted (ちよだ never: ちよだ区
    // comes first); the one registered during the run to the records after it.
    EXPECT_THAT(
        one.counts,
        testing::MatchesRegex(learnAt == 0 ? "[1-9][0-9]*,0,[1-9][0-9]*,[1-9][0-9]*"
                                           : "[1-9][0-9]*,0,[1-9][0-9]*,[1-9][0-9]*,[1-9][0-9]?"));
    const Outcome three = RunWithJobs(3, stopAt, learnAt);
    EXPECT_TRUE(one == three) << one.counts << " / " << three.counts << ", " << one.converted
                              << " / " << three.converted;
  }
}

}  // namespace
}  // namespace mok::batch
