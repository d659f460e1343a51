// The address data a program works with: the main database (prefectures, region list, learning
// dictionary; the folder's file or a server, main_store.h) and the chosen region's database
// (positions, block tables, postal codes) of one database folder, with the region selection of
// the current run. It answers the recognition's
// questions (engine::AddressStore) and shows nothing: every failure comes back as a value.
//
// One object per program (or per test, or per worker); nothing here is process-wide.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/main_store.h"
#include "db/region_database.h"
#include "engine/address_store.h"
#include "result/db_result.h"

namespace mok::db {

// <dir>/mok2.sqlite and <dir>/<region>.sqlite; a blank folder names the root folder.
std::u16string MainDatabasePath(const std::u16string& dir);
std::u16string RegionDatabasePath(const std::u16string& dir, const std::u16string& region);

// Whether `region` can name a region: its file <region>.sqlite must lie in the database folder
// and must not be the main database (no "/" or "\", not "", "." or "..", not "mok2").
bool IsRegionName(std::u16string_view region);

class AddressDatabase : public engine::AddressStore {
 public:
  AddressDatabase();
  ~AddressDatabase() override;
  AddressDatabase(const AddressDatabase&) = delete;
  AddressDatabase& operator=(const AddressDatabase&) = delete;

  // Opens the main database (<dir>/mok2.sqlite, or the server `server` when one is named: see
  // MainDatabaseName) and reads its prefecture list; whatever was open before is closed first.
  // On a failure nothing stays open.
  DbStatus Open(const std::u16string& dir, const std::u16string& server = u"");
  // Closes both databases and forgets the region selection.
  void Close();
  bool IsOpen() const { return main_ != nullptr; }
  const std::u16string& Folder() const { return dir_; }
  // The server of the main database, "" when it is the folder's file.
  const std::u16string& Server() const { return server_; }

  // The region list as ReloadRegionList last read it.
  const std::vector<std::u16string>& RegionList() const { return regions_; }
  DbStatus ReloadRegionList();

  // Chooses the region a run converts against: opens its database (closing the previous one),
  // reads its number in the region list and decides its katakana prefecture name: the kana of
  // the prefecture the region is named after, else that of the prefecture at the region's
  // position in the region list (after the first). A run begins with it, so the main database
  // is refreshed first (MainStore::Refresh). On a failure no region is chosen.
  DbStatus SelectRegion(const std::u16string& name);
  // Closes the region database; the selection is kept and reopened by the next SelectRegion.
  void CloseRegion();
  // Consecutive addresses read the region database in one read transaction, renewed every
  // second, until ReleaseReads (which a caller must call before anything waits for the user or
  // writes the file) or HoldReads(false). Kept across SelectRegion.
  void HoldReads(bool hold);
  void ReleaseReads();

  // Registers a learned word in the main database.
  DbResult<Registration> RegisterLearnedWord(int32_t scope, engine::WordKind kind,
                                             const std::u16string& registeredWord,
                                             const std::u16string& convertedWord);

  // engine::AddressStore.
  const std::vector<engine::Prefecture>& Prefectures() const override { return prefectures_; }
  const engine::RegionSelection& Region() const override { return region_; }
  bool RegionOpen() const override { return regionDb_ != nullptr; }
  void BeginAddress() override;
  DbResult<const std::vector<std::u16string>*> Municipalities() override;
  DbResult<std::vector<std::size_t>> FindMunicipalities(std::u16string_view name,
                                                        bool endsWith) override;
  DbResult<const std::vector<engine::TownRow>*> TownRows(std::size_t index) override;
  DbResult<std::vector<engine::TownRow>> FindTownsBeginning(std::u16string_view start) override;
  DbResult<std::optional<engine::TownPosition>> FindTownPosition(
      const std::u16string& prefecture, const std::u16string& city,
      const std::u16string& town) override;
  DbResult<std::optional<engine::LearnedWord>> FindLearnedWord(engine::WordKind kind,
                                                               std::u16string_view word) override;
  DbStatus CountLearnedWordUse(int64_t id) override;
  // The registered words of `kind` that apply to the selected region.
  DbResult<std::vector<std::u16string>> RegisteredWords(engine::WordKind kind);
  // Changes whenever another connection has changed the main database (the learning dictionary)
  // since the last call: MainDatabase::DataVersion.
  DbResult<int64_t> DictionaryVersion();
  DbResult<std::optional<engine::PostalNames>> FindPostalNames(
      const std::u16string& cityKana, const std::u16string& placeKana) override;

  // Points below the town in the selected region (RegionDatabase, address_points.cpp); a
  // "not open" error when no region database is open.
  DbResult<std::optional<StoredPoint>> FindResidence(
      const engine::TownPosition& town, std::u16string_view block, std::u16string_view residence,
      std::optional<std::u16string_view> residence2) override;
  DbResult<std::optional<StoredPoint>> FindParcel(
      const engine::TownPosition& town, std::u16string_view main,
      std::optional<std::u16string_view> branch,
      std::optional<std::u16string_view> branch2) override;
  DbResult<std::optional<BlockPoint>> FindBlock(const engine::TownPosition& town,
                                                std::optional<std::u16string_view> number) override;
  DbResult<std::optional<BlockPoint>> FindNearestBlock(const engine::TownPosition& town,
                                                       int64_t number) override;

 private:
  DbError NotOpen(const char16_t* what) const;
  std::u16string RegionKana(const std::u16string& name) const;

  std::u16string dir_;
  std::u16string server_;
  std::unique_ptr<MainStore> main_;
  std::unique_ptr<RegionDatabase> regionDb_;
  std::vector<engine::Prefecture> prefectures_;
  std::vector<std::u16string> regions_;
  engine::RegionSelection region_;
  bool holdReads_ = false;
};

}  // namespace mok::db
