// The main database in a file of the database folder (<DbDir>/mok2.sqlite): the prefecture list,
// the region list and the learning dictionary. One connection serves every query and every write;
// failures come back naming the file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/connection.h"
#include "db/main_store.h"

namespace mok::db {

class MainDatabase : public MainStore {
 public:
  // Opens an existing main database; a missing file is an error.
  static DbResult<std::unique_ptr<MainDatabase>> Open(const std::u16string& path);
  // Opens the file, creating it with the main database's tables when missing (the data tool).
  static DbResult<std::unique_ptr<MainDatabase>> Create(const std::u16string& path);
  ~MainDatabase() override;
  MainDatabase(const MainDatabase&) = delete;
  MainDatabase& operator=(const MainDatabase&) = delete;

  const std::u16string& path() const { return db_.path(); }

  // MainStore.
  const std::u16string& Name() const override { return db_.path(); }
  DbResult<std::vector<StoredPrefecture>> ReadPrefectureRows() override;
  DbResult<std::vector<StoredRegion>> ReadRegionRows() override;
  DbResult<std::optional<engine::LearnedWord>> FindLearnedWord(int16_t region,
                                                               engine::WordKind kind,
                                                               std::u16string_view word) override;
  DbStatus CountLearnedWordUse(int64_t id) override;
  DbResult<std::vector<std::u16string>> RegisteredWords(int16_t region,
                                                        engine::WordKind kind) override;
  DbResult<int64_t> DataVersion() override;
  DbResult<Registration> RegisterLearnedWord(int32_t scope, engine::WordKind kind,
                                             const std::u16string& registeredWord,
                                             const std::u16string& convertedWord) override;
  // The editor's rows and the whole content (main_database_rows.cpp).
  DbResult<std::vector<LearningDictRow>> SearchLearnedRows(
      const LearningDictSearch& search) override;
  DbResult<int64_t> StoreLearnedRow(const LearningDictRow& row) override;
  DbStatus DeleteLearnedRow(int64_t rowId) override;
  DbStatus ReplaceContent(const MainContent& content) override;

 private:
  explicit MainDatabase(Connection db) : db_(std::move(db)) {}
  DbError Fail(const DbError& error) const { return InFile(error, path()); }
  // Asks for the write-ahead log before the first write.
  void LogWrites();
  DbResult<Registration> AddLearnedWord(int32_t scope, engine::WordKind kind,
                                        const std::u16string& registeredWord,
                                        const std::u16string& convertedWord);

  Connection db_;
  bool countsLogged_ = false;  // the write-ahead log was asked for
};

}  // namespace mok::db
