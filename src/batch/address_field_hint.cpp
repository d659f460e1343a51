#include "batch/address_field_hint.h"

#include <algorithm>
#include <vector>

#include "batch/line_reader.h"
#include "batch/record_fields.h"
#include "batch/record_reader.h"
#include "text/text.h"

namespace mok::batch {
namespace {

// Enough records to tell an address column from the others without reading a large input.
constexpr int kSampledRecords = 200;

std::u16string Number(int64_t n) {
  return text::FromUtf8(std::to_string(n));
}

// "3 番目のフィールド（見出し「住所」）"; without the heading when the input has none.
std::u16string FieldName(int32_t field, const std::vector<std::u16string>& headings) {
  std::u16string name = Number(field + 1) + u"番目のフィールド";
  const auto index = static_cast<std::size_t>(field);
  if (index < headings.size() && !text::Trim(headings[index]).empty())
    name += u"（見出し「" + text::Trim(headings[index]) + u"」）";
  return name;
}

}  // namespace

bool LooksLikeAddress(std::u16string_view text) {
  return text.find_first_of(u"都道府県市区町村郡") != std::u16string_view::npos;
}

std::optional<std::u16string> AddressFieldHint(const RunFiles& run) {
  LineReader input;
  if (!input.Open(run.inputPath, nullptr, run.inputEncoding))
    return std::nullopt;
  std::vector<std::u16string> headings;  // the record before the first one, when there is one
  for (int32_t row = 1; row < run.startRow; ++row) {
    const LineReader::Line line = ReadRecord(input);
    if (line.status != LineReader::Status::Ok)
      return std::nullopt;
    if (row == run.startRow - 1)
      headings = SplitFields(line.text, u",");
  }
  std::vector<int> addressLike;  // per field: the sampled records whose field looks like one
  for (int record = 0; record < kSampledRecords; ++record) {
    const LineReader::Line line = ReadRecord(input);
    if (line.status != LineReader::Status::Ok)
      break;
    const std::vector<std::u16string> fields = SplitFields(line.text, u",");
    addressLike.resize(std::max(addressLike.size(), fields.size()));
    for (std::size_t i = 0; i < fields.size(); ++i)
      addressLike[i] += LooksLikeAddress(fields[i]) ? 1 : 0;
  }
  // The hint is for address fields none of which holds anything like an address.
  for (const int32_t field : run.addressFields) {
    const auto index = static_cast<std::size_t>(field);
    if (field < 0 || index >= addressLike.size() || addressLike[index] > 0)
      return std::nullopt;
  }
  if (run.addressFields.empty())
    return std::nullopt;
  std::u16string hint = u"住所フィールドに指定した" + FieldName(run.addressFields[0], headings) +
                        u"には住所らしい文字列がありません。";
  const auto best = std::max_element(addressLike.begin(), addressLike.end());
  if (*best > 0) {
    hint += u"住所は" + FieldName(static_cast<int32_t>(best - addressLike.begin()), headings) +
            u"にあるようです。";
  }
  return hint +
         u"\r\n住所フィールドは、メイン画面の「住所フィールド」欄で番号を指定するか、"
         u"「プレビュー」で住所の列を選んで「登録」を押して指定して下さい"
         u"（mok2 convert では -f で指定します）。";
}

}  // namespace mok::batch
