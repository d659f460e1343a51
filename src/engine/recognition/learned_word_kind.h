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

}  // namespace mok::engine
