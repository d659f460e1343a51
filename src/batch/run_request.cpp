#include "batch/run_request.h"

#include <limits>

#include "batch/number_text.h"

namespace mok::batch {

std::optional<RequestProblem> CheckRequest(const RunRequest& request) {
  if (request.inputPath.empty())
    return RequestProblem{u"入力ファイルが選択されていません。", InputBox::InputFile};
  if (request.outputPath.empty())
    return RequestProblem{u"出力ファイルが選択されていません。", InputBox::OutputFile};
  const auto startRow = ParseNumber(request.startRow);
  if (!startRow)
    return RequestProblem{u"変換開始行に数値を入力して下さい。", InputBox::StartRow};
  if (RoundHalfEven(*startRow) < 1) {
    return RequestProblem{
        u"変換開始行は1以上の行番号で指定して下さい（1 は1行目から、2 は見出し行"
        u"の次の行から変換します）。",
        InputBox::StartRow};
  }
  return std::nullopt;
}

std::variant<RunNumbers, RequestProblem> ReadRunNumbers(const RunRequest& request) {
  const RequestProblem fieldProblem{
      u"住所フィールドには、住所の入っている列の番号（1、2、…）を入力して下さい。",
      InputBox::AddressField};
  const auto startRow = ParseNumber(request.startRow);
  const auto startRowValue = startRow
                                 ? RoundedInRange(*startRow, std::numeric_limits<int16_t>::min(),
                                                  std::numeric_limits<int16_t>::max())
                                 : std::nullopt;
  if (!startRowValue)
    return RequestProblem{u"変換開始行には32767までの数値を入力して下さい。", InputBox::StartRow};
  RunNumbers numbers{static_cast<int32_t>(*startRowValue), {}};
  for (std::size_t box = 0; box < request.addressFields.size(); ++box) {
    // The first box is always read; a later one only when something is typed in it.
    const std::u16string& text = request.addressFields[box];
    if (box > 0 && text.find_first_not_of(u" \u3000") == std::u16string::npos)
      continue;
    const auto field = ParseNumber(text);
    const auto fieldValue = field ? RoundedInRange(*field, std::numeric_limits<int32_t>::min(),
                                                   std::numeric_limits<int32_t>::max())
                                  : std::nullopt;
    if (!fieldValue)
      return fieldProblem;
    numbers.addressFields.push_back(static_cast<int32_t>(*fieldValue - 1));
  }
  if (numbers.addressFields.empty())
    return fieldProblem;
  return numbers;
}

}  // namespace mok::batch
