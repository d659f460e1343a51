// What the golden runs cannot show in one place: where the error list goes for every form of the
// output path, a text that has no CP932 form, and the field-count rule by which the
// unprocessed-only run and the unconverted lists tell converted lines from unconverted ones.
#include "batch/output_writer.h"

#include <gtest/gtest.h>

#include "batch/field_count_rule.h"
#include "batch_test_util.h"

namespace mok::batch {
namespace {

using test::Show;

TEST(ErrorListPath, ExtensionOfTheFileNameIsReplaced) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"/data/result.csv", u"/data/result.err"},
      {u"result.csv", u"result.err"},
      {u"/data/out", u"/data/out.err"},
      {u"/data/a.b.csv", u"/data/a.b.err"},
      // A dot in a folder name is not an extension: the list stays beside the output instead of
      // landing in (and replacing a file of) the parent folder.
      {u"/data.old/out", u"/data.old/out.err"},
  };
  for (const auto& [output, errorList] : cases)
    EXPECT_EQ(Show(ErrorListPath(output)), Show(errorList)) << Show(output);
}

// Never written as "?": the line is refused, named by its number, and nothing of it is written.
TEST(LineWriter, TextWithoutCp932FormIsRefused) {
  test::TempDir dir;
  LineWriter out;
  ASSERT_TRUE(out.Open(dir.File("out.csv")));
  EXPECT_TRUE(out.WriteLine(u"ok"));
  EXPECT_FALSE(out.WriteLine(u"𠮷野家"));
  EXPECT_NE(Show(out.Failure()).find("2行目"), std::string::npos) << Show(out.Failure());
  out.Close();
  EXPECT_EQ(test::ReadBytes(dir / "out.csv"), "ok\r\n");
}

TEST(FieldCountRule, ConvertedBeforeAndListed) {
  struct Case {
    std::u16string input, output;
    bool convertedBefore = false, listed = false, listedWithLog = false;
  };
  const Case cases[] = {
      {.input = u"1,a,b", .output = u"1,a,b,x,y", .convertedBefore = true},
      {.input = u"1,a,b", .output = u"1,a,b", .listed = true, .listedWithLog = true},
      {.input = u"1,a,b", .output = u"", .listed = true, .listedWithLog = true},
      // An empty address converts to the source and one comma: listed only with the log on.
      {.input = u"1,,b", .output = u"1,,b,", .convertedBefore = true, .listedWithLog = true},
      {.input = u"", .output = u",", .convertedBefore = true},
      {.input = u"", .output = u"", .listed = true, .listedWithLog = true},
      {.input = u"1,a,b", .output = u"x", .convertedBefore = true},  // fields only, fewer
  };
  for (const auto& c : cases) {
    const auto name = Show(c.input) + " / " + Show(c.output);
    EXPECT_EQ(WasConvertedBefore(c.input, c.output, u","), c.convertedBefore) << name;
    EXPECT_EQ(IsListedAsUnconverted(c.input, c.output, u",", false), c.listed) << name;
    EXPECT_EQ(IsListedAsUnconverted(c.input, c.output, u",", true), c.listedWithLog) << name;
  }
  // The rule splits at the DELIMITER setting.
  EXPECT_TRUE(WasConvertedBefore(u"1\ta", u"1\ta\tx", u"\t"));
  EXPECT_FALSE(WasConvertedBefore(u"1\ta", u"1\ta,x", u"\t"));
}

}  // namespace
}  // namespace mok::batch
