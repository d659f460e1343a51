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

namespace {

std::u16string PartOf(const AddressParts& parts, WordKind kind) {
  switch (kind) {
    case WordKind::Prefecture:
      return parts.prefecture;
    case WordKind::City:
      return parts.Municipality();
    case WordKind::Town:
      return parts.townName;
  }
  return {};
}

}  // namespace

bool ReplacementStaysInPart(const AddressParts& uncorrected, const AddressParts& corrected,
                            WordKind kind, std::u16string_view replacement) {
  return PartOf(uncorrected, kind).empty() || text::InStr(PartOf(corrected, kind), replacement) > 0;
}

std::u16string_view PartName(WordKind kind) {
  switch (kind) {
    case WordKind::Prefecture:
      return u"都道府県名";
    case WordKind::City:
      return u"市区町村名";
    case WordKind::Town:
      return u"町名";
  }
  return u"";
}

}  // namespace mok::engine
