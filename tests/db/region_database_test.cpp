// The region database as the recognition asks it: municipalities and town rows (read again when
// the file changes), a town's POSITION row and its block rows by number, postal names, failures
// naming the file, and no lock left on the file between two questions.
#include <gtest/gtest.h>

#include <filesystem>

#include "db/address_database.h"
#include "db/residence_key.h"
#include "db/schema.h"
#include "support/test_database_builder.h"

namespace mok::db {
namespace {

using test::U8;
std::string Shown(const DbError& e) {
  return U8(e.Text() + u" in " + e.file);
}

constexpr char16_t kRegion[] = u"テスト";

class RegionDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    b.AddRegion(kRegion, 5);
    AddTown(u"千代田区", u"丸の内一丁目", {u"3", u"12-1", u"A1"});
    AddTown(u"千代田区", u"丸の内一丁目", {u"9"});  // a later duplicate row
    AddTown(u"千代田区", u"O'町", {std::nullopt});
    b.AddPost(kRegion, {u"0600001", u"札幌市中央区", u"北一条西", u"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", u"ｷﾀ1ｼﾞｮｳﾆｼ"});
    b.AddPost(kRegion, {u"0600002", u"札幌市中央区", u"北二条西", u"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", u"ｷﾀ2ｼﾞｮｳﾆｼ"});
    b.AddPost(kRegion, {u"0400001", u"函館市", u"O'町", u"ﾊｺﾀﾞﾃｼ", u"O'ﾁｮｳ"});
    b.AddPost(kRegion, {u"0400003", u"函館市", u"Null町", u"ﾊｺﾀﾞﾃｼ", std::nullopt});
    ASSERT_TRUE(db.Open(b.Dir()).ok());
    ASSERT_TRUE(db.SelectRegion(kRegion).ok());
  }
  // A POSITION row (code C + its id) with block rows in the table B.
  void AddTown(const std::u16string& city, const std::u16string& town,
               const std::vector<test::OptText>& blocks) {
    const std::u16string code = u"C" + text::FromUtf8(std::to_string(++id));
    b.AddPosition(kRegion, {u"東京都", city, town, u"B", id, code});
    for (const auto& n : blocks)
      b.AddBlock(kRegion, u"B", {id, n, u"9", u"X", u"Y", u"", u""});
  }
  // Whether another program can write the region file at once.
  bool Writable() {
    auto other = Connection::Open(path);
    return other.ok() && other->Execute("pragma busy_timeout = 0").ok() &&
           other->Execute("insert into POST (fld郵便番号) values ('w')").ok();
  }
  // The town's code and the number of its block row `number` (the first row without one): "-"
  // for Null, "none" for no row; or the failure.
  std::string Block(const std::u16string& town, std::optional<std::u16string_view> number) {
    auto position = db.FindTownPosition(u"東京都", u"千代田区", town);
    if (!position.ok())
      return Shown(position.error());
    auto row = db.FindBlock(**position, number);
    if (!row.ok())
      return Shown(row.error());
    return U8((*position)->cityCode) + " " +
           (!*row            ? "none"
            : (*row)->number ? U8(*(*row)->number)
                             : "-");
  }

  // Residence 1-2 of 丸の内一丁目 (town 1) with X "X12", the registry tables made when missing.
  void AddResidence12() {
    Connection& file = b.Region(kRegion);
    ASSERT_TRUE(CreateRegionSchema(file).ok());
    const std::string key = std::to_string(*ResidenceKey(1, u"1", u"2"));
    test::TestDatabaseBuilder::Exec(file, "insert into 住居 values (" + key +
                                              ", 1, '1', '2', null);"
                                              "insert into 住居位置 values (" +
                                              key + ", '9|X12|Y12||')");
  }
  // The X of residence 1-2 of 丸の内一丁目, "none" when there is none; or the failure.
  std::string Residence12() {
    db.BeginAddress();
    auto town = db.FindTownPosition(u"東京都", u"千代田区", u"丸の内一丁目");
    auto found = db.FindResidence(**town, u"1", u"2", std::nullopt);
    return !found.ok() ? Shown(found.error()) : *found ? U8((*found)->x) : "none";
  }

  test::TestDatabaseBuilder b;
  AddressDatabase db;
  int64_t id = 0;
  std::u16string path = RegionDatabasePath(b.Dir(), kRegion);
};

TEST_F(RegionDatabaseTest, TownPositionAndBlockRows) {
  EXPECT_EQ(Block(u"丸の内一丁目", std::nullopt), "C1 3");  // the first POSITION row, first block
  EXPECT_EQ(Block(u"丸の内一丁目", u"a1"), "C1 A1");        // ASCII letter case ignored
  EXPECT_EQ(Block(u"丸の内一丁目", u"１２－1"), "C1 12-1");
  EXPECT_EQ(Block(u"丸の内一丁目", u"5"), "C1 none");
  EXPECT_FALSE(db.FindTownPosition(u"東京都", u"千代田区", u"不明町")->has_value());
  EXPECT_EQ(Block(u"O'町", std::nullopt), "C3 -");
  // A block table that does not exist and a Null where a value must be are failures.
  b.AddPosition(kRegion, {u"東京都", u"千代田区", u"幻町", u"NoSuchTable", 8, u"C8"});
  b.AddPosition(kRegion, {u"東京都", u"千代田区", u"欠町", u"B1", 9, std::nullopt});
  EXPECT_EQ(Block(u"幻町", std::nullopt), "no such table: NoSuchTable(1) in " + U8(path));
  EXPECT_EQ(Block(u"欠町", std::nullopt),
            "Invalid use of Null (POSITION.fld市区町村コード)(94) in " + U8(path));
  EXPECT_TRUE(Writable());
}

// One block row by its number, or the nearest by the rule of the recognition's block choice: 6
// and 4 tie (the earlier row), numbered rows before a Null or other text, those ordered as read
// as integers, a Null one first. The number is compared as the registry numbers are written.
TEST_F(RegionDatabaseTest, BlockByExactOrNearestNumber) {
  const std::pair<std::vector<test::OptText>, std::vector<std::pair<int64_t, const char*>>>
      cases[] = {{{u"3", u"8"}, {{5, "3"}, {7, "8"}}},
                 {{u"12", u"6", u"4", u"100"}, {{5, "6"}, {99, "100"}, {0, "4"}}},
                 {{std::nullopt, u"7", u"12"}, {{5, "7"}}},
                 {{std::nullopt}, {{5, "-"}}},
                 {{u"12-1", u"甲", u"20"}, {{13, "20"}}},
                 {{u"甲", u"12-1"}, {{13, "12-1"}}},
                 {{u"12-1", std::nullopt}, {{13, "-"}}}};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::u16string name = u"町" + text::FromUtf8(std::to_string(i));
    AddTown(u"港区", name, cases[i].first);
    auto town = db.FindTownPosition(u"東京都", u"港区", name);
    ASSERT_TRUE(town.ok() && *town);
    for (const auto& [asked, chosen] : cases[i].second) {
      auto found = db.FindNearestBlock(**town, asked);
      ASSERT_TRUE(found.ok() && *found) << i;
      EXPECT_EQ((*found)->number ? U8(*(*found)->number) : "-", chosen) << i << " " << asked;
    }
  }
  auto town = db.FindTownPosition(u"東京都", u"千代田区", u"丸の内一丁目");
  auto exact = db.FindBlock(**town, u"０３");
  EXPECT_TRUE(exact.ok() && *exact && *(*exact)->number == u"3" && !(*exact)->derived);
  EXPECT_FALSE(*db.FindBlock(**town, u"5"));
  EXPECT_TRUE(Writable());
}

TEST_F(RegionDatabaseTest, PostalNamesByPrefixOrWholeReading) {
  auto postal = [&](const std::u16string& city, const std::u16string& place) {
    auto found = db.FindPostalNames(city, place);
    return !found.ok() ? Shown(found.error())
           : *found    ? U8((*found)->code + u" " + (*found)->city + u" " + (*found)->place)
                       : "";
  };
  EXPECT_EQ(postal(u"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", u"ｷﾀ"), "0600001 札幌市中央区 北一条西");  // the first
  EXPECT_EQ(postal(u"ｻｯﾎﾟﾛｼ", u"ｷﾀ2"), "0600002 札幌市中央区 北二条西");
  EXPECT_EQ(postal(u"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ", u"ﾐﾅﾐ"), "");
  // Without a place text the joined readings must equal the city text; ASCII letter case is
  // ignored; a Null place reading joins to nothing.
  EXPECT_EQ(postal(u"ﾊｺﾀﾞﾃｼo'ﾁｮｳ", u""), "0400001 函館市 O'町");
  EXPECT_EQ(postal(u"ﾊｺﾀﾞﾃｼo'", u""), "");
  EXPECT_EQ(postal(u"ﾊｺﾀﾞﾃｼ", u""), "");
  EXPECT_TRUE(Writable());
  test::TestDatabaseBuilder::Exec(b.Region(kRegion), "drop table POST");
  EXPECT_EQ(postal(u"ﾊｺﾀﾞﾃｼ", u""), "no such table: POST(1) in " + U8(path));
}

TEST_F(RegionDatabaseTest, MunicipalitiesAreReadAgainWhenTheFileChanged) {
  for (bool wal : {false, true}) {
    if (wal) {
      test::TestDatabaseBuilder::Exec(b.Region(kRegion), "pragma journal_mode = wal");
      ASSERT_TRUE(db.SelectRegion(kRegion).ok());
    }
    const std::u16string city = wal ? u"北区" : u"渋谷区";
    db.BeginAddress();
    const std::size_t before = (*db.Municipalities())->size();
    AddTown(city, u"町", {});
    // Within one address the names read are kept; the next address sees the change.
    EXPECT_EQ((*db.Municipalities())->size(), before) << wal;
    db.BeginAddress();
    auto names = db.Municipalities();
    ASSERT_EQ((*names)->size(), before + 1) << wal;
    EXPECT_EQ(U8((*names)->back()), U8(city));
    EXPECT_EQ((*db.TownRows(before))->size(), 1u);
    EXPECT_TRUE(Writable());
  }
}

// A region chosen again for the next run keeps its connection only while the file at its name is
// the one open: registry tables added to it since are found, and a file rebuilt and installed
// under the name is opened anew.
TEST_F(RegionDatabaseTest, ARegionChosenAgainReadsTheFileNowAtItsName) {
  Connection& file = b.Region(kRegion);
  test::TestDatabaseBuilder::Exec(file, "drop table 住居");
  ASSERT_TRUE(db.SelectRegion(kRegion).ok());
  EXPECT_EQ(Residence12(), "none");
  AddResidence12();
  ASSERT_TRUE(db.SelectRegion(kRegion).ok());
  EXPECT_EQ(Residence12(), "X12");

  test::TestDatabaseBuilder rebuilt;
  rebuilt.AddPosition(kRegion, {u"東京都", u"千代田区", u"丸の内一丁目", u"B", 1, u"NEW"});
  rebuilt.Region(kRegion).Close();
  std::filesystem::rename(std::filesystem::path(U8(RegionDatabasePath(rebuilt.Dir(), kRegion))),
                          std::filesystem::path(U8(path)));
  ASSERT_TRUE(db.SelectRegion(kRegion).ok());
  db.BeginAddress();
  EXPECT_EQ(U8((*db.FindTownPosition(u"東京都", u"千代田区", u"丸の内一丁目"))->cityCode), "NEW");
}

// A residence read while the reads are held keeps a handle open on the file; releasing the reads
// closes it with the transaction, so that another program can write at once.
TEST_F(RegionDatabaseTest, ReleasedReadsLeaveNoLockAfterAResidence) {
  AddResidence12();
  ASSERT_TRUE(db.SelectRegion(kRegion).ok());
  db.HoldReads(true);
  EXPECT_EQ(Residence12(), "X12");
  db.ReleaseReads();
  EXPECT_TRUE(Writable());
}

}  // namespace
}  // namespace mok::db
