// Which prefecture an address begins with, by its kanji name (東京都千代田区…) or, for addresses
// written as a katakana reading, by its katakana name and type reading (ﾄｳｷｮｳﾄﾁﾖﾀﾞｸ…). Letter
// case, width and kana type are ignored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/address_store.h"

namespace mok::engine {

struct PrefectureMatch {
  std::u16string name;  // the stored name, "" when none matched
  int32_t next = 1;     // 1-based position after the name in the text (1 when none matched)
};

// The first prefecture, in list order, whose name begins the text (a text that is itself the
// beginning of a name also matches: 「東京」 finds 東京都).
PrefectureMatch FindPrefecture(std::u16string_view text, const std::vector<Prefecture>& list);

// The first prefecture whose katakana name begins the text, followed by its type's reading when
// written (ﾄｳｷｮｳ or ﾄｳｷｮｳﾄ).
PrefectureMatch FindPrefectureByKana(std::u16string_view text, const std::vector<Prefecture>& list);

}  // namespace mok::engine
