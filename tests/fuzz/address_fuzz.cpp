// Address recognition over a small database that the data tool's importers build once per
// process from tests/fuzz/data: towns of Tokyo and Hokkaido (a ward, a county, 大字 names), block
// rows, postal rows, and learned words. The input is the address; its length chooses among the
// settings that change the recognition.
#include "db/address_database.h"
#include "db/import/block_import.h"
#include "db/import/main_database_import.h"
#include "db/import/postal_import.h"
#include "db/import/town_import.h"
#include "engine/recognition/recognizer.h"
#include "fuzz/fuzz_target.h"

namespace mok {
namespace {

struct Fixture {
  Fixture() {
    const std::filesystem::path dir = fuzz::ScratchPath("db");
    const std::filesystem::path data = std::filesystem::path(MOK_SOURCE_DIR) / "tests/fuzz/data";
    db::CreateMainDatabase(dir, std::filesystem::path(MOK_DATA_DIR) / "prefectures.csv");
    db::ImportTowns(dir, u"テスト", data / "towns.csv");
    db::ImportBlocks(dir, u"テスト", data / "blocks.csv");
    db::ImportPostal(dir, u"テスト", data / "postal.csv");
    using enum engine::WordKind;
    MOK_FUZZ_CHECK(database.Open(dir.u16string()) && database.ReloadRegionList() &&
                   database.SelectRegion(u"テスト") &&
                   database.RegisterLearnedWord(0, Prefecture, u"とうきょう", u"東京都") &&
                   database.RegisterLearnedWord(0, City, u"八王寺市", u"八王子市") &&
                   database.RegisterLearnedWord(0, Town, u"丸ノ内一", u"丸の内一丁目"));
  }
  db::AddressDatabase database;
  Settings settings;
  engine::Recognizer recognizer{settings};
};

}  // namespace

MOK_FUZZ_TARGET(address) {
  static Fixture fixture;
  const std::u16string address = fuzz::InputText(input);
  fixture.settings.completeMatch = input.size() & 1;
  fixture.settings.townCombine = input.size() & 2;
  fixture.settings.delimiter = input.size() & 4 ? u" " : u",";
  fixture.settings.remainOut = fixture.settings.logOut = input.size() & 8;

  using enum engine::ResultCode;
  const engine::Recognition r = fixture.recognizer.RecognizeAddress(address, fixture.database);
  MOK_FUZZ_CHECK(r.code == Converted || r.code == NoPrefecture || r.code == NoCity ||
                 r.code == NoTown || r.code == EmptyAddress || r.code == NoBlock ||
                 r.code == Failure);
  MOK_FUZZ_CHECK((r.outputFields.empty() || r.code == Converted) &&
                 r.log.size() <= engine::kMaxLogEntries);
  // The database is sound: the one failure an address may meet is a log longer than allowed.
  for (const DbError& error : r.errors)
    MOK_FUZZ_CHECK(error.number == 9 && !error.fromEngine);
  MOK_FUZZ_CHECK(!r.uncountedUse);
  const engine::AddressSplit split = fixture.recognizer.SplitAddress(address, fixture.database);
  MOK_FUZZ_CHECK(split.code == Converted || split.code == NoCity || split.code == NoTown);
}

}  // namespace mok
