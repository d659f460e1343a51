// The main database (the prefecture list 都道府県名, the region list ＤＢ一覧 and the learning
// dictionary 学習) behind one interface, so that it may be a file of the database folder
// (MainDatabase, <dir>/mok2.sqlite) or a database on a PostgreSQL server that every desk of an
// office shares (ServerMainDatabase, postgresql://host/dbname). Both keep the same tables, the
// same row order (the order rows were stored in, by row id) and the same comparisons (texts
// equal without regard to ASCII letter case), so every caller sees the same answers from
// either. Failures come back as values naming the file or the server.
//
// Use counts are incremented in the store ("set count = count + 1"), never read and written
// back, so that two programs counting the same word lose nothing. A registration is one
// transaction whose duplicate check holds while other programs register at the same time.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/address_store.h"
#include "result/db_result.h"

namespace mok::db {

// What registering a learned word did.
enum class Registration { Added, AlreadyRegistered };

// One row of 都道府県名 as stored; Null columns are nullopt.
struct StoredPrefecture {
  int64_t rowId = 0;
  std::optional<std::u16string> name;  // fldKanjiName
  std::optional<std::u16string> kana;  // fldKatakanaName
  std::optional<std::u16string> type;  // fldPrefType
  bool operator==(const StoredPrefecture&) const = default;
};

// One row of ＤＢ一覧 as stored.
struct StoredRegion {
  int64_t rowId = 0;
  std::optional<std::u16string> name;  // fldDbName
  std::optional<int64_t> id;           // fldID
  bool operator==(const StoredRegion&) const = default;
};

// Which word the dictionary editor's keyword is searched in.
enum class KeywordField { Registered, Converted, Either };

// The dictionary editor's search: the conditions of its record source ("select * from 学習
// where ..."), joined by "and"; a keyword matches literally anywhere in the chosen word (its %
// and _ are no wildcards), ASCII letter case ignored.
struct LearningDictSearch {
  bool commonOnly = false;                         // fldDbNo = 0
  std::optional<int32_t> regionNo = std::nullopt;  // fldDbNo = region (ignored when commonOnly)
  bool city = true;                                // fldType = 2
  bool town = false;             // fldType = 3 (neither city nor town: every kind)
  std::u16string keyword = u"";  // substring of the chosen word; "" for none
  KeywordField field = KeywordField::Registered;
};

// One row of 学習 as the editor sees it; Null columns are nullopt.
struct LearningDictRow {
  int64_t rowId = 0;                            // 0 for a row added but not yet stored
  std::optional<int32_t> scope = std::nullopt;  // fldDbNo: region number, 0 for all regions
  std::optional<int32_t> kind = std::nullopt;   // fldType: 2 city, 3 town
  std::optional<std::u16string> registeredWord = std::nullopt;  // fld登録字句
  std::optional<std::u16string> convertedWord = std::nullopt;   // fld変換字句
  std::optional<int64_t> referenceCount = std::nullopt;         // fld参照回数
  bool operator==(const LearningDictRow&) const = default;
};

// Everything a main database holds, row ids included: what `mok2 db copy-main` moves.
struct MainContent {
  std::vector<StoredPrefecture> prefectures;
  std::vector<StoredRegion> regions;
  std::vector<LearningDictRow> words;
  bool operator==(const MainContent&) const = default;
};

class MainStore {
 public:
  virtual ~MainStore() = default;

  // The file's path or the server's name, as messages name the main database.
  virtual const std::u16string& Name() const = 0;

  // A conversion run begins. A server store whose connection was lost connects again, and reads
  // the learned words it answers from should the server go away during the run.
  virtual void Refresh() {}

  // The rows of 都道府県名 and ＤＢ一覧 in table order.
  virtual DbResult<std::vector<StoredPrefecture>> ReadPrefectureRows() = 0;
  virtual DbResult<std::vector<StoredRegion>> ReadRegionRows() = 0;

  // The learned word of `kind` whose registered word begins `word`, for the region numbered
  // `region`: see engine::AddressStore::FindLearnedWord.
  virtual DbResult<std::optional<engine::LearnedWord>> FindLearnedWord(
      int16_t region, engine::WordKind kind, std::u16string_view word) = 0;
  // One more use of the learned word `id`, added in the store.
  virtual DbStatus CountLearnedWordUse(int64_t id) = 0;
  // The registered words of `kind` that apply to the region numbered `region` (its own and
  // those of every region), in no particular order.
  virtual DbResult<std::vector<std::u16string>> RegisteredWords(int16_t region,
                                                                engine::WordKind kind) = 0;
  // A number that changes whenever another program (or another connection of this one) has
  // registered, changed or removed a learned word since the last call; cheap enough to ask
  // often. Counting a use need not change it.
  virtual DbResult<int64_t> DataVersion() = 0;
  // Adds a learned word for `scope` (0: every region, else a region number) unless the same
  // four values are registered already, in one transaction.
  virtual DbResult<Registration> RegisterLearnedWord(int32_t scope, engine::WordKind kind,
                                                     const std::u16string& registeredWord,
                                                     const std::u16string& convertedWord) = 0;

  // The dictionary editor: the rows a search selects, in table order; a row stored (inserted
  // when its rowId is 0, else written over the row of that id, which must still exist), giving
  // its row id; a row deleted (one already gone is no failure).
  virtual DbResult<std::vector<LearningDictRow>> SearchLearnedRows(
      const LearningDictSearch& search) = 0;
  virtual DbResult<int64_t> StoreLearnedRow(const LearningDictRow& row) = 0;
  virtual DbStatus DeleteLearnedRow(int64_t rowId) = 0;

  // Replaces every row of the three tables by `content`, row ids included, in one transaction.
  virtual DbStatus ReplaceContent(const MainContent& content) = 0;
};

// The editor stored a row that another program deleted since it was read: nothing was stored.
DbError LearnedRowGone();

// The whole content of `store`, every learned word of every kind included.
DbResult<MainContent> ReadMainContent(MainStore& store);

// 都道府県名 in table order (at most 50 rows), each name completed by its type.
DbResult<std::vector<engine::Prefecture>> ReadPrefectures(MainStore& store);
// The region names (fldDbName of ＤＢ一覧) in table order.
DbResult<std::vector<std::u16string>> ReadRegionList(MainStore& store);
// fldID of the first region named `name` (ASCII letter case ignored) in ＤＢ一覧; 0 when none.
DbResult<int16_t> RegionNumber(MainStore& store, const std::u16string& name);

// The editor's keyword as a LIKE pattern (escape character \) matching it anywhere, its own
// wildcards taken literally.
std::u16string ContainsPattern(const std::u16string& keyword);

// The where clause of the editor's search (with " where"): scope, then kind, then keyword, joined
// by "and" as the editor builds them. `region()` gives the region number's parameter and
// `like(column)` the keyword's condition on a column, each in its store's SQL; each is asked only
// when the search uses it, region first.
std::string LearnedSearchClause(const LearningDictSearch& search,
                                const std::function<std::string()>& region,
                                const std::function<std::string(const char* column)>& like);

}  // namespace mok::db
