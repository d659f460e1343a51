// Known addresses against the Tokyo sample database (built by the sample-db target from the
// bundled open data), through the recognizer and through the command-line tool. The share of
// the sample input that converts is the batch's SampleRun test.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "support/engine_database.h"

namespace mok::engine {
namespace {

using test::U8;

TEST(SampleDatabase, KnownAddresses) {
  db::AddressDatabase database;
  ASSERT_TRUE(database.Open(text::FromUtf8(MOK_SAMPLE_DB)).ok()) << "build the sample-db target";
  ASSERT_TRUE(database.ReloadRegionList().ok());
  ASSERT_TRUE(database.SelectRegion(u"東京都").ok());
  Settings settings;
  settings.prefOut = settings.cityOut = true;
  settings.townCombine = false;
  Recognizer recognizer(settings, database);
  const std::pair<std::u16string, std::string> cases[] = {
      {u"東京都千代田区丸の内1-1-1", "0 東京都,千代田区,丸の内一丁目,,13101,"},
      {u"ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-1-1", "0 東京都,千代田区,丸の内一丁目,,13101,"},
      // The region is named like its prefecture: kana addresses may leave the prefecture out.
      {u"ﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-1-1", "0 東京都,千代田区,丸の内一丁目,,13101,"},
      {u"東京都武蔵村山市中央３－２７－３", "0 東京都,武蔵村山市,中央三丁目,,13223,"},
      // Stored as 大字石畑: the 大字 form is tried after the written one.
      {u"東京都西多摩郡瑞穂町石畑1", "0 東京都,西多摩郡瑞穂町,大字石畑,,13303,"},
      {u"中央区銀座1丁目2", "0 東京都,中央区,銀座一丁目,,13102,"},
      // Tokyo has a 中央区 with a 銀座 too, but the address names another prefecture.
      {u"大阪府大阪市中央区銀座1丁目2", "2 "},
      {u"東京都渋谷区はち山町1-1", "3 "},
      {u"", "4 "}};
  for (const auto& [address, expected] : cases) {
    const Recognition r = recognizer.RecognizeAddress(address);
    const std::string shown = std::to_string(CodeNumber(r.code)) + " " + U8(r.outputFields);
    EXPECT_EQ(shown.substr(0, expected.size()), expected) << U8(address);
    EXPECT_TRUE(r.errors.empty()) << U8(address);
  }
}

TEST(SampleDatabase, CommandLineTool) {
  // Addresses as arguments and, in CP932, one a line on standard input, where a line that is
  // not CP932 is a failure.
  test::TempFolder folder;
  const std::string input = folder.File(u"in.txt").string();
  std::FILE* file = std::fopen(input.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs(text::EncodeCp932(u"ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-1-1\r\n大阪府梅田\r\n")->c_str(), file);
  std::fputs("\x81\r\n", file);
  std::fclose(file);
  const std::string command = std::string(MOK2_EXE) +
                              " recognize --db-dir '" MOK_SAMPLE_DB
                              "' --region 東京都 '東京都千代田区丸の内1-1-1' '' '東京都港区1-2-3'"
                              " && " MOK2_EXE " recognize --db-dir '" MOK_SAMPLE_DB
                              "' --encoding cp932 --json < '" +
                              input + "' 2>/dev/null";
  std::FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out(8192, '\0');
  out.resize(std::fread(out.data(), 1, out.size(), pipe));
  pclose(pipe);
  EXPECT_EQ(out.substr(0, out.find("{")),
            "0\t丸の内一丁目,13101,9,-35327.297,-5986.016,35.68156,139.767201\n4\t\n3\t\n");
  for (const char* part :
       {"{\"code\":0,", "\"townName\":\"丸の内一丁目\"", "\"chomeInOaza\":true",
        "\"townParts\":[\"１\",\"\",\"１\",\"\"", "\n{\"code\":2,", "\n{\"code\":-1,"})
    EXPECT_NE(out.find(part), std::string::npos) << part << " in " << out;
}

}  // namespace
}  // namespace mok::engine
