// The address database as the rest of the system sees it: the connection to the main database
// (prefecture names, region list, learning dictionary) and to one region database at a time
// (positions, block tables, postal codes), the reference lists loaded from the main database,
// the region selection of the current run, and every lookup the recognition and the windows make.
//
// One object per program (or per test); nothing here is process-wide. Failures that the user
// must see go through the Prompter with the texts of the address rules; results come back as
// values.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/db_error.h"  // DbError
#include "engine/rules/address_result.h"
#include "startup/prompter.h"
#include "startup/settings.h"

namespace mok::db {

class Connection;        // database engine layer (connection.h)
struct RegionCityCache;  // the city step's reading of POSITION (position_lookup.cpp)

// One row of the candidate set left open by FindCityCandidates for the town lookup.
struct CandidateRow {
  std::u16string prefecture;  // fld都道府県名
  std::u16string city;        // fld市区町村名
  std::u16string town;        // fld大字・町丁目
};

class AddressDatabase {
 public:
  AddressDatabase(Settings& settings, Prompter& prompter);
  ~AddressDatabase();
  AddressDatabase(const AddressDatabase&) = delete;
  AddressDatabase& operator=(const AddressDatabase&) = delete;

  // --- Connection and reference lists -------------------------------------------------------
  bool OpenMainDatabase();
  bool CloseMainDatabase();
  bool OpenRegionDatabase(const std::u16string& name);
  bool CloseRegionDatabase();
  bool LoadPrefectureNames();
  // Refills `combo` (the region combo box's items) with fldDbName of ＤＢ一覧, in table order.
  bool LoadRegionList(std::vector<std::u16string>& combo);
  // fldID of region `name` in ＤＢ一覧 (0 when it has none); nullopt on a database failure.
  std::optional<int16_t> RegionNumber(const std::u16string& name, DbError* error = nullptr);

  // Paths: <DbDir>/mok2.sqlite and <DbDir>/<region>.sqlite (platform separator).
  std::u16string DatabasePath;  // main database, set by OpenMainDatabase or the caller
  std::u16string RegionPath(const std::u16string& region) const;

  // Connection and region state.
  bool BlnMainDbOpen = false;
  bool BlnRegionDbOpen = false;
  std::u16string StrOpenRegion;
  std::u16string StrSelectedRegion;
  int16_t IntRegionNumber = 0;
  std::u16string StrRegionKana;

  // Reference lists; index 1..PrefCount (index 0 unused), in table order.
  std::vector<std::u16string> PrefNames{u""};
  std::vector<std::u16string> PrefKanaNames{u""};
  std::vector<std::u16string> PrefKanaSuffixes{u""};
  int16_t PrefCount = 0;

  // --- Position lookup ------------------------------------------------------------------------
  std::u16string FindPrefectureName(std::u16string_view text, int32_t& nextPos) const;
  std::u16string FindPrefectureByKana(std::u16string_view text, int32_t& nextPos) const;
  // cityParts[1], cityParts[2] are read and rewritten into their stored form.
  // The municipality names and rows are read once and kept; they are checked against the region
  // file at every call, or, once StartAddress has been called, once per address.
  bool FindCityCandidates(std::u16string& prefecture, std::array<std::u16string, 3>& cityParts,
                          engine::AddressResult& result);

  // Marks the start of a new address for the city step (see FindCityCandidates).
  void StartAddress();

  // --- Town lookup ----------------------------------------------------------------------------
  // 0 found (townName rewritten to its stored form), 3 not found, 1 region database not open,
  // -1 database failure.
  int16_t LookupOazaChome(const std::u16string& prefecture,
                          const std::array<std::u16string, 3>& cityParts, std::u16string& townName,
                          const std::u16string& chome, engine::AddressResult& result);

  // --- Block/lot coordinates ------------------------------------------------------------------
  bool LookupBlockCoordinates(const std::u16string& prefecture, const std::u16string& city,
                              const std::u16string& oaza, std::u16string& blockLot,
                              engine::AddressResult& result);

  // --- Learning dictionary --------------------------------------------------------------------
  // The rewritten word, "" when no replacement applies; nullopt on a failure (database error or
  // an eleventh log entry), with the error in `error`: the calling lookup reports it.
  std::optional<std::u16string> LookupLearnedWord(int32_t kind, const std::u16string& word,
                                                  engine::AddressResult& result,
                                                  DbError* error = nullptr);
  bool RegisterLearnedWord(int32_t scope, int32_t kind, const std::u16string& registeredWord,
                           const std::u16string& convertedWord);

  // --- Postal codes ---------------------------------------------------------------------------
  // "kanji city,kanji place" or "" when nothing was found or the lookup failed.
  std::u16string LookupPostalCode(const std::u16string& prefecture, const std::u16string& cityKana,
                                  const std::u16string& placeKana, engine::AddressResult& result);
  // The inner step of LookupPostalCode: the query and its answer.
  std::u16string QueryPostalCode(const std::u16string& prefecture, const std::u16string& cityKana,
                                 const std::u16string& placeKana, engine::AddressResult& result);

  // Closes the connections the per-call lookups keep open across addresses (also done by
  // CloseMainDatabase and the destructor), e.g. before the data files are replaced.
  void CloseLookupConnections();
  // The open region database connection (nullptr when closed).
  Connection* RegionDb() { return regionDb_.get(); }

  Settings& settings() { return settings_; }
  Prompter& prompter() { return prompter_; }
  // The open main database connection (nullptr when closed); used by the dictionary editor.
  Connection* MainDb() { return mainDb_.get(); }

  // The candidate rows left by FindCityCandidates (empty when closed).
  std::vector<CandidateRow> CandidateRows;
  bool CandidateRowsOpen = false;

 private:
  Settings& settings_;
  Prompter& prompter_;
  std::unique_ptr<Connection> mainDb_;
  std::unique_ptr<Connection> regionDb_;
  // Connections kept open across addresses for the per-call lookups (block coordinates, learned
  // words, postal codes), keyed by path; reopened when the path changes.
  std::unique_ptr<Connection> lookupRegionDb_;
  std::unique_ptr<Connection> lookupMainDb_;
  // The city names of the open region database and the POSITION rows of each city, read once
  // per region file by the city step (shared_ptr: the type is complete only there).
  std::shared_ptr<RegionCityCache> cityCache_;

  // Shows a database failure: description(number), a line break and the context.
  void ReportError(const DbError& error, const std::u16string& context = u"");
  // The region file the block and postal lookups read: the chosen region's, else the open
  // region database's, else the prefecture's.
  std::u16string LookupRegionPath(const std::u16string& prefecture) const;
  // The kept-open lookup connections, (re)opened when the path differs; nullptr on failure.
  Connection* LookupRegionConnection(const std::u16string& path, DbError& error);
  Connection* LookupMainConnection(DbError& error);
  // Makes the reference-count updates on lookupMainDb_ cheap (write-ahead log), once per
  // connection.
  void PrepareCountUpdates(Connection& db);
  bool lookupMainLogged_ = false;
  // Block tables of lookupRegionDb_ already confirmed to exist.
  std::vector<std::u16string> checkedBlockTables_;
};

}  // namespace mok::db
