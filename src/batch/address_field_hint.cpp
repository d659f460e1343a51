#include "batch/address_field_hint.h"

#include "text/text.h"

namespace mok::batch {

std::u16string FieldsName(const std::vector<int32_t>& fields,
                          const std::vector<std::u16string>& headings) {
  std::u16string names;
  for (const int32_t field : fields) {
    if (!names.empty())
      names += u"と";
    names += text::FromUtf8(std::to_string(static_cast<int64_t>(field) + 1)) + u"番目のフィールド";
    const auto index = static_cast<std::size_t>(field);
    if (field >= 0 && index < headings.size() && !text::Trim(headings[index]).empty())
      names += u"（見出し「" + text::Trim(headings[index]) + u"」）";
  }
  return names;
}

std::optional<std::u16string> AddressFieldHint(const RunFiles& run, const AddressSigns& signs) {
  const auto sample = SampleInput(run.inputPath, run.startRow, run.inputEncoding);
  if (!sample || run.addressFields.empty())
    return std::nullopt;
  const auto proposal = ProposeAddressFields(*sample, signs);
  if (proposal && proposal->fields == run.addressFields)
    return std::nullopt;
  const int64_t chosenPoints = PointsOf(*sample, run.addressFields, signs);
  if (proposal ? proposal->points <= chosenPoints : chosenPoints > 0)
    return std::nullopt;
  std::u16string hint = u"住所フィールドに指定した" +
                        FieldsName(run.addressFields, sample->headings) +
                        (chosenPoints > 0 ? u"には住所らしい文字列がわずかしかありません。"
                                          : u"には住所らしい文字列がありません。");
  if (proposal)
    hint += u"住所は" + FieldsName(proposal->fields, sample->headings) + u"にあるようです。";
  return hint +
         u"\r\n住所フィールドは、メイン画面の「住所フィールド」欄で番号を指定するか、"
         u"「プレビュー」で住所の列を選んで「登録」を押して指定して下さい"
         u"（mok2 convert では -f で指定します）。";
}

}  // namespace mok::batch
