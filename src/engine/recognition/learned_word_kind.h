// The kind a word learned from a correction gets: the part of the uncorrected address that the
// replaced word belongs to. The learning dictionary looks up municipality words at the city step
// and town words at the town step, so the kind decides where the word applies.
//
//   東京都渋谷区はち山1-1, word はち山 -> Town; word 渋谷 -> City; word 東京 -> Prefecture
#pragma once

#include <optional>
#include <string_view>

#include "engine/address_store.h"
#include "engine/recognition/recognizer.h"

namespace mok::engine {

// The kind of `word` from the parts of the uncorrected address (as SplitAddress found them): the
// first of prefecture, municipality and town name that overlaps it, one containing the other
// (letter case, width and kana type ignored); nullopt when none does or the word is empty.
std::optional<WordKind> LearnedWordKind(const AddressParts& parts, std::u16string_view word);

// Whether a word of `kind` replaced by `replacement` can ever apply. A learned word is looked up
// only where its part is not found; when the uncorrected address has that part, the replacement
// must stay within the same part of the corrected address. 足立区 → 足立区中川三丁目29番24号 (the
// address 足立区 of a 住所1 field) spills over the municipality into the town and numbers: 足立区
// is found as it is, so the word would never be used. `uncorrected` and `corrected`: the parts
// of the address before and after the replacement.
bool ReplacementStaysInPart(const AddressParts& uncorrected, const AddressParts& corrected,
                            WordKind kind, std::u16string_view replacement);

// The part of an address a word of `kind` belongs to, as the user reads it (市区町村名…).
std::u16string_view PartName(WordKind kind);

}  // namespace mok::engine
