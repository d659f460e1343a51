// The town rows a city step found: the rows of every fitting municipality, in table order,
// held as references to the store's own rows (valid while the address is being recognised), so
// that no row is copied. Iterates as a sequence of TownRow.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

#include "engine/address_store.h"

namespace mok::engine {

class TownCandidates {
 public:
  TownCandidates() = default;
  // Every row of `rows` (rows written by hand, the tests' case); each row's municipality counts.
  TownCandidates(const std::vector<TownRow>& rows);  // NOLINT(google-explicit-constructor)

  // Appends the rows of one municipality.
  void AddMunicipality(std::vector<const TownRow*> rows);
  void Clear() {
    rows_.clear();
    municipalities_ = 0;
  }

  // At least the number of municipalities whose rows are held (1 means exactly one).
  std::size_t Municipalities() const { return municipalities_; }
  bool empty() const { return rows_.empty(); }
  std::size_t size() const { return rows_.size(); }
  const TownRow& front() const { return *rows_.front(); }

  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = TownRow;
    using difference_type = std::ptrdiff_t;
    using pointer = const TownRow*;
    using reference = const TownRow&;
    const_iterator() = default;
    explicit const_iterator(std::vector<const TownRow*>::const_iterator at) : at_(at) {}
    reference operator*() const { return **at_; }
    pointer operator->() const { return *at_; }
    const_iterator& operator++() {
      ++at_;
      return *this;
    }
    const_iterator operator++(int) { return const_iterator(at_++); }
    bool operator==(const const_iterator&) const = default;

   private:
    std::vector<const TownRow*>::const_iterator at_;
  };
  const_iterator begin() const { return const_iterator(rows_.begin()); }
  const_iterator end() const { return const_iterator(rows_.end()); }

 private:
  void Add(const TownRow* row);

  std::vector<const TownRow*> rows_;
  std::size_t municipalities_ = 0;
};

// Whether two rows are of one municipality (prefecture and municipality, letter case ignored).
bool SameMunicipality(const TownRow& a, const TownRow& b);

// The rows (any sequence of TownRow) grouped by municipality, in the order of each group's first
// row.
template <class Rows>
std::vector<std::vector<const TownRow*>> GroupByMunicipality(const Rows& rows) {
  std::vector<std::vector<const TownRow*>> groups;
  for (const TownRow& row : rows) {
    auto group = std::find_if(groups.begin(), groups.end(),
                              [&](const auto& g) { return SameMunicipality(*g.front(), row); });
    if (group == groups.end())
      groups.push_back({&row});
    else
      group->push_back(&row);
  }
  return groups;
}

}  // namespace mok::engine
