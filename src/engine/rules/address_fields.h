// The field list of the address being recognised, the cleaning of its fields (quotes and the
// spaces that belong to no part of the address), the number block that decides which spaces stay,
// and the small text tests the recognition steps and the town lookup share.
//
// Positions are 1-based. Searching for a character or text ignores letter case, width and kana
// type; equality with the fixed tables is exact.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/rules/address_result.h"

namespace mok::engine {

// The address split on the field delimiter of the settings, handed out one cleaned field at a
// time. Every address starts with a new Split; the cursor only moves forward.
class AddressFields {
 public:
  std::vector<std::u16string> Fields;
  int32_t FieldCount = 0;
  int32_t FieldCursor = 0;  // 0-based index of the next field to hand out

  // Splits text at every (exact) occurrence of delimiter; empty fields are kept. An empty
  // delimiter gives one field, the whole text. The cursor goes back to the first field.
  void Split(std::u16string_view text, std::u16string_view delimiter);

  // Empties the list (nothing left to hand out).
  void Clear();

  bool AtEnd() const { return FieldCursor >= FieldCount; }

  // The next field, cleaned: quotes removed, and the spaces removed except those after the number
  // block (「1丁目2番3号 メゾン 101」 keeps its building-name spaces). "" once the list is
  // exhausted; the cursor then stays where it is.
  std::u16string NextAddressField();

 private:
  std::size_t used_ = 0;  // entries of Fields in use; the rest keep their buffers for reuse
};

// text without any quote (" ' ’, full-width forms included) or space (ASCII or ideographic)
// character, trimmed.
std::u16string StripQuotesAndSpaces(std::u16string_view text);

// A maximal run of numeral characters: 1-based start and length.
struct NumeralRun {
  int16_t Start = 0;
  int16_t Length = 0;
  int16_t End() const { return static_cast<int16_t>(Start + Length - 1); }  // last position
};

// The numeral runs of a text, at most 10: Runs[1] to Runs[Count] (Runs[0] unused). Runs after
// the tenth are not recorded, so the text after the tenth run reads as plain text.
inline constexpr int kMaxNumeralRuns = 10;
struct NumeralRuns {
  std::array<NumeralRun, kMaxNumeralRuns + 1> Runs{};
  int16_t Count = 0;
};

// Records the numeral runs of text from 1-based position start to the end. Only the first 32767
// characters are scanned (positions are 16-bit).
NumeralRuns FindNumeralRuns(std::u16string_view text, std::size_t start = 1);

// Finds the number block of a field: the numbers from the first one followed by a form of 丁目,
// a separator or nothing but spaces (numerals before it, as the 千 of 千代田区, are passed over),
// to the first number not followed by the word of the next level. For 「1丁目2番3号ビル」 the block
// is 「1丁目2番3」 (1 to 6). False when there is no block (「12番地」, or no numeral). True without
// touching blockStart and blockEnd when the first number ends the text (「丸の内 1」).
bool FindNumberBlock(std::u16string_view text, int16_t& blockStart, int16_t& blockEnd);

// True when text equals a level word of column level (0 to 3; 0 and other values have only
// empty cells) or a separator; an empty text is always true. Exact comparison: "番" is a level-2
// word, 「番地2」 is not.
bool IsLevelWordOrSeparator(int16_t level, std::u16string_view text);

// Narrows text and cuts it before its first character that is not half-width katakana. True when
// that character is an ASCII digit or there is none (the text is kana up to its first digit or
// its end). firstOther is its 1-based position in the narrowed text, 0 when there is none.
// 「ﾄｳｷｮｳﾄ1-2」 -> 「ﾄｳｷｮｳﾄ」, 7, true; 「東京都」 -> "", 1, false.
bool CutKanaPart(std::u16string& text, int32_t& firstOther);

// The oaza name of a town text without the 字 part. A leading 大字 is removed from text itself
// (and result.OazaPrefixRemoved set); the answer is the text before a later 大字 or else before a
// 字. A text beginning with 字 is answered unchanged. 「大字甲字乙」 -> text 「甲字乙」, 「甲」.
std::u16string CutAzaName(std::u16string& text, AddressResult& result);

}  // namespace mok::engine
