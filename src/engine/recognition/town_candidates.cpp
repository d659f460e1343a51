#include "engine/recognition/town_candidates.h"

#include "text/nocase.h"

namespace mok::engine {

TownCandidates::TownCandidates(const std::vector<TownRow>& rows) {
  for (const TownRow& row : rows)
    Add(&row);
}

void TownCandidates::AddMunicipality(std::vector<const TownRow*> rows) {
  if (rows.empty())
    return;
  // The rows of one stored municipality name share it; only a prefecture of the same name
  // (府中市 of 東京都 and of 広島県) starts another run.
  ++municipalities_;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const std::u16string& a = rows[i - 1]->prefecture;
    const std::u16string& b = rows[i]->prefecture;
    if (a != b && !text::EqualsNoCase(a, b))
      ++municipalities_;
  }
  rows_.insert(rows_.end(), rows.begin(), rows.end());
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

bool SameMunicipality(const TownRow& a, const TownRow& b) {
  return text::EqualsNoCase(a.city, b.city) && text::EqualsNoCase(a.prefecture, b.prefecture);
}

}  // namespace mok::engine
