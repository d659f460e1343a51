// Addresses placed below their town by the bundled Address Base Registry files (issue 22): the
// residences of 文京区 and 和歌山市 and the parcels of 和歌山市, imported into a region of four
// towns, checked against the registry's own points (rep_lat/rep_lon) with the level reached.
#include <gtest/gtest.h>

#include <fstream>

#include "db/address_database.h"
#include "db/import/main_database_import.h"
#include "db/import/registry_import.h"
#include "db/import/town_import.h"
#include "engine/recognition/recognizer.h"
#include "support/temp_folder.h"
#include "text/text.h"

namespace mok::engine {
namespace {

namespace fs = std::filesystem;
constexpr char16_t kRegion[] = u"登記";

class RegistryPoints : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder = new test::TempFolder;
    const fs::path dir = folder->path();
    const fs::path data = MOK_DATA_DIR;
    db::CreateMainDatabase(dir, data / "prefectures.csv");
    // 白山一丁目 and 葵町 are 住居表示 towns (葵町 has parcels too), 秋月 has parcels only,
    // 谷在家二丁目 has no registry rows.
    std::ofstream(dir / "towns.csv", std::ios::binary)
        << "都道府県名,市区町村コード,市区町村名,大字町丁目名,小字・通称名,緯度,経度\r\n"
           "東京都,13105,文京区,白山一丁目,,35.7206,139.7494\r\n"
           "東京都,13121,足立区,谷在家二丁目,,35.7910,139.7680\r\n"
           "和歌山県,30201,和歌山市,葵町,,34.21,135.16\r\n"
           "和歌山県,30201,和歌山市,秋月,,34.23,135.20\r\n";
    db::ImportTowns(dir, kRegion, dir / "towns.csv");
    const fs::path abr = data / "abr";
    db::ImportRegistry(
        dir, kRegion,
        {abr / "mt_rsdtdsp_rsdt_pref13.csv.zip", abr / "mt_rsdtdsp_rsdt_pos_pref13.csv.zip",
         abr / "mt_rsdtdsp_rsdt_pref30.csv.zip", abr / "mt_rsdtdsp_rsdt_pos_pref30.csv.zip",
         abr / "mt_parcel_city302015.csv.zip", abr / "mt_parcel_pos_city302015.csv.zip"});
  }
  static void TearDownTestSuite() { delete folder; }

  void SetUp() override {
    ASSERT_TRUE(database.Open(text::FromUtf8(folder->path().string())).ok());
    ASSERT_TRUE(database.SelectRegion(kRegion).ok());
    settings.townCombine = false;
    settings.remainOut = settings.levelOut = settings.logOut = true;
    settings.cityCodeOut = settings.xyOut = false;
  }
  // "code fields"
  std::string Run(const std::u16string& address) {
    const Recognition r = Recognizer(settings).RecognizeAddress(address, database);
    return std::to_string(CodeNumber(r.code)) + " " + text::ToUtf8(r.outputFields);
  }

  static test::TempFolder* folder;
  db::AddressDatabase database;
  Settings settings;
};
test::TempFolder* RegistryPoints::folder = nullptr;

TEST_F(RegistryPoints, AddressesAtTheRegistrysPointsWithTheLevelReached) {
  // The town's fields (town, block, remainder), the point and the level; the log names a point
  // that is not the address's own.
  const std::pair<std::u16string, std::string> cases[] = {
      // The residence 1-1 of 白山一丁目, however written.
      {u"東京都文京区白山一丁目1-1", "0 白山一丁目,１,１,35.715149108,139.752436911,住居"},
      {u"文京区白山1-1-1", "0 白山一丁目,１,１,35.715149108,139.752436911,住居"},
      {u"東京都文京区白山１丁目１番１号　白山ビル２０１",
       "0 白山一丁目,１,１号　白山ビル２０１,35.715149108,139.752436911,住居"},
      // No residence 999 in block 1: the block, at the centre of its residences.
      {u"文京区白山1丁目1-999", "0 白山一丁目,１,９９９,35.715321008,139.752346865,街区"},
      // No block 99: the nearest block, 37.
      {u"文京区白山1-99-1",
       "0 白山一丁目,９９,１,35.721470738,139.753052332,街区（近似）,［変換ログ］位置レベル:"
       "街区３７（近似）"},
      // 地番: 本番 96 枝番 6 of 秋月; no 枝番 999: the first parcel of 96.
      {u"和歌山県和歌山市秋月96番地6", "0 秋月,９６,６,34.233689307,135.203732948,地番"},
      {u"和歌山市秋月96-999",
       "0 秋月,９６,９９９,34.233739986,135.203639054,地番（近似）,［変換ログ］位置レベル:"
       "地番（近似）"},
      // 葵町 is a 住居表示 town: 1-1 is a residence, and 103-3 no parcel but the block nearest to
      // 103 (葵町's parcel 103-3 lies elsewhere, at 34.212431111 135.163016581).
      {u"和歌山市葵町1-1", "0 葵町,１,１,34.214456043,135.165196745,住居"},
      {u"和歌山市葵町103-3",
       "0 葵町,１０３,３,34.212824334,135.163135984,街区（近似）,［変換ログ］位置レベル:"
       "街区１１（近似）"},
      // No registry rows: the town's point, the numbers kept (issue 21).
      {u"東京都足立区谷在家2丁目8番1号", "0 谷在家二丁目,８,１号,35.7910,139.7680,大字・町丁目"}};
  for (const auto& [address, expected] : cases)
    EXPECT_EQ(Run(address), expected) << text::ToUtf8(address);
  // With COMPLETEMATCH only the block of the number answers.
  settings.completeMatch = true;
  EXPECT_EQ(Run(u"文京区白山1-99-1"), "6 ");
  EXPECT_EQ(Run(u"文京区白山1-1-999"), "0 白山一丁目,１,９９９,35.715321008,139.752346865,街区");
}

}  // namespace
}  // namespace mok::engine
