#include "db/learning_dict_records.h"

#include <string>

#include "db/main_store_open.h"

namespace mok::db {

namespace {

// The store's "no current record" failure (deleting or storing where there is no row).
DbError NoCurrentRecord() {
  return MakeError(u"カレント レコードがありません。", 3021);
}

std::u16string IdText(const std::optional<int64_t>& id) {
  if (!id)
    return {};
  const std::string digits = std::to_string(*id);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

LearningDictRecords::LearningDictRecords() = default;
LearningDictRecords::~LearningDictRecords() = default;

DbStatus LearningDictRecords::Open(const std::u16string& name) {
  auto opened = OpenMainStore(name);
  if (!opened)
    return opened.error();
  store_ = std::move(*opened);
  return {};
}

DbResult<std::vector<DictRegion>> LearningDictRecords::ReadRegions() {
  if (!store_)
    return NoCurrentRecord();
  auto rows = store_->ReadRegionRows();
  if (!rows)
    return rows.error();
  std::vector<DictRegion> regions;
  for (const StoredRegion& row : *rows)
    regions.push_back({row.name.value_or(u""), IdText(row.id)});
  return regions;
}

DbStatus LearningDictRecords::Search(const LearningDictSearch& search) {
  if (!store_)
    return NoCurrentRecord();
  auto rows = store_->SearchLearnedRows(search);
  if (!rows)
    return rows.error();
  rows_ = std::move(*rows);
  return {};
}

void LearningDictRecords::AddNew() {
  rows_.push_back(LearningDictRow{});
}

DbStatus LearningDictRecords::Store(int32_t index, const LearningDictRow& row) {
  if (!store_ || index < 0 || index >= Count())
    return NoCurrentRecord();
  LearningDictRow& target = rows_[static_cast<size_t>(index)];
  LearningDictRow stored = row;
  stored.rowId = target.rowId;
  auto rowId = store_->StoreLearnedRow(stored);
  if (!rowId)
    return rowId.error();
  target = std::move(stored);
  target.rowId = *rowId;
  return {};
}

DbStatus LearningDictRecords::Delete(int32_t index) {
  if (!store_ || index < 0 || index >= Count())
    return NoCurrentRecord();
  const auto at = rows_.begin() + index;
  if (at->rowId != 0) {
    if (DbStatus done = store_->DeleteLearnedRow(at->rowId); !done)
      return done;
  }
  rows_.erase(at);
  return {};
}

}  // namespace mok::db
