// Position lookup: prefectures by kanji and by katakana name, and the municipality candidates
// of the region database.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "db/address_database.h"
#include "db/test_database_builder.h"
#include "support/recording_prompter.h"
#include "text/text.h"

namespace mok::db {
namespace {

std::string U8(const std::u16string& s) {
  return text::ToUtf8(s);
}

constexpr char16_t kRegion[] = u"テスト";

class PositionLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::TestDatabaseBuilder::Exec(b_.Main(), "pragma synchronous = off");
    test::TestDatabaseBuilder::Exec(b_.Region(kRegion), "pragma synchronous = off");
    b_.AddPrefecture(u"北海", u"ﾎｯｶｲﾄﾞｳ", u"道");
    b_.AddPrefecture(u"千葉", u"ﾁﾊﾞ", u"県");
    b_.AddPrefecture(u"東京", u"ﾄｳｷｮｳ", u"都");
    b_.AddPrefecture(u"京都", u"ｷｮｳﾄ", u"府");
    b_.AddRegion(kRegion, 7);
    AddTown(u"北海道", u"札幌市中央区", u"北一条西");
    AddTown(u"北海道", u"札幌市中央区", u"南一条西");
    AddTown(u"千葉県", u"千葉市中央区", u"中央一丁目");
    AddTown(u"東京都", u"港区", u"六本木一丁目");
    AddTown(u"東京都", std::nullopt, u"無名");
    Open();
  }

  void AddTown(const test::OptText& prefecture, const test::OptText& city,
               const std::u16string& town) {
    b_.AddPosition(kRegion, {prefecture, city, town, u"T", ++id_, u"00000"});
  }

  void Open() {
    settings_.dbDir = b_.Dir();
    db_ = std::make_unique<AddressDatabase>(settings_, prompter_);
    ASSERT_TRUE(db_->OpenMainDatabase());
    ASSERT_TRUE(db_->LoadPrefectureNames());
    db_->StrSelectedRegion = kRegion;
    db_->IntRegionNumber = 7;
  }

  struct Found {
    bool ok;
    std::u16string prefecture, p1, p2;
    std::vector<std::string> cities;  // fld市区町村名 of the candidate rows
  };
  Found Find(const std::u16string& prefecture, const std::u16string& p1, const std::u16string& p2) {
    Found f{false, prefecture, p1, p2, {}};
    std::array<std::u16string, 3> parts{u"", p1, p2};
    f.ok = db_->FindCityCandidates(f.prefecture, parts, result_);
    f.p1 = parts[1];
    f.p2 = parts[2];
    for (const auto& row : db_->CandidateRows)
      f.cities.push_back(U8(row.city));
    return f;
  }

  test::TestDatabaseBuilder b_;
  Settings settings_;
  test::RecordingPrompter prompter_;
  std::unique_ptr<AddressDatabase> db_;
  engine::AddressResult result_;
  int64_t id_ = 0;
};

TEST_F(PositionLookupTest, PrefectureByName) {
  struct Case {
    std::u16string text;
    std::string name;
    int32_t next;
  };
  const Case cases[] = {
      {u"東京都港区", "東京都", 4},
      {u"京都府京都市", "京都府", 4},
      {u"北海道", "北海道", 4},
      // A text shorter than a name matches the first name that begins with it.
      {u"東", "東京都", 2},
      {u"港区六本木", "", 42},
      {u"", "", 42},  // an empty text leaves the position alone
  };
  for (const auto& c : cases) {
    int32_t next = 42;
    EXPECT_EQ(U8(db_->FindPrefectureName(c.text, next)), c.name) << U8(c.text);
    EXPECT_EQ(next, c.next) << U8(c.text);
  }
}

TEST_F(PositionLookupTest, PrefectureByKana) {
  struct Case {
    std::u16string text;
    std::string name;
    int32_t next;
  };
  const Case cases[] = {
      {u"ﾄｳｷｮｳﾄﾁﾖﾀﾞｸ", "東京都", 7},
      {u"ﾄｳｷｮｳﾁﾖﾀﾞｸ", "東京都", 6},  // the type's reading may be left out
      {u"ﾄｳｷｮｳﾄ", "東京都", 7},
      {u"ﾄｳｷｮｳ", "東京都", 6},
      {u"ﾎｯｶｲﾄﾞｳｻｯﾎﾟﾛｼ", "北海道", 8},  // 道 has no reading
      {u"ﾁﾊﾞｹﾝﾁﾊﾞｼ", "千葉県", 6},
      {u"ｷｮｳﾄﾌｷｮｳﾄｼ", "京都府", 6},
      {u"トウキョウトチヨダク", "東京都", 7},  // width is ignored
      {u"ﾄｳｷｮ", "", 42},
      {u"", "", 42},
  };
  for (const auto& c : cases) {
    int32_t next = 42;
    EXPECT_EQ(U8(db_->FindPrefectureByKana(c.text, next)), c.name) << U8(c.text);
    EXPECT_EQ(next, c.next) << U8(c.text);
  }
}

TEST_F(PositionLookupTest, OnePartMatchesTheEndOfStoredNames) {
  const Found f = Find(u"", u"中央区", u"");
  ASSERT_TRUE(f.ok);
  // Both cities are candidates; the first row decides prefecture and spelling.
  EXPECT_EQ(f.cities, (std::vector<std::string>{"札幌市中央区", "札幌市中央区", "千葉市中央区"}));
  EXPECT_EQ(U8(f.prefecture), "北海道");
  EXPECT_EQ(U8(f.p1), "札幌市中央区");
  EXPECT_EQ(U8(f.p2), "");
  EXPECT_TRUE(db_->CandidateRowsOpen);
}

TEST_F(PositionLookupTest, NamedPrefectureKeepsOtherPrefecturesOut) {
  const Found f = Find(u"千葉県", u"中央区", u"");
  ASSERT_TRUE(f.ok);
  EXPECT_EQ(f.cities, (std::vector<std::string>{"千葉市中央区"}));
  EXPECT_EQ(U8(f.prefecture), "千葉県");
  EXPECT_EQ(U8(f.p1), "千葉市中央区");
  EXPECT_FALSE(Find(u"京都府", u"港区", u"").ok);
}

TEST_F(PositionLookupTest, TwoPartsMatchEitherOrBothJoined) {
  const Found joined = Find(u"", u"札幌市", u"中央区");
  ASSERT_TRUE(joined.ok);
  EXPECT_EQ(U8(joined.p1), "札幌市");
  EXPECT_EQ(U8(joined.p2), "中央区");
  EXPECT_EQ(joined.cities.size(), 2u);
  // The stored name is the second part alone: the first part is dropped.
  const Found second = Find(u"", u"大阪市", u"港区");
  ASSERT_TRUE(second.ok);
  EXPECT_EQ(U8(second.p1), "");
  EXPECT_EQ(U8(second.p2), "港区");
  // Two parts never match the end of a name.
  EXPECT_FALSE(Find(u"", u"市", u"中央区").ok);
}

TEST_F(PositionLookupTest, NothingFitsAndNothingIsShown) {
  for (const std::u16string p1 : {u"渋谷区", u"央区'", u"港'区", u"北中央区"}) {
    EXPECT_FALSE(Find(u"", p1, u"").ok) << U8(p1);
    EXPECT_TRUE(db_->CandidateRows.empty());
    EXPECT_FALSE(db_->CandidateRowsOpen);
  }
  EXPECT_TRUE(prompter_.records.empty()) << ::testing::PrintToString(prompter_.Texts());
}

TEST_F(PositionLookupTest, LearnedCityWordsAreTriedWhenNothingFits) {
  b_.AddLearned(0, 2, u"さっぽろ市", u"札幌市");
  b_.AddLearned(7, 2, u"ちゅうおう", u"千葉市中央区北");
  b_.AddLearned(0, 3, u"みなと区", u"港区");  // a town word is not used for cities
  const Found f = Find(u"", u"さっぽろ市中央区", u"");
  ASSERT_TRUE(f.ok);
  EXPECT_EQ(U8(f.p1), "札幌市中央区");
  ASSERT_EQ(result_.LogCount, 1);
  EXPECT_EQ(U8(result_.LogEntries[1]), "さっぽろ市中央区 → 札幌市");
  // After a learned word a stored name anywhere inside the part fits, and the part keeps a value
  // only if it occurs inside the stored name.
  const Found inside = Find(u"", u"ちゅうおう区", u"");
  ASSERT_TRUE(inside.ok);
  EXPECT_EQ(inside.cities, (std::vector<std::string>{"千葉市中央区"}));
  EXPECT_EQ(U8(inside.p1), "");
  EXPECT_FALSE(Find(u"", u"みなと区", u"").ok);
}

TEST_F(PositionLookupTest, RowsAddedToTheRegionFileAreSeen) {
  EXPECT_FALSE(Find(u"", u"渋谷区", u"").ok);
  AddTown(u"東京都", u"渋谷区", u"鉢山町");
  const Found f = Find(u"", u"渋谷区", u"");
  EXPECT_TRUE(f.ok);
  EXPECT_EQ(f.cities, (std::vector<std::string>{"渋谷区"}));
}

TEST_F(PositionLookupTest, RowsAddedInWriteAheadLogModeAreSeen) {
  test::TestDatabaseBuilder::Exec(b_.Region(kRegion), "pragma journal_mode = wal");
  Open();
  EXPECT_FALSE(Find(u"", u"渋谷区", u"").ok);
  AddTown(u"東京都", u"渋谷区", u"鉢山町");
  EXPECT_TRUE(Find(u"", u"渋谷区", u"").ok);
}

TEST_F(PositionLookupTest, AFileReplacedWhileClosedIsReadAgain) {
  // Two region files written by the same steps hold the same change counter; only the reopening
  // of the database can tell that the second one is new.
  test::TestDatabaseBuilder other;
  auto build = [](test::TestDatabaseBuilder& b, const std::u16string& city) {
    b.Region(u"R");
    for (int id = 1; id <= 3; ++id)
      b.AddPosition(u"R",
                    {u"東京都", city, u"町" + text::FromUtf8(std::to_string(id)), u"T", id, u"0"});
    b.CloseAll();
  };
  build(b_, u"港区");
  build(other, u"渋谷区");
  auto header = [](const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes(28, '\0');
    in.read(bytes.data(), 28);
    return bytes.substr(24, 4);
  };
  const auto target = b_.folder().File(u"R.sqlite");
  ASSERT_EQ(header(target), header(other.folder().File(u"R.sqlite")));
  db_->StrSelectedRegion = u"R";
  ASSERT_TRUE(Find(u"", u"港区", u"").ok);
  db_->CloseRegionDatabase();
  std::filesystem::copy_file(other.folder().File(u"R.sqlite"), target,
                             std::filesystem::copy_options::overwrite_existing);
  EXPECT_TRUE(Find(u"", u"渋谷区", u"").ok);
  EXPECT_FALSE(Find(u"", u"港区", u"").ok);
}

TEST_F(PositionLookupTest, ANewCityStepReplacesTheCandidates) {
  ASSERT_TRUE(Find(u"", u"中央区", u"").ok);
  const Found f = Find(u"", u"港区", u"");
  ASSERT_TRUE(f.ok);
  EXPECT_EQ(f.cities, (std::vector<std::string>{"港区"}));
}

TEST_F(PositionLookupTest, DatabaseFailureIsShownAndFails) {
  test::TestDatabaseBuilder::Exec(b_.Region(kRegion), "drop table POSITION");
  Open();
  EXPECT_FALSE(Find(u"", u"港区", u"").ok);
  ASSERT_EQ(prompter_.records.size(), 1u);
  const std::string text = prompter_.records[0].Utf8();
  EXPECT_NE(text.find("POSITION"), std::string::npos) << text;
  EXPECT_EQ(text.substr(text.size() - 3), ")\r\n") << text;
  EXPECT_FALSE(db_->CandidateRowsOpen);
}

TEST_F(PositionLookupTest, NoRegionDatabaseNoCandidates) {
  db_->StrSelectedRegion = u"";
  EXPECT_FALSE(Find(u"", u"港区", u"").ok);
  EXPECT_TRUE(prompter_.records.empty());
}

}  // namespace
}  // namespace mok::db
