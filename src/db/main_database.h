// The main database (<DbDir>/mok2.sqlite): the prefecture list, the region list and the learning
// dictionary. One connection serves every query and every write; failures come back naming the
// file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/connection.h"
#include "engine/address_store.h"

namespace mok::db {

// What registering a learned word did.
enum class Registration { Added, AlreadyRegistered };

class MainDatabase {
 public:
  // Opens an existing main database; a missing file is an error.
  static DbResult<std::unique_ptr<MainDatabase>> Open(const std::u16string& path);
  ~MainDatabase();
  MainDatabase(const MainDatabase&) = delete;
  MainDatabase& operator=(const MainDatabase&) = delete;

  const std::u16string& path() const { return db_.path(); }
  // The connection, for the dictionary editor's own queries.
  Connection& connection() { return db_; }

  // 都道府県名 in table order (at most 50 rows), each name completed by its type.
  DbResult<std::vector<engine::Prefecture>> ReadPrefectures();
  // The region names (fldDbName of ＤＢ一覧) in table order.
  DbResult<std::vector<std::u16string>> ReadRegionList();
  // fldID of region `name` in ＤＢ一覧 (0 when it has none).
  DbResult<int16_t> RegionNumber(const std::u16string& name);

  // The learned word of `kind` whose registered word begins `word`, for the region numbered
  // `region`: see engine::AddressStore::FindLearnedWord.
  DbResult<std::optional<engine::LearnedWord>> FindLearnedWord(int16_t region,
                                                               engine::WordKind kind,
                                                               std::u16string_view word);
  DbStatus CountLearnedWordUse(int64_t id);
  // The registered words of `kind` that apply to the region numbered `region` (its own and those
  // of every region), in no particular order.
  DbResult<std::vector<std::u16string>> RegisteredWords(int16_t region, engine::WordKind kind);
  // A number that changes whenever another connection (another program, another thread's
  // connection) has committed a change to the file since the last call; cheap to ask.
  DbResult<int64_t> DataVersion();
  // Adds a learned word for `scope` (0: every region, else a region number) unless the same
  // pair is already registered for it.
  DbResult<Registration> RegisterLearnedWord(int32_t scope, engine::WordKind kind,
                                             const std::u16string& registeredWord,
                                             const std::u16string& convertedWord);

 private:
  explicit MainDatabase(Connection db) : db_(std::move(db)) {}
  DbError Fail(const DbError& error) const { return InFile(error, path()); }

  Connection db_;
  bool countsLogged_ = false;  // the write-ahead log was asked for
};

}  // namespace mok::db
