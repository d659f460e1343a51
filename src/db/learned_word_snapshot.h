// The learned words of a server's dictionary as a run last read them, so that the words keep
// applying when the server goes away during the run, as they do from a main database in a
// folder that cannot be written. It answers as the server does: the registered word is a
// prefix of the word (ASCII letter case ignored), the region's own words before the common
// ones, then the most used, then the oldest. Counts stored while the server was there are
// added here too, so the order after it went away is the order the dictionary then had.
//
//   snapshot.Replace(rows);                      // 札幌 -> 札幌市 (city, common, 3 uses) ...
//   snapshot.Find(5, WordKind::City, u"札幌中央区")  // the row 札幌 -> 札幌市
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/main_store.h"
#include "engine/address_store.h"

namespace mok::db {

class LearnedWordSnapshot {
 public:
  // Holds `rows` (of any kind and scope) in place of what it held.
  void Replace(std::vector<LearningDictRow> rows);
  // A word registered since.
  void Add(LearningDictRow row);
  // One more use of the word `id`, stored in the server.
  void Counted(int64_t id);

  std::optional<engine::LearnedWord> Find(int16_t region, engine::WordKind kind,
                                          std::u16string_view word) const;
  std::vector<std::u16string> RegisteredWords(int16_t region, engine::WordKind kind) const;

 private:
  std::vector<LearningDictRow> rows_;  // in row id order
};

}  // namespace mok::db
