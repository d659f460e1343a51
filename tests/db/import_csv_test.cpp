#include <gtest/gtest.h>

#include "db/import/csv_reader.h"
#include "import_test_support.h"

namespace mok::import_test {
namespace {

using db::CsvReader;
using db::TextEncoding;

struct SplitCase {
  std::u16string record;
  std::vector<std::u16string> fields;
  bool complete;
};

TEST(ImportCsv, SplitsRecordsWithQuotes) {
  const std::vector<SplitCase> cases = {
      {u"a,b,c", {u"a", u"b", u"c"}, true},
      {u"\"13101\",\"千代田区\",,35.68", {u"13101", u"千代田区", u"", u"35.68"}, true},
      {u"\"a,b\",c", {u"a,b", u"c"}, true},
      {u"\"say \"\"hi\"\"\",x", {u"say \"hi\"", u"x"}, true},
      {u"", {u""}, true},
      {u",", {u"", u""}, true},
      {u"a,\"open", {u"a", u"open"}, false},
      {u"\"\"", {u""}, true},
  };
  for (const auto& c : cases) {
    bool complete = !c.complete;
    const auto fields = db::SplitCsvRecord(c.record, &complete);
    EXPECT_EQ(fields, c.fields) << U8(c.record);
    EXPECT_EQ(complete, c.complete) << U8(c.record);
  }
}

TEST(ImportCsv, ReadsCp932WithQuotedLineBreaksAndCountsLines) {
  DataFolder folder;
  const auto file = folder.File("in.csv");
  WriteCp932Lines(file, {u"名前,住所", u"", u"\"東京,都\",\"一行目", u"二行目\"", u"ｶﾅ,～"});
  CsvReader reader(file, TextEncoding::Cp932);
  std::vector<std::u16string> fields;
  ASSERT_TRUE(reader.Next(fields));
  EXPECT_EQ(fields, (std::vector<std::u16string>{u"名前", u"住所"}));
  EXPECT_EQ(reader.LineNumber(), 1);
  ASSERT_TRUE(reader.Next(fields));  // the empty line 2 is skipped
  EXPECT_EQ(fields, (std::vector<std::u16string>{u"東京,都", u"一行目\n二行目"}));
  EXPECT_EQ(reader.LineNumber(), 3);
  ASSERT_TRUE(reader.Next(fields));
  EXPECT_EQ(fields, (std::vector<std::u16string>{u"ｶﾅ", u"～"}));
  EXPECT_EQ(reader.LineNumber(), 5);
  EXPECT_FALSE(reader.Next(fields));
}

TEST(ImportCsv, SkipsUtf8ByteOrderMark) {
  DataFolder folder;
  const auto file = folder.File("bom.csv");
  WriteBytes(file,
             "\xEF\xBB\xBF"
             "code,name\n13,東京\n");
  CsvReader reader(file, TextEncoding::Utf8);
  std::vector<std::u16string> fields;
  ASSERT_TRUE(reader.Next(fields));
  EXPECT_EQ(fields[0], u"code");
  ASSERT_TRUE(reader.Next(fields));
  EXPECT_EQ(fields[1], u"東京");
}

// A line that does not decode stops the reading with the file and line named; nothing of it is
// passed on silently.
TEST(ImportCsv, UndecodableLineIsNamedWithItsNumber) {
  struct Case {
    TextEncoding encoding;
    std::string badLine;
  };
  const std::vector<Case> cases = {
      {TextEncoding::Cp932, "\x81\x20,broken lead byte"},  // 0x81 needs a trail byte >= 0x40
      {TextEncoding::Cp932, "abc,\x82"},                   // lead byte at the end of the line
      {TextEncoding::Utf8, "abc,\xE6\x9D"},                // truncated UTF-8 sequence
      {TextEncoding::Utf8, "\xFF,x"},
  };
  for (const auto& c : cases) {
    DataFolder folder;
    const auto file = folder.File("bad.csv");
    WriteBytes(file, "a,b\r\nc,d\r\n" + c.badLine + "\r\ne,f\r\n");
    CsvReader reader(file, c.encoding);
    std::vector<std::u16string> fields;
    const std::u16string message = ImportFailure([&] {
      while (reader.Next(fields)) {
      }
    });
    EXPECT_NE(message.find(u"line 3"), std::u16string::npos) << U8(message);
    EXPECT_NE(message.find(u"bad.csv"), std::u16string::npos) << U8(message);
  }
}

TEST(ImportCsv, MissingFileIsReported) {
  DataFolder folder;
  const std::u16string message =
      ImportFailure([&] { CsvReader reader(folder.File("none.csv"), TextEncoding::Utf8); });
  EXPECT_NE(message.find(u"none.csv"), std::u16string::npos) << U8(message);
  EXPECT_NE(message.find(u"no such file"), std::u16string::npos) << U8(message);
}

TEST(ImportCsv, UnclosedQuoteAtEndOfFileIsReported) {
  DataFolder folder;
  const auto file = folder.File("open.csv");
  WriteBytes(file, "a,b\n\"never closed,x\n");
  CsvReader reader(file, TextEncoding::Utf8);
  std::vector<std::u16string> fields;
  ASSERT_TRUE(reader.Next(fields));
  const std::u16string message = ImportFailure([&] { reader.Next(fields); });
  EXPECT_NE(message.find(u"line 2"), std::u16string::npos) << U8(message);
}

}  // namespace
}  // namespace mok::import_test
