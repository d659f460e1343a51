// Which field of an input holds the address, found from the records themselves, so that a new
// input converts on its address field without the user knowing its number.
//
// The rule. Every value of a sample of records (up to the first 200 from the start row) earns a
// point for each sign of an address it shows (AddressSigns):
//   - a prefecture name (東京都);
//   - a municipality name of the region (千代田区, 町田市, さいたま市, 瑞穂町);
//   - numbers in address form: a number written right after a kanji or kana (one space between
//     allowed) and followed by 丁目, 番, 番地, 号, の or a hyphen and a further number
//     (丸の内1-1-1, 程久保685-18, 大沢1丁目2の17, 谷在家2丁目8番1号), or a kanji number before
//     丁目 (中川三丁目). A number that begins with 0 never counts (telephone numbers 03-1234-5678),
//     nor one without a letter before it (postal codes 100-0001).
// The field whose values earn the most points is the address field (a tie goes to the earlier
// field). A surname earns nothing although it holds 村, 町 or 市: 中村, 町田 and 市川 are no
// municipality names (中村区, 町田市 and 市川市 are). No field is proposed when fewer than a fifth
// of the sampled records have a value that earns a point in it.
//
// An address over two fields (住所1 東京都日野市 + 住所2 程久保685-18, or 住所1 東京都 + 住所2
// 千代田区丸の内1-1-1): the best field joined with the field after it (or before it) as a run joins
// them is scored again, and the two fields are proposed, in order, when the joined values earn at
// least half a point per sampled record more than the best field alone.
//
// Example: for the lines 番号,氏名,住所 / 1,中村 さくら,東京都町田市森野2-2-22 /
// 2,木村 健一,千代田区丸の内1-1-1, the field 氏名 earns nothing, 住所 earns 3 + 2 points: the
// proposal is the field 3 (index 2).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "text/encoding.h"

namespace mok::batch {

// The names that make a value look like an address.
struct PlaceNames {
  std::vector<std::u16string> prefectures;     // 東京都, 北海道 …
  std::vector<std::u16string> municipalities;  // as a region stores them: 千代田区,
                                               // 西多摩郡瑞穂町, さいたま市中央区
};

// The signs of an address in one value, by the names of `PlaceNames`.
class AddressSigns {
 public:
  explicit AddressSigns(const PlaceNames& names);
  // 0 to 3: one point each for a prefecture name, a municipality name and numbers in address
  // form.
  int Points(std::u16string_view value) const;

 private:
  bool HasMunicipality(std::u16string_view value) const;
  std::vector<std::u16string> prefectures_;
  // Every municipality name, and its parts when it holds a county or a city's ward
  // (西多摩郡瑞穂町: also 瑞穂町; さいたま市中央区: also さいたま市 and 中央区).
  std::unordered_set<std::u16string> municipalities_;
  std::size_t longestMunicipality_ = 0;
};

// The records an input begins with, split into their fields.
struct InputSample {
  std::vector<std::u16string> headings;  // the record before the start row, empty without one
  std::vector<std::vector<std::u16string>> records;
  std::optional<text::Encoding> encoding;  // the input's, as read
};

// Enough records to tell the address field from the others without reading a large input.
inline constexpr int kSampledRecords = 200;

// The first records from the 1-based `startRow` (a start row of 1 or less has no headings);
// nullopt when the input cannot be opened or ends before the start row.
std::optional<InputSample> SampleInput(const std::u16string& path, int32_t startRow,
                                       std::optional<text::Encoding> encoding = std::nullopt);

struct FieldProposal {
  std::vector<int32_t> fields;  // 0-based, one field or two in order
  int64_t points = 0;           // earned by the fields joined, over the sample
};

// The points the values of `fields` (0-based), joined in order as a run joins them, earn over
// the sample; fields a record lacks are empty.
int64_t PointsOf(const InputSample& sample, const std::vector<int32_t>& fields,
                 const AddressSigns& signs);

// The proposal for the sample by the rule above; nullopt when no field looks like addresses.
std::optional<FieldProposal> ProposeAddressFields(const InputSample& sample,
                                                  const AddressSigns& signs);

// The fields as the address field boxes take them: 1-based numbers, "" for a box not used.
std::vector<std::u16string> FieldBoxTexts(const std::vector<int32_t>& fields, std::size_t boxes);

}  // namespace mok::batch
