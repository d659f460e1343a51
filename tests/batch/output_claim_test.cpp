// Which file at the output's path is the input's earlier output, so that a run replaces nothing
// else without asking (issue 21), and the name a new input's output gets.
#include "batch/output_claim.h"

#include <gtest/gtest.h>

#include "batch_test_util.h"

namespace mok::batch {
namespace {

TEST(OutputClaim, TheInputsOwnOutputIsRecognisedByItsRecords) {
  struct Case {
    const char* what;
    std::optional<std::string> output;  // nullopt: no file
    OutputClaim claim;
  };
  const Case cases[] = {
      {"no file", std::nullopt, OutputClaim::Free},
      {"an empty file", "", OutputClaim::Free},
      {"converted and unconverted records", "h\r\n1,\"a,b\",f1,f2\r\n2,c\r\n",
       OutputClaim::OfThisInput},
      {"a run stopped after its first record", "h\r\n1,\"a,b\",f1\r\n", OutputClaim::OfThisInput},
      {"a run stopped before its first record", "ID,住所,大字\r\n", OutputClaim::OfThisInput},
      {"another list's header alone", "No,氏名,大字\r\n", OutputClaim::Other},
      {"a record that only begins like the input's", "h\r\n1,\"a,b\"x,f1\r\n", OutputClaim::Other},
      {"another list", "h\r\n9,z\r\n", OutputClaim::Other},
      {"records without their source (SRCOUT 0)", "h\r\n\r\n\r\n", OutputClaim::Other},
  };
  test::TempDir dir;
  test::WriteBytes(dir / "in.csv", test::Sjis("ID,住所\r\n1,\"a,b\"\r\n2,c\r\n"));
  const InputSource input = DescribeInput(dir.File("in.csv"), 2, {1});
  for (const Case& c : cases) {
    std::filesystem::remove(dir / "out.csv");
    if (c.output)
      test::WriteBytes(dir / "out.csv", test::Sjis(*c.output));
    EXPECT_EQ(ClaimOfOutput(dir.File("out.csv"), input, 1), c.claim) << c.what;
  }
}

TEST(OutputClaim, ANewInputsOutputIsNamedAfterIt) {
  Settings settings;
  EXPECT_EQ(DefaultOutputPath(u"/data/顧客.v2.csv", settings), u"/data/顧客.v2_結果.csv");
  EXPECT_EQ(DefaultOutputPath(u"/data.old/list", settings), u"/data.old/list_結果.csv");
  settings.csvOut = false;  // the Excel form
  EXPECT_EQ(DefaultOutputPath(u"list.csv", settings), u"list_結果.xlsx");
  EXPECT_TRUE(IsWorkbookOutput(u"/a/B.XLSX"));
  EXPECT_FALSE(IsWorkbookOutput(u"/a/b.xlsx.csv"));
}

}  // namespace
}  // namespace mok::batch
