// The run controller's behaviour that the golden folders do not show: what it tells the window
// (monitor texts, failure markers), what it remembers in mok.ini, the region's katakana name,
// a failed write, and the hand-over to the map program.
#include "batch/conversion_run.h"
#include "batch/session.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../support/recording_prompter.h"
#include "batch_test_util.h"
#include "db/address_database.h"
#include "db/import/main_database_import.h"
#include "db/import/town_import.h"
#include "engine/recognition/recognizer.h"
#include "startup/settings_file.h"

namespace mok::batch {
namespace {

namespace fs = std::filesystem;
using test::Sjis;

class RecordingObserver : public NullRunObserver {
 public:
  void SetMonitorText(MonitorBox box, const std::u16string& text) override {
    const char* names[] = {"src", "prevSrc", "prevDst"};
    monitor.push_back(std::string(names[static_cast<int>(box)]) + "=" + text::ToUtf8(text));
  }
  void SetRunningState(bool running) override { states.push_back(running); }
  std::vector<std::string> monitor;
  std::vector<bool> states;
};

class ConversionRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path dbDir = work_ / "db";
    db::CreateMainDatabase(dbDir, fs::path(MOK_DATA_DIR) / "prefectures.csv");
    db::ImportTowns(dbDir, u"東京都", fs::path(MOK_SOURCE_DIR) / "tests/golden/towns.csv");
    session_ =
        std::make_unique<Session>(work_.U("mok.ini"), prompter_, text::FromUtf8(dbDir.string()));
    ASSERT_TRUE(session_->OpenDatabase().ok());
    run_ = std::make_unique<ConversionRun>(session_->settings, session_->database,
                                           session_->recognizer, prompter_, observer_,
                                           work_.U("mok.ini"));
    request_.inputPath = work_.U("in/input.csv");
    request_.outputPath = work_.U("out/output.csv");
    request_.region = u"東京都";
    request_.startRow = u"2";
    request_.addressField = u"2";
    fs::create_directories(work_ / "in");
    fs::create_directories(work_ / "out");
    test::WriteBytes(work_ / "in" / "input.csv",
                     Sjis("ID,住所\r\n1,東京都千代田区丸の内１－１－１\r\n2,東京都どこか\r\n"));
  }

  test::TempDir work_;
  mok::test::RecordingPrompter prompter_;
  RecordingObserver observer_;
  std::unique_ptr<Session> session_;
  std::unique_ptr<ConversionRun> run_;
  RunRequest request_;
};

TEST_F(ConversionRunTest, MonitorShowsEachRecordAndTheFailureMarkers) {
  prompter_.answers = {Answer::No};
  ASSERT_EQ(run_->Execute(request_), RunOutcome::Finished);
  const std::string marker34(34, '?');
  const std::vector<std::string> expected = {
      "src=",
      "src=東京都千代田区丸の内１－１－１",
      "prevSrc=東京都千代田区丸の内１－１－１",
      "prevDst=丸の内一丁目,13101,9,-35327.297,-5986.016,35.68156,139.767201",
      "src=",
      "src=東京都どこか",
      "prevSrc=東京都どこか",
      "prevDst=" + marker34,
      "src=",  // cleared at the end of a finished run
      "prevSrc=",
      "prevDst=",
  };
  EXPECT_EQ(observer_.monitor, expected);
  EXPECT_EQ(observer_.states, (std::vector<bool>{true, false}));

  // The unprocessed-only run marks a failure with 28 question marks.
  session_->settings.notOverwrite = true;
  observer_.monitor.clear();
  prompter_.answers = {Answer::No};
  ASSERT_EQ(run_->Execute(request_), RunOutcome::Finished);
  EXPECT_TRUE(run_->WasUnprocessedOnly());
  // A copied line shows in the source box only; a converted-again one also in the others.
  const std::vector<std::string> unprocessed = {
      "src=東京都千代田区丸の内１－１－１",
      "src=",
      "src=東京都どこか",
      "prevSrc=東京都どこか",
      "prevDst=" + std::string(28, '?'),
      "src=",
      "src=",
      "prevSrc=",
      "prevDst=",
  };
  EXPECT_EQ(observer_.monitor, unprocessed);
}

TEST_F(ConversionRunTest, MonitorOffShowsNothingButTheEndClearing) {
  session_->settings.monitor = false;
  prompter_.answers = {Answer::No};
  ASSERT_EQ(run_->Execute(request_), RunOutcome::Finished);
  EXPECT_EQ(observer_.monitor,
            (std::vector<std::string>{"src=", "src=", "src=", "prevSrc=", "prevDst="}));
}

TEST_F(ConversionRunTest, RemembersFoldersAndEntriesInTheSettingsFile) {
  prompter_.answers = {Answer::No};
  request_.startRow = u"2.0";
  ASSERT_EQ(run_->Execute(request_), RunOutcome::Finished);
  EXPECT_EQ(text::ToUtf8(session_->settings.inputDir), (work_ / "in").string());
  EXPECT_EQ(text::ToUtf8(session_->settings.outputDir), (work_ / "out").string());
  Settings reread;
  LoadSettings(reread, work_.U("mok.ini"), prompter_);
  EXPECT_EQ(reread.inputDir, session_->settings.inputDir);
  EXPECT_EQ(reread.outputDir, session_->settings.outputDir);
  const CurrentState state = LoadCurrentState(work_.U("mok.ini"));
  EXPECT_EQ(state.inputFilePath, request_.inputPath);
  EXPECT_EQ(state.outputFilePath, request_.outputPath);
  EXPECT_EQ(state.selectPref, u"東京都");
  EXPECT_EQ(state.startRow, u"2.0");
  EXPECT_EQ(state.adrField1, u"2");
}

// A full disk shows only when the buffered output reaches the disk; the run must not end with
// the end message then.
TEST_F(ConversionRunTest, WriteFailureIsNeverReportedAsSuccess) {
  if (!fs::exists("/dev/full"))
    GTEST_SKIP() << "no /dev/full";
  request_.outputPath = u"/dev/full";
  EXPECT_EQ(run_->Execute(request_), RunOutcome::Failed);
  const auto texts = prompter_.Texts();
  ASSERT_FALSE(texts.empty());
  for (const auto& t : texts)
    EXPECT_EQ(t.find("変換が終了しました。"), std::string::npos) << t;
  EXPECT_NE(texts.back().find("ファイルの書込み中にエラーが発生しました。"), std::string::npos)
      << texts.back();
  EXPECT_NE(texts.back().find("(61)"), std::string::npos) << texts.back();
}

TEST_F(ConversionRunTest, StopRequestedFromOutsideTakesEffectAtTheNextRecord) {
  run_->RequestCancel();  // pressed before the run: a new run clears it
  prompter_.answers = {Answer::No};
  EXPECT_EQ(run_->Execute(request_), RunOutcome::Finished);

  class StopAtFirst : public NullRunObserver {
   public:
    explicit StopAtFirst(ConversionRun*& run) : run_(run) {}
    bool PollStopRequest() override {
      run_->RequestCancel();  // as a signal handler would
      return false;
    }
    ConversionRun*& run_;
  };
  ConversionRun* target = nullptr;
  StopAtFirst observer(target);
  ConversionRun run(session_->settings, session_->database, session_->recognizer, prompter_,
                    observer, work_.U("mok.ini"));
  target = &run;
  prompter_.Clear();
  prompter_.answers = {Answer::Yes};
  EXPECT_EQ(run.Execute(request_), RunOutcome::Stopped);
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"変換を中止しますか？"});
  // Header only: the stop came before the first record.
  EXPECT_EQ(
      test::ReadBytes(work_ / "out" / "output.csv"),
      Sjis(",,大字・町丁目+街区符号・地番,市区町村コード,座標系番号,Ｘ座標,Ｙ座標,緯度,経度") +
          "\r\n");
}

TEST_F(ConversionRunTest, FinishedRunHandsTheOutputToTheMapProgram) {
  fs::create_directories(work_ / "map");
  session_->settings.tempDir = work_.U("map");
  session_->settings.mapProgram = u"/bin/true";
  prompter_.answers = {Answer::No};
  ASSERT_EQ(run_->Execute(request_), RunOutcome::Finished);
  EXPECT_EQ(test::ReadBytes(work_ / "map" / "output.csv"),
            test::ReadBytes(work_ / "out" / "output.csv"));

  // A stopped run does not reach the map link.
  fs::remove(work_ / "map" / "output.csv");
  run_->RequestCancel();
  class PressStop : public NullRunObserver {
    bool PollStopRequest() override { return true; }
  } stopper;
  ConversionRun stopped(session_->settings, session_->database, session_->recognizer, prompter_,
                        stopper, work_.U("mok.ini"));
  prompter_.answers = {Answer::Yes};
  EXPECT_EQ(stopped.Execute(request_), RunOutcome::Stopped);
  EXPECT_FALSE(fs::exists(work_ / "map" / "output.csv"));
}

}  // namespace
}  // namespace mok::batch
