// The row set behind the learning-dictionary editor: the rows of 学習 that a search selects,
// held in memory in table order, with the changes the editor makes to them (store one row, add
// a row, delete a row) written straight to the main database. 学習 has no key of its own, so a
// row is identified by the store's row id.
//
// The search keeps the meaning of the editor's record source ("select * from 学習 where ..."),
// but the keyword goes in as a bound parameter with its wildcard characters escaped, so a
// keyword such as 'O'Hare' or "50%" matches literally.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "result/db_result.h"

namespace mok::db {

class Connection;

// Which word the keyword is searched in.
enum class KeywordField { Registered, Converted, Either };

struct LearningDictSearch {
  bool commonOnly = false;                         // fldDbNo = 0
  std::optional<int32_t> regionNo = std::nullopt;  // fldDbNo = region (ignored when commonOnly)
  bool city = true;                                // fldType = 2
  bool town = false;                               // fldType = 3
  std::u16string keyword = u"";                    // substring of the chosen word; "" for none
  KeywordField field = KeywordField::Registered;
};

// One row of 学習 as the editor sees it; Null columns are nullopt.
struct LearningDictRow {
  int64_t rowId = 0;                             // 0 for a row added but not yet stored
  std::optional<int32_t> scope;                  // fldDbNo: region number, 0 for all regions
  std::optional<int32_t> kind;                   // fldType: 2 city, 3 town
  std::optional<std::u16string> registeredWord;  // fld登録字句
  std::optional<std::u16string> convertedWord;   // fld変換字句
  std::optional<int64_t> referenceCount;         // fld参照回数
};

// One entry of the region list ＤＢ一覧.
struct DictRegion {
  std::u16string name;  // fldDbName
  std::u16string id;    // fldID as text
};

class LearningDictRecords {
 public:
  LearningDictRecords();
  ~LearningDictRecords();
  LearningDictRecords(const LearningDictRecords&) = delete;
  LearningDictRecords& operator=(const LearningDictRecords&) = delete;

  // Opens the main database file at `path` (which must exist).
  DbStatus Open(const std::u16string& path);
  bool IsOpen() const { return connection_ != nullptr; }

  // The region list in table order.
  DbResult<std::vector<DictRegion>> ReadRegions();

  // Replaces the row set with the rows the search selects.
  DbStatus Search(const LearningDictSearch& search);

  int32_t Count() const { return static_cast<int32_t>(rows_.size()); }
  const LearningDictRow& Row(int32_t index) const { return rows_.at(static_cast<size_t>(index)); }

  // Appends an empty row that is inserted into 学習 by the first Store of it.
  void AddNew();
  // Writes `row` over the row at `index` (inserting it when it was added and not yet stored).
  DbStatus Store(int32_t index, const LearningDictRow& row);
  // Deletes the row at `index` from the table and the set. An index outside the set fails with
  // the store's "no current record" error.
  DbStatus Delete(int32_t index);

 private:
  std::unique_ptr<Connection> connection_;
  std::vector<LearningDictRow> rows_;
};

}  // namespace mok::db
