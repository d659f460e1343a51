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
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mok::engine {

// The address split on the field delimiter of the settings, handed out one cleaned field at a
// time. Every address starts with a new Split; the cursor only moves forward.
class AddressFields {
 public:
  // Splits text at every (exact) occurrence of delimiter; empty fields are kept. An empty
  // delimiter gives one field, the whole text. The cursor goes back to the first field.
  void Split(std::u16string_view text, std::u16string_view delimiter);

  // Empties the list (nothing left to hand out).
  void Clear();

  std::size_t Count() const { return count_; }
  bool AtEnd() const { return cursor_ >= count_; }

  // The next field, cleaned: quotes removed, and the spaces removed except those after the number
  // block (「1丁目2番3号 メゾン 101」 keeps its building-name spaces) and those between two
  // numerals. "" once the list is
  // exhausted; the cursor then stays where it is.
  std::u16string NextAddressField();

  // The text as the address wrote it whose cleaned form is `cleanedTail`, the end of the fields
  // handed out so far joined: the spaces the cleaning removed in it are back (and those before
  // it), quotes stay out. The text after the numbers is written out so, as the input had it:
  // 「丸の内2-1-1 三菱ビル」 cleans to 「丸の内2-1-1 三菱ビル」 and 「甲12番地 ビル 2F」 to
  // 「甲12番地ビル2F」, whose end 「ビル2F」 was written 「 ビル 2F」. A text that is no such end
  // is answered as it is.
  std::u16string WrittenTail(std::u16string_view cleanedTail) const;

 private:
  static std::u16string Clean(const std::u16string& raw);
  // The last `length` cleaned characters of field `index`, as written.
  std::u16string WrittenEnd(std::size_t index, std::size_t length) const;

  // Entries beyond count_ keep their buffers for the next address.
  std::vector<std::u16string> fields_;
  std::size_t count_ = 0;
  std::size_t cursor_ = 0;  // index of the next field to hand out
};

// text without any quote (" ' ’, full-width forms included) or space (ASCII or ideographic)
// character, trimmed.
std::u16string StripQuotesAndSpaces(std::u16string_view text);

// A maximal run of numeral characters: 1-based start and length.
struct NumeralRun {
  int16_t start = 0;
  int16_t length = 0;
  int16_t End() const { return static_cast<int16_t>(start + length - 1); }  // last position
};

// The numeral runs of a text, at most 10. Runs after the tenth are not recorded, so the text after
// the tenth run reads as plain text.
inline constexpr std::size_t kMaxNumeralRuns = 10;
struct NumeralRuns {
  std::array<NumeralRun, kMaxNumeralRuns> runs{};
  std::size_t count = 0;
  const NumeralRun& operator[](std::size_t i) const { return runs[i]; }
};

// Records the numeral runs of text from 1-based position start to the end. Only the first 32767
// characters are scanned (positions are 16-bit).
NumeralRuns FindNumeralRuns(std::u16string_view text, std::size_t start = 1);

// The number block of a field: 1-based positions of its first and last character.
struct NumberBlock {
  int16_t start = 0;
  int16_t end = 0;
};

// Finds the number block of a field: the numbers from the first one followed by a form of 丁目,
// a separator or nothing but spaces (numerals before it, as the 千 of 千代田区, are passed over),
// to the first number not followed by the word of the next level. For 「1丁目2番3号ビル」 the block
// is 「1丁目2番3」 (1 to 6). nullopt when there is no block (「12番地」, or no numeral); a block
// of 0 to 0 when the first number ends the text (「丸の内 1」).
std::optional<NumberBlock> FindNumberBlock(std::u16string_view text);

// True when text equals a spelling of level word `level` (1 丁目, 2 番地, 3 号; any other level
// has none) or a separator; an empty text is always true. Exact comparison: "番" is a level-2
// word, 「番地2」 is not.
bool IsLevelWordOrSeparator(int level, std::u16string_view text);

// The kana part of a text: the text narrowed and cut before its first character that is not
// half-width katakana. 「ﾄｳｷｮｳﾄ1-2」 -> 「ﾄｳｷｮｳﾄ」, firstOther 7, isKana; 「東京都」 -> "", 1, not
// kana.
struct KanaPart {
  std::u16string kana;
  int32_t firstOther = 0;  // 1-based position of the first other character in the narrowed text,
                           // 0 when there is none
  bool isKana = true;      // the text is kana up to its first ASCII digit or its end
};
KanaPart CutKanaPart(std::u16string_view text);

// The oaza name of a town text without the 字 part: a leading 大字 is dropped, then the text is
// cut before a later 大字 or else before a 字. A text beginning with 字 is answered unchanged.
// 「大字甲字乙」 -> 「甲」 with the prefix removed.
struct AzaCut {
  std::u16string oaza;
  bool prefixRemoved = false;  // the text began with 大字
};
AzaCut CutAzaName(std::u16string_view text);

}  // namespace mok::engine
