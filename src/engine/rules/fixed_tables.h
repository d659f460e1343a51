// The fixed tables of the address rules: how numerals, the level words of an address (丁目, 番地,
// 号 in all their spellings), the separators between numbers, the municipality suffixes and the
// removable quote and space characters are written. They are built once, at compile time, and
// only read afterwards; every rule of the engine reads them through LoadFixedNames().
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace mok::engine {

inline constexpr int kNumeralCount = 40;
inline constexpr int kLevelCount = 3;
inline constexpr int kLevelRows = 8;
inline constexpr int kSeparatorCount = 7;
inline constexpr int kPlaceSuffixCount = 5;
inline constexpr int kRemovableCount = 5;

struct FixedTables {
  // The 40 numeral characters: ASCII digits, full-width digits, 零 to 九, then 十 壱 弐 参 拾 百
  // 千 万 萬 〇. numeralValues[i] is the value of numeralChars[i].
  std::u16string_view numeralChars;
  std::array<int16_t, kNumeralCount> numeralValues{};

  // kanjiDigits[d] writes digit d (0 is the full-width digit zero, not a kanji);
  // kanjiUnits[i] is the unit of a digit followed by i digits (1 十, 2 百, 3 千, 4 万).
  std::array<std::u16string_view, 10> kanjiDigits{};
  std::array<std::u16string_view, 5> kanjiUnits{};

  // levelWords[level - 1]: the spellings of level 1 丁目, 2 番地, 3 号; unused rows are empty.
  std::array<std::array<std::u16string_view, kLevelRows>, kLevelCount> levelWords{};

  // The separators between numbers: の ノ － ～ ﾉ - ー.
  std::array<std::u16string_view, kSeparatorCount> numberSeparators{};

  // In search order: 市 区 郡 町 村.
  std::array<std::u16string_view, kPlaceSuffixCount> placeSuffixes{};

  // The quote characters, then the two spaces.
  std::array<std::u16string_view, kRemovableCount> removableChars{};

  // Written in front of the first conversion-log entry of an output row.
  std::u16string_view logLabel;
};

// The tables, built once and read-only. Calling it again returns the same tables.
const FixedTables& LoadFixedNames();

}  // namespace mok::engine
