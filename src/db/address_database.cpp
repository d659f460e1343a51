#include "db/address_database.h"

#include <utility>

#include "db/main_store_open.h"
#include "startup/paths.h"
#include "text/text.h"

namespace mok::db {

namespace {

// A blank folder gives the file at the root, where opening it fails with the database's own
// message (never a file of whatever folder the program was started in).
std::u16string DatabaseFile(const std::u16string& dir, const std::u16string& file) {
  std::u16string folder = AddPathSeparator(dir);
  if (folder.empty())
    folder = kPathSeparator;
  return folder + file;
}

}  // namespace

std::u16string MainDatabasePath(const std::u16string& dir) {
  return DatabaseFile(dir, u"mok2.sqlite");
}

std::u16string RegionDatabasePath(const std::u16string& dir, const std::u16string& region) {
  return DatabaseFile(dir, region + u".sqlite");
}

bool IsRegionName(std::u16string_view region) {
  return !region.empty() && region != u"." && region != u".." &&
         region.find_first_of(u"/\\") == std::u16string_view::npos &&
         !text::EqualsFold(region, u"mok2");
}

AddressDatabase::AddressDatabase() = default;
AddressDatabase::~AddressDatabase() = default;

DbError AddressDatabase::NotOpen(const char16_t* what) const {
  return MakeError(std::u16string(what) + u" is not open", 21);
}

DbStatus AddressDatabase::Open(const std::u16string& dir, const std::u16string& server) {
  Close();
  dir_ = dir;
  server_ = server;
  if (auto checked = CheckServerSetting(server); !checked)
    return checked;
  auto main = OpenMainStore(MainDatabaseName(dir, server));
  if (!main)
    return main.error();
  auto prefectures = ReadPrefectures(**main);
  if (!prefectures)
    return prefectures.error();
  main_ = std::move(*main);
  prefectures_ = std::move(*prefectures);
  return {};
}

void AddressDatabase::Close() {
  regionDb_.reset();
  main_.reset();
  prefectures_.clear();
  regions_.clear();
  region_ = {};
}

DbStatus AddressDatabase::ReloadRegionList() {
  if (!main_)
    return NotOpen(u"the main database");
  auto regions = ReadRegionList(*main_);
  if (!regions)
    return regions.error();
  regions_ = std::move(*regions);
  return {};
}

std::u16string AddressDatabase::RegionKana(const std::u16string& name) const {
  for (const engine::Prefecture& prefecture : prefectures_) {
    if (text::EqualsFold(prefecture.name, name))
      return prefecture.kana;
  }
  // A region named otherwise pairs with the prefecture at its position in the region list; the
  // first region has no such pair.
  for (std::size_t position = 1; position < regions_.size(); ++position) {
    if (text::EqualsFold(regions_[position], name))
      return position < prefectures_.size() ? prefectures_[position].kana : u"";
  }
  return {};
}

DbStatus AddressDatabase::SelectRegion(const std::u16string& name) {
  // The region open already is kept while its file is the one at its name, so that a second run
  // finds its pages and municipalities in memory; the engine drops pages the file changed since.
  std::unique_ptr<RegionDatabase> kept;
  if (regionDb_ && region_.name == name && !regionDb_->Replaced())
    kept = std::move(regionDb_);
  regionDb_.reset();
  region_ = {};
  if (!main_)
    return NotOpen(u"the main database");
  if (!IsRegionName(name))
    return MakeError(u"「" + name + u"」は地域名に使えません。", 52);
  if (kept) {
    kept->ForgetTables();
  } else {
    auto region = RegionDatabase::Open(RegionDatabasePath(dir_, name));
    if (!region)
      return region.error();
    kept = std::move(*region);
  }
  main_->Refresh();
  auto number = RegionNumber(*main_, name);
  if (!number)
    return number.error();
  regionDb_ = std::move(kept);
  regionDb_->HoldReads(holdReads_);
  region_ = {name, *number, RegionKana(name)};
  return {};
}

void AddressDatabase::CloseRegion() {
  regionDb_.reset();
}

void AddressDatabase::HoldReads(bool hold) {
  holdReads_ = hold;
  if (regionDb_)
    regionDb_->HoldReads(hold);
}

void AddressDatabase::ReleaseReads() {
  if (regionDb_)
    regionDb_->ReleaseReads();
}

DbResult<Registration> AddressDatabase::RegisterLearnedWord(int32_t scope, engine::WordKind kind,
                                                            const std::u16string& registeredWord,
                                                            const std::u16string& convertedWord) {
  if (!main_)
    return NotOpen(u"the main database");
  return main_->RegisterLearnedWord(scope, kind, registeredWord, convertedWord);
}

// --- engine::AddressStore ------------------------------------------------------------------------

void AddressDatabase::BeginAddress() {
  if (regionDb_)
    regionDb_->BeginAddress();
}

DbResult<const std::vector<std::u16string>*> AddressDatabase::Municipalities() {
  if (!regionDb_) {
    static const std::vector<std::u16string> kNone;
    return &kNone;
  }
  return regionDb_->Municipalities();
}

DbResult<std::vector<std::size_t>> AddressDatabase::FindMunicipalities(std::u16string_view name,
                                                                       bool endsWith) {
  if (!regionDb_)
    return std::vector<std::size_t>();
  return regionDb_->FindMunicipalities(name, endsWith);
}

DbResult<const std::vector<engine::TownRow>*> AddressDatabase::TownRows(std::size_t index) {
  if (!regionDb_)
    return NotOpen(u"the region database");
  return regionDb_->TownRows(index);
}

DbResult<std::vector<engine::TownRow>> AddressDatabase::FindTownsBeginning(
    std::u16string_view start) {
  if (!regionDb_)
    return NotOpen(u"the region database");
  return regionDb_->FindTownsBeginning(start);
}

DbResult<std::optional<engine::TownPosition>> AddressDatabase::FindTownPosition(
    const std::u16string& prefecture, const std::u16string& city, const std::u16string& town) {
  if (!regionDb_)
    return NotOpen(u"the region database");
  return regionDb_->FindTownPosition(prefecture, city, town);
}

DbResult<std::optional<engine::LearnedWord>> AddressDatabase::FindLearnedWord(
    engine::WordKind kind, std::u16string_view word) {
  if (!main_)
    return NotOpen(u"the main database");
  return main_->FindLearnedWord(region_.number, kind, word);
}

DbResult<std::vector<std::u16string>> AddressDatabase::RegisteredWords(engine::WordKind kind) {
  if (!main_)
    return NotOpen(u"the main database");
  return main_->RegisteredWords(region_.number, kind);
}

DbResult<int64_t> AddressDatabase::DictionaryVersion() {
  if (!main_)
    return NotOpen(u"the main database");
  return main_->DataVersion();
}

DbStatus AddressDatabase::CountLearnedWordUse(int64_t id) {
  if (!main_)
    return NotOpen(u"the main database");
  return main_->CountLearnedWordUse(id);
}

DbResult<std::optional<engine::PostalNames>> AddressDatabase::FindPostalNames(
    const std::u16string& cityKana, const std::u16string& placeKana) {
  if (!regionDb_)
    return std::optional<engine::PostalNames>();
  return regionDb_->FindPostalNames(cityKana, placeKana);
}

}  // namespace mok::db
