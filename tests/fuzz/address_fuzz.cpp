// Address recognition over a small database built once per process by the data tool's importers:
// towns of Tokyo and a Sapporo ward, block rows, postal rows and learned words. The input is the
// address text; its length chooses among the settings that change the recognition.
#include "db/address_database.h"
#include "db/import/block_import.h"
#include "db/import/main_database_import.h"
#include "db/import/postal_import.h"
#include "db/import/town_import.h"
#include "engine/recognition/recognizer.h"
#include "fuzz/fuzz_target.h"

namespace mok {
namespace {

constexpr char kTowns[] =
    "都道府県名,市区町村コード,市区町村名,大字町丁目名,小字・通称名,緯度,経度\n"
    "東京都,13101,千代田区,丸の内一丁目,,35.68156,139.767201\n"
    "東京都,13101,千代田区,霞が関二丁目,,35.675551,139.750413\n"
    "東京都,13201,八王子市,上柚木三丁目,,35.62,139.38\n"
    "東京都,13205,青梅市,大字成木,,35.8,139.2\n"
    "東京都,13362,三宅村,坪田,,34.06,139.55\n"
    "北海道,01101,札幌市中央区,大通西一丁目,,43.06,141.35\n";
constexpr char kBlocks[] =
    "都道府県名,市区町村名,大字・町丁目名,小字・通称名,街区符号・地番,座標系番号,Ｘ座標,Ｙ座標,"
    "緯度,経度,住居表示フラグ,代表フラグ,更新前履歴フラグ,更新後履歴フラグ\r\n"
    "東京都,千代田区,丸の内一丁目,,1,9,-35384.1,-5941.3,35.681046,139.767693,1,1,0,0\r\n"
    "東京都,千代田区,丸の内一丁目,,2,9,-35291.0,-5984.6,35.681885,139.767215,1,0,0,0\r\n"
    "東京都,八王子市,上柚木三丁目,,24,9,-41000.5,-58000.2,35.62,139.38,1,0,0,0\r\n";
constexpr char kPostal[] =
    "13101,\"100  \",\"1000005\",\"ﾄｳｷｮｳﾄ\",\"ﾁﾖﾀﾞｸ\",\"ﾏﾙﾉｳﾁ\",\"東京都\",\"千代田区\",\"丸の内\","
    "0,0,1,0,0,0\r\n"
    "13201,\"192  "
    "\",\"1920375\",\"ﾄｳｷｮｳﾄ\",\"ﾊﾁｵｳｼﾞｼ\",\"ｶﾐﾕｷﾞ\",\"東京都\",\"八王子市\",\"上柚木\","
    "0,0,1,0,0,0\r\n"
    "01101,\"060  \",\"0600042\",\"ﾎｯｶｲﾄﾞｳ\",\"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ\",\"ｵｵﾄﾞｵﾘﾆｼ(1-19ﾁｮｳﾒ)\",\"北海道\","
    "\"札幌市中央区\",\"大通西（１～１９丁目）\",1,0,1,0,0,0\r\n";

std::string Cp932(const char* utf8) {
  return *text::EncodeCp932(text::FromUtf8(utf8));
}

struct Fixture {
  Fixture() {
    const std::filesystem::path dir = fuzz::ScratchFolder() / "db";
    db::CreateMainDatabase(dir, std::filesystem::path(MOK_DATA_DIR) / "prefectures.csv");
    db::ImportTowns(dir, u"テスト", fuzz::ScratchFile("towns.csv", kTowns));
    db::ImportBlocks(dir, u"テスト", fuzz::ScratchFile("blocks.csv", Cp932(kBlocks)));
    db::ImportPostal(dir, u"テスト", fuzz::ScratchFile("postal.csv", Cp932(kPostal)));
    const bool opened = database.Open(dir.u16string()).ok() && database.ReloadRegionList().ok() &&
                        database.SelectRegion(u"テスト").ok();
    MOK_FUZZ_CHECK(opened);
    using enum engine::WordKind;
    MOK_FUZZ_CHECK(database.RegisterLearnedWord(0, Prefecture, u"とうきょう", u"東京都") &&
                   database.RegisterLearnedWord(0, City, u"八王子", u"八王子市") &&
                   database.RegisterLearnedWord(0, Town, u"丸ノ内一", u"丸の内一丁目"));
  }
  db::AddressDatabase database;
  Settings settings;
  engine::Recognizer recognizer{settings, database};
};

}  // namespace

MOK_FUZZ_TARGET(address) {
  static Fixture fixture;
  const std::u16string address = fuzz::InputText(input);
  Settings& settings = fixture.settings;
  settings.completeMatch = input.size() & 1;
  settings.townCombine = input.size() & 2;
  settings.delimiter = input.size() & 4 ? u" " : u",";
  settings.prefOut = settings.cityOut = settings.remainOut = settings.logOut = input.size() & 8;

  using enum engine::ResultCode;
  const engine::Recognition r = fixture.recognizer.RecognizeAddress(address);
  MOK_FUZZ_CHECK(r.code == Converted || r.code == NoPrefecture || r.code == NoCity ||
                 r.code == NoTown || r.code == EmptyAddress || r.code == NoBlock ||
                 r.code == Failure);
  MOK_FUZZ_CHECK(r.outputFields.empty() || r.code == Converted);
  MOK_FUZZ_CHECK(r.log.size() <= engine::kMaxLogEntries);
  // The database is sound: no address may make its queries fail.
  MOK_FUZZ_CHECK(r.errors.empty() && !r.uncountedUse);

  const engine::AddressSplit split = fixture.recognizer.SplitAddress(address);
  MOK_FUZZ_CHECK(split.code == Converted || split.code == NoCity || split.code == NoTown);
}

}  // namespace mok
