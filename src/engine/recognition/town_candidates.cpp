#include "engine/recognition/town_candidates.h"

#include "text/nocase.h"

namespace mok::engine {

TownCandidates::TownCandidates(const std::vector<TownRow>& rows) {
  for (const TownRow& row : rows)
    Add(&row);
}

void TownCandidates::AddMunicipality(std::vector<const TownRow*> rows) {
  for (const TownRow* row : rows)
    Add(row);
}

void TownCandidates::Add(const TownRow* row) {
  // A row of another municipality than the one before starts a run of rows; rows of one
  // municipality that are not together count more than once, which only costs a closer look.
  const TownRow* previous = rows_.empty() ? nullptr : rows_.back();
  if (previous == nullptr || !text::EqualsNoCase(previous->city, row->city) ||
      !text::EqualsNoCase(previous->prefecture, row->prefecture)) {
    ++municipalities_;
  }
  rows_.push_back(row);
}

}  // namespace mok::engine
