// The fixed tables of the address rules: how numerals, the level words of an address (丁目, 番地,
// 号 in all their spellings), the separators between numbers, the municipality suffixes and the
// removable quote and space characters are written. They are built once, at compile time, and
// only read afterwards; every rule of the engine reads them through LoadFixedNames().
//
// Tables that the address rules number from 1 keep that numbering: index 0 is unused (empty or
// zero), so NumberSeparators[1] is "の" and LevelWords[2][1] is "番地". KanjiDigits is numbered
// from 0 (the digit itself).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace mok::engine {

inline constexpr int kNumeralCount = 40;
inline constexpr int kLevelCount = 3;
inline constexpr int kLevelRows = 12;
inline constexpr int kSeparatorCount = 10;
inline constexpr int kPlaceSuffixCount = 5;
inline constexpr int kRemovableCount = 10;

struct FixedTables {
  // The 40 numeral characters: ASCII digits, full-width digits, 零 to 九, then 十 壱 弐 参 拾 百
  // 千 万 萬 〇. NumeralValues[i] is the value of NumeralChars position i (1-based).
  std::u16string_view NumeralChars;
  std::array<int16_t, kNumeralCount + 1> NumeralValues{};

  // KanjiDigits[d] writes digit d (0 is the full-width digit zero, not a kanji);
  // KanjiUnits[i] is the unit of a digit followed by i digits (1 十, 2 百, 3 千, 4 万).
  std::array<std::u16string_view, 10> KanjiDigits{};
  std::array<std::u16string_view, 5> KanjiUnits{};

  // LevelWords[level][row]: level 1 丁目, 2 番地, 3 号; rows 1 to 12, empty cells kept. Level 0
  // exists and holds only empty cells.
  std::array<std::array<std::u16string_view, kLevelRows + 1>, kLevelCount + 1> LevelWords{};

  // Entries 1 to 10; 8 to 10 are empty.
  std::array<std::u16string_view, kSeparatorCount + 1> NumberSeparators{};

  // Entries 1 to 5, in search order: 市 区 郡 町 村.
  std::array<std::u16string_view, kPlaceSuffixCount + 1> PlaceSuffixes{};

  // Entries 1 to 10; 1 to 3 are quote characters, 4 and 5 the two spaces, 6 to 10 empty.
  std::array<std::u16string_view, kRemovableCount + 1> RemovableChars{};

  // Written in front of the first conversion-log entry of an output row.
  std::u16string_view LogLabel;
};

// The tables, built once and read-only. Calling it again returns the same tables.
const FixedTables& LoadFixedNames();

}  // namespace mok::engine
