// The conversion of the quick start (./dev.sh sample): the first 300 records of the bundled sample
// input against the Tokyo sample database built from the bundled open data.
#include <gtest/gtest.h>

#include "../support/recording_prompter.h"
#include "batch/conversion_run.h"
#include "batch/session.h"
#include "batch_test_util.h"

namespace mok::batch {
namespace {

TEST(SampleRun, ConvertsAlmostEveryOneOfTheFirst300Records) {
  const std::filesystem::path sampleDb = MOK_SAMPLE_DB;
  ASSERT_TRUE(std::filesystem::exists(sampleDb / "mok2.sqlite")) << "build the sample-db target";
  test::TempDir work;
  const std::string all = test::ReadBytes(std::filesystem::path(MOK_DATA_DIR) / "sample-input.csv");
  std::size_t end = 0;
  for (int line = 0; line < 301; ++line) {
    end = all.find("\r\n", end);
    ASSERT_NE(end, std::string::npos) << "the sample input has fewer than 300 records";
    end += 2;
  }
  test::WriteBytes(work / "input.csv", all.substr(0, end));

  mok::test::RecordingPrompter prompter;
  prompter.answers = {Answer::No};  // do not open the unconverted list
  Session session(work.U("mok.ini"), prompter, text::FromUtf8(sampleDb.string()));
  ASSERT_TRUE(session.OpenDatabase().ok());
  NullRunObserver observer;
  ConversionRun run(session, prompter, observer);
  const RunRequest request{.inputPath = work.U("input.csv"),
                           .outputPath = work.U("output.csv"),
                           .region = u"東京都",
                           .startRow = u"2",
                           .addressField = u"3"};
  const RunOutcome outcome = run.Execute(request);
  EXPECT_EQ(outcome.End(), RunEnd::Finished) << testing::PrintToString(prompter.Texts());
  EXPECT_EQ(outcome.records, 300);
  EXPECT_GE(outcome.processed - outcome.failed, 285) << outcome.failed << " failed";
}

}  // namespace
}  // namespace mok::batch
