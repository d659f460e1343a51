#include "db/learned_word_snapshot.h"

#include <algorithm>

#include "text/nocase.h"

namespace mok::db {

namespace {

bool Applies(const LearningDictRow& row, int16_t region, engine::WordKind kind) {
  return row.registeredWord && row.kind == static_cast<int32_t>(kind) &&
         (row.scope == 0 || row.scope == region);
}

// Whether `a` comes before `b` in the lookup's order: the higher scope (the region's own before
// the common ones), then the higher count (Null below every count), then the lower row id.
bool Before(const LearningDictRow& a, const LearningDictRow& b) {
  if (a.scope != b.scope)
    return a.scope.value_or(0) > b.scope.value_or(0);
  if (a.referenceCount != b.referenceCount)
    return b.referenceCount < a.referenceCount;  // nullopt compares below every value
  return a.rowId < b.rowId;
}

}  // namespace

void LearnedWordSnapshot::Replace(std::vector<LearningDictRow> rows) {
  rows_ = std::move(rows);
}

void LearnedWordSnapshot::Add(LearningDictRow row) {
  rows_.push_back(std::move(row));
}

void LearnedWordSnapshot::Counted(int64_t id) {
  for (LearningDictRow& row : rows_) {
    if (row.rowId == id)
      row.referenceCount = row.referenceCount.value_or(0) + 1;
  }
}

std::optional<engine::LearnedWord> LearnedWordSnapshot::Find(int16_t region, engine::WordKind kind,
                                                             std::u16string_view word) const {
  const LearningDictRow* best = nullptr;
  for (const LearningDictRow& row : rows_) {
    if (!Applies(row, region, kind))
      continue;
    const std::u16string& registered = *row.registeredWord;
    if (registered.size() > word.size() ||
        !text::EqualsNoCase(word.substr(0, registered.size()), registered))
      continue;
    if (best == nullptr || Before(row, *best))
      best = &row;
  }
  if (best == nullptr)
    return std::nullopt;
  return engine::LearnedWord{best->rowId, *best->registeredWord, best->convertedWord.value_or(u"")};
}

std::vector<std::u16string> LearnedWordSnapshot::RegisteredWords(int16_t region,
                                                                 engine::WordKind kind) const {
  std::vector<std::u16string> words;
  for (const LearningDictRow& row : rows_) {
    if (Applies(row, region, kind))
      words.push_back(*row.registeredWord);
  }
  return words;
}

}  // namespace mok::db
