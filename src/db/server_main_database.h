// The main database on a PostgreSQL server (MAINDB=postgresql://host/dbname), which every desk of
// an office shares: one dictionary that each correction improves for everyone. The tables are
// those of the file (server_main_schema.cpp), each with a row id column "rowid" that keeps the
// order rows were stored in; texts compare without regard to ASCII letter case as the file's do.
//
// When the server goes away during a run, the learned words keep applying from the copy read
// when the run began (LearnedWordSnapshot), as from a folder that cannot be written: only the
// counts are not stored, and every count fails with the same lost-connection error, which the
// run says once. The next run connects again.
#pragma once

#include <memory>
#include <string>

#include "db/learned_word_snapshot.h"
#include "db/main_store.h"
#include "db/pg_connection.h"

namespace mok::db {

// A 32-bit column of a server's row (fldDbNo, fldType).
std::optional<int32_t> OptionalInt32(const PgRows& rows, int row, int column);

class ServerMainDatabase : public MainStore {
 public:
  // Connects to the server `name` ("postgresql://host/dbname").
  static DbResult<std::unique_ptr<ServerMainDatabase>> Open(const std::u16string& name);
  // Connects and creates the main database's tables when missing (the data tool). The server's
  // database must exist and hold its texts in UTF-8.
  static DbResult<std::unique_ptr<ServerMainDatabase>> Create(const std::u16string& name);

  // MainStore.
  const std::u16string& Name() const override { return server_.name(); }
  void Refresh() override;
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
  // The editor's rows and the whole content (server_main_rows.cpp).
  DbResult<std::vector<LearningDictRow>> SearchLearnedRows(
      const LearningDictSearch& search) override;
  DbResult<int64_t> StoreLearnedRow(const LearningDictRow& row) override;
  DbStatus DeleteLearnedRow(int64_t rowId) override;
  DbStatus ReplaceContent(const MainContent& content) override;

 private:
  explicit ServerMainDatabase(PgConnection server) : server_(std::move(server)) {}
  // The query's rows; a failure that lost the connection is remembered, so that the lookups
  // answer from the snapshot and the counts fail with it from then on.
  DbResult<PgRows> Query(const char* sql, const std::vector<PgValue>& params = {});
  // Connects again when the connection was lost (a user's action, not a record of a run).
  DbStatus Reconnect();
  // Inside the registration's transaction: the new row's id, or 0 when the word is there.
  DbResult<int64_t> AddLearnedWord(int32_t scope, engine::WordKind kind,
                                   const std::u16string& registeredWord,
                                   const std::u16string& convertedWord);

  PgConnection server_;
  LearnedWordSnapshot snapshot_;
  std::optional<DbError> lost_;  // why the connection was lost, while it is
  int64_t lastVersion_ = 0;      // the dictionary version last read from the server
};

}  // namespace mok::db
