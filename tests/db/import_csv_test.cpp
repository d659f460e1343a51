// The reader of the data sources' CSV files: quoting, and a record left open. Lines that do not
// decode are named by the importers' tests.
#include "db/import/csv_reader.h"

#include "import_test_support.h"

namespace mok::import_test {
namespace {

// RFC 4180 quoting; a record that ends inside quotes is not complete (it goes on on the next line).
TEST(ImportCsv, SplitsRecordsWithQuotes) {
  const std::pair<std::u16string, std::vector<std::u16string>> cases[] = {
      {u"\"13101\",\"千代田区\",,35.68", {u"13101", u"千代田区", u"", u"35.68"}},
      {u"\"a,b\",\"say \"\"hi\"\"\"", {u"a,b", u"say \"hi\""}},
      {u",", {u"", u""}},
      {u"12\"3,4", {u"12\"3", u"4"}},
  };
  for (const auto& [record, fields] : cases)
    EXPECT_EQ(db::SplitCsvRecord(record), fields) << text::ToUtf8(record);
  bool complete = true;
  EXPECT_EQ(db::SplitCsvRecord(u"a,\"open", &complete),
            (std::vector<std::u16string>{u"a", u"open"}));
  EXPECT_FALSE(complete);
}

// A quote left open at the end of the file stops the reading with the record's line named.
TEST(ImportCsv, UnclosedQuoteIsNamedWithItsLine) {
  TempFolder folder;
  WriteBytes(folder.path() / "bad.csv", "a,b\r\n\"never closed,x\r\nc\r\n");
  db::CsvReader reader(folder.path() / "bad.csv", db::TextEncoding::Utf8);
  std::vector<std::u16string> fields;
  EXPECT_TRUE(reader.Next(fields));
  EXPECT_THAT(ImportFailure([&] { reader.Next(fields); }),
              HasSubstr("bad.csv line 2: a quoted field is not closed"));
}

}  // namespace
}  // namespace mok::import_test
