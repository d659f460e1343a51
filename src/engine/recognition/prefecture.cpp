#include "engine/recognition/prefecture.h"

#include <algorithm>

#include "text/text.h"

namespace mok::engine {

PrefectureMatch FindPrefecture(std::u16string_view text, const std::vector<Prefecture>& list) {
  if (text.empty())
    return {};
  for (const Prefecture& prefecture : list) {
    const std::u16string_view name = prefecture.name;
    const std::size_t n = std::min(name.size(), text.size());
    if (text::EqualsFold(name.substr(0, n), text.substr(0, n)))
      return {prefecture.name, static_cast<int32_t>(n) + 1};
  }
  return {};
}

PrefectureMatch FindPrefectureByKana(std::u16string_view text,
                                     const std::vector<Prefecture>& list) {
  for (const Prefecture& prefecture : list) {
    const std::u16string_view kana = prefecture.kana;
    if (text.size() < kana.size() || !text::EqualsFold(text.substr(0, kana.size()), kana))
      continue;
    std::size_t pos = kana.size();
    const std::u16string_view suffix = prefecture.kanaSuffix;
    if (text.size() >= pos + suffix.size() &&
        text::EqualsFold(text.substr(pos, suffix.size()), suffix)) {
      pos += suffix.size();
    }
    return {prefecture.name, static_cast<int32_t>(pos) + 1};
  }
  return {};
}

}  // namespace mok::engine
