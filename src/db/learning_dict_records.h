// The row set behind the learning-dictionary editor: the rows of 学習 that a search selects,
// held in memory in table order, with the changes the editor makes to them (store one row, add
// a row, delete a row) written straight to the main database, whether a file or a server
// (main_store.h). 学習 has no key of its own, so a row is identified by the store's row id.
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

#include "db/main_store.h"
#include "result/db_result.h"

namespace mok::db {

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

  // Opens the main database named `name` (a file, which must exist, or a server): see
  // OpenMainStore.
  DbStatus Open(const std::u16string& name);
  bool IsOpen() const { return store_ != nullptr; }

  // The region list in table order.
  DbResult<std::vector<DictRegion>> ReadRegions();

  // Replaces the row set with the rows the search selects.
  DbStatus Search(const LearningDictSearch& search);

  int32_t Count() const { return static_cast<int32_t>(rows_.size()); }
  const LearningDictRow& Row(int32_t index) const { return rows_.at(static_cast<size_t>(index)); }

  // Appends an empty row that is inserted into 学習 by the first Store of it.
  void AddNew();
  // Writes `row` over the row at `index` (inserting it when it was added and not yet stored).
  // On a failure the row set keeps the row as it was.
  DbStatus Store(int32_t index, const LearningDictRow& row);
  // Deletes the row at `index` from the table and the set. An index outside the set fails with
  // the store's "no current record" error.
  DbStatus Delete(int32_t index);

 private:
  std::unique_ptr<MainStore> store_;
  std::vector<LearningDictRow> rows_;
};

}  // namespace mok::db
