#include "engine/recognition/learned_word_kind.h"

#include "text/text.h"

namespace mok::engine {

namespace {

// Either text contains the other; an empty part is contained in every non-empty word.
bool Overlaps(std::u16string_view part, std::u16string_view word) {
  return text::InStr(part, word) > 0 || text::InStr(word, part) > 0;
}

}  // namespace

std::optional<WordKind> LearnedWordKind(const AddressParts& parts, std::u16string_view word) {
  // An empty word would be a prefix of every text and rewrite every later lookup, so it belongs
  // to no part.
  if (word.empty())
    return std::nullopt;
  if (!parts.prefecture.empty() && Overlaps(parts.prefecture, word))
    return WordKind::Prefecture;
  if (Overlaps(parts.Municipality(), word))
    return WordKind::City;
  if (Overlaps(parts.townName, word))
    return WordKind::Town;
  return std::nullopt;
}

}  // namespace mok::engine
