// The recognition of the bundled sample addresses against the Tokyo sample database (built by
// the sample-db target), and the command-line tool over the same database.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "db/address_database.h"
#include "db/test_database_builder.h"
#include "engine/recognition/recognizer.h"
#include "support/recording_prompter.h"
#include "text/text.h"

namespace mok::engine {
namespace {

namespace fs = std::filesystem;

std::string U8(const std::u16string& s) {
  return text::ToUtf8(s);
}

// The addresses (third field) of the sample input, after its header line.
std::vector<std::u16string> SampleAddresses() {
  std::ifstream in(std::string(MOK_DATA_DIR) + "/sample-input.csv", std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  auto decoded = text::DecodeCp932(buffer.str());
  EXPECT_TRUE(decoded.has_value());
  std::vector<std::u16string> addresses;
  std::u16string_view all = decoded ? std::u16string_view(*decoded) : std::u16string_view();
  bool header = true;
  while (!all.empty()) {
    std::size_t end = all.find(u'\n');
    std::u16string_view line = all.substr(0, end);
    all = end == std::u16string_view::npos ? std::u16string_view() : all.substr(end + 1);
    if (!line.empty() && line.back() == u'\r')
      line.remove_suffix(1);
    if (header) {
      header = false;
      continue;
    }
    // The sample's fields hold no commas, so a plain split finds the third field.
    std::size_t first = line.find(u',');
    std::size_t second = first == std::u16string_view::npos ? first : line.find(u',', first + 1);
    std::size_t third = second == std::u16string_view::npos ? second : line.find(u',', second + 1);
    if (second == std::u16string_view::npos)
      continue;
    addresses.emplace_back(line.substr(second + 1, third == std::u16string_view::npos
                                                       ? std::u16string_view::npos
                                                       : third - second - 1));
  }
  return addresses;
}

// A copy of the sample database in a folder of its own, so that registering words changes
// nothing that other tests read.
class SampleDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path source(MOK_SAMPLE_DB);
    if (!fs::exists(source / "mok2.sqlite"))
      GTEST_SKIP() << "sample database missing: build the sample-db target";
    for (const auto& entry : fs::directory_iterator(source)) {
      // A database in write-ahead-log mode still in use by a program (mok2conv on the sample)
      // keeps its latest changes in the -wal file next to it: the copy takes that file too.
      if (const auto ext = entry.path().extension(); ext == ".sqlite" || ext == ".sqlite-wal")
        fs::copy_file(entry.path(), folder_.path() / entry.path().filename());
    }
    settings_.dbDir = folder_.Text();
    database_ = std::make_unique<db::AddressDatabase>(settings_, prompter_);
    ASSERT_TRUE(database_->OpenMainDatabase());
    ASSERT_TRUE(database_->LoadPrefectureNames());
    auto number = database_->RegionNumber(u"東京都");
    ASSERT_TRUE(number.has_value());
    database_->StrSelectedRegion = u"東京都";
    database_->IntRegionNumber = *number;
    recognizer_ = std::make_unique<Recognizer>(settings_, *database_);
  }

  test::TempFolder folder_;
  Settings settings_;
  test::RecordingPrompter prompter_;
  std::unique_ptr<db::AddressDatabase> database_;
  std::unique_ptr<Recognizer> recognizer_;
};

TEST_F(SampleDatabaseTest, FirstThreeHundredSampleAddressesConvert) {
  const std::vector<std::u16string> addresses = SampleAddresses();
  ASSERT_GE(addresses.size(), 300u);
  int converted = 0;
  std::string failures;
  for (std::size_t i = 0; i < 300; ++i) {
    std::u16string out;
    const int16_t code = recognizer_->RecognizeAddress(addresses[i], out);
    if (code == kConverted) {
      ++converted;
      EXPECT_FALSE(out.empty()) << U8(addresses[i]);
    } else {
      failures += std::to_string(code) + " " + U8(addresses[i]) + "\n";
    }
  }
  EXPECT_GE(converted, 285) << failures;
  EXPECT_TRUE(prompter_.records.empty()) << ::testing::PrintToString(prompter_.Texts());
}

TEST_F(SampleDatabaseTest, KnownAddresses) {
  settings_.prefOut = true;
  settings_.cityOut = true;
  settings_.townCombine = false;
  struct Case {
    std::u16string address;
    int16_t code;
    std::string start;  // the beginning of the output fields
  };
  const Case cases[] = {
      {u"東京都千代田区丸の内1-1-1", kConverted, "東京都,千代田区,丸の内一丁目,,13101,"},
      {u"ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-1-1", kConverted, "東京都,千代田区,丸の内一丁目,,13101,"},
      {u"東京都武蔵村山市中央３－２７－３", kConverted, "東京都,武蔵村山市,中央三丁目,,13223,"},
      // Stored as 大字石畑: the 大字 form is tried after the written one.
      {u"東京都西多摩郡瑞穂町石畑1", kConverted, "東京都,西多摩郡瑞穂町,大字石畑,,13303,"},
      {u"", kEmptyAddress, ""},
      {u"大阪府大阪市北区梅田1-1-1", kNoCity, ""},
      // Tokyo has a 中央区 with a 銀座 too, but the address names another prefecture.
      {u"大阪府大阪市中央区銀座1丁目2", kNoCity, ""},
      {u"中央区銀座1丁目2", kConverted, "東京都,中央区,銀座一丁目,,13102,"},
      {u"東京都渋谷区はち山町1-1", kNoTown, ""},
  };
  for (const auto& c : cases) {
    std::u16string out;
    EXPECT_EQ(recognizer_->RecognizeAddress(c.address, out), c.code) << U8(c.address);
    EXPECT_EQ(U8(out).substr(0, c.start.size()), c.start) << U8(c.address);
  }
}

TEST_F(SampleDatabaseTest, LocalWordRepairsATownName) {
  std::u16string out;
  ASSERT_EQ(recognizer_->RecognizeAddress(u"東京都渋谷区はち山町1-1", out), kNoTown);
  ASSERT_TRUE(database_->RegisterLearnedWord(database_->IntRegionNumber, 3, u"はち山", u"鉢山"));
  settings_.logOut = true;
  ASSERT_EQ(recognizer_->RecognizeAddress(u"東京都渋谷区はち山町1-1", out), kConverted);
  EXPECT_EQ(U8(recognizer_->Result().TownName), "鉢山町");
  const std::string fields = U8(out);
  EXPECT_NE(fields.find(",［変換ログ］はち山町 → 鉢山"), std::string::npos) << fields;
}

// Runs the command-line tool and returns what it printed.
std::string RunTool(const std::string& arguments) {
  const std::string command = std::string(MOK2_EXE) + " recognize " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr)
    return "";
  std::string out;
  std::array<char, 4096> buffer{};
  std::size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    out.append(buffer.data(), n);
  pclose(pipe);
  return out;
}

TEST_F(SampleDatabaseTest, CommandLineTool) {
  const std::string dir = " --db-dir '" + U8(folder_.Text()) + "' --region 東京都 ";
  EXPECT_EQ(RunTool(dir + "'東京都千代田区丸の内1-1-1' '' '東京都港区1-2-3'"),
            "0\t丸の内一丁目,13101,9,-35327.297,-5986.016,35.68156,139.767201\n4\t\n3\t\n");
  // The region's prefecture gives the reading for kana addresses that leave it out.
  EXPECT_EQ(RunTool(dir + "'ﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-1-1'").substr(0, 2), "0\t");
  // Standard input in CP932, one address a line.
  const fs::path input = folder_.path() / "in.txt";
  {
    std::ofstream f(input, std::ios::binary);
    f << *text::EncodeCp932(u"ﾄｳｷｮｳﾄﾁﾖﾀﾞｸﾏﾙﾉｳﾁ1-1-1\r\n大阪府大阪市北区梅田1-1-1\r\n");
    f << "\x81\r\n";  // a line that is not CP932: a failure, not an empty (converted) address
  }
  const std::string lines = RunTool(dir + "--encoding cp932 < '" + input.string() + "'");
  EXPECT_EQ(lines.substr(0, 2), "0\t");
  EXPECT_NE(lines.find("\n2\t\n-1\t\n"), std::string::npos) << lines;
  const std::string json = RunTool(dir + "--json '東京都千代田区丸の内1丁目2番3号\"ビル'");
  EXPECT_NE(json.find("\"code\":0"), std::string::npos) << json;
  EXPECT_NE(json.find("\"townName\":\"丸の内一丁目\""), std::string::npos) << json;
  // The block number is the one of the row taken, which the town-level data leaves empty.
  EXPECT_NE(json.find("\"townParts\":[\"１\",\"\",\"３\",\"\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"remainder\":\"号ビル\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"chomeInOaza\":true"), std::string::npos) << json;
}

}  // namespace
}  // namespace mok::engine
