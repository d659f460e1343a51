// Cleaning the fields of an address.
//
// Quotes are always removed (they would break the queries made with the text). Spaces are removed
// too, except in a building name after the numbers: 「東京都 千代田区 丸の内1丁目2番3号 ビル 1階」
// becomes 「東京都千代田区丸の内1丁目2番3号ビル 1階」. Where the numbers end is decided by the
// number block: the run of numbers joined by the level words 丁目, 番地, 号 (in any spelling) or
// by separators such as の and -, beginning at the first number followed by a form of 丁目, a
// separator or only spaces (numerals inside the names before it, as in 千代田区, are passed
// over). Spaces are removed from the left, one at a time, until one lies
// beyond the block end (measured in the untrimmed field); that space and every later one stay.
#include "engine/rules/address_fields.h"

#include <algorithm>
#include <limits>

#include "engine/rules/fixed_tables.h"
#include "engine/rules/numerals.h"
#include "text/text.h"

namespace mok::engine {
namespace {

// RemovableChars entries 4 and 5 are the two spaces, which stop at the number block end.
constexpr int kFirstSpaceEntry = 4;
constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();
constexpr std::size_t kMaxScanned = std::numeric_limits<int16_t>::max();

// Removes the removable characters from work, entry by entry in table order, up to the first
// empty entry. Each entry removes its first occurrence (ignoring case, width and kana type) over
// and over; a space entry stops at the first occurrence whose position in work at that moment is
// beyond spaceLimit. One compacting pass per entry does the same as the repeated deletions: the
// position of an occurrence after the earlier deletions is the count of characters kept before it,
// plus one.
void RemoveChars(std::u16string& work, std::size_t spaceLimit) {
  const FixedTables& tables = LoadFixedNames();
  for (int entry = 1; entry <= kRemovableCount; ++entry) {
    const std::u16string_view removable = tables.RemovableChars[entry];
    if (removable.empty())
      break;
    const char16_t target = text::FoldChar(removable.front());
    const std::size_t limit = entry >= kFirstSpaceEntry ? spaceLimit : kNoLimit;
    const std::size_t n = work.size();
    std::size_t kept = 0;
    std::size_t read = 0;
    for (; read < n; ++read) {
      const char16_t c = work[read];
      if (text::FoldChar(c) == target) {
        if (kept + 1 > limit)
          break;
        continue;
      }
      work[kept++] = c;
    }
    if (read < n) {
      std::copy(work.begin() + static_cast<std::ptrdiff_t>(read), work.end(),
                work.begin() + static_cast<std::ptrdiff_t>(kept));
      kept += n - read;
    }
    work.resize(kept);
  }
}

}  // namespace

void AddressFields::Split(std::u16string_view text, std::u16string_view delimiter) {
  std::size_t count = 1;
  if (!delimiter.empty()) {
    for (std::size_t pos = text.find(delimiter); pos != std::u16string_view::npos;
         pos = text.find(delimiter, pos + delimiter.size())) {
      ++count;
    }
  }
  // assign() keeps the buffers of the previous address's fields.
  Fields.resize(count);
  std::size_t begin = 0;
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t end = delimiter.empty() ? std::u16string_view::npos : text.find(delimiter, begin);
    if (end == std::u16string_view::npos)
      end = text.size();
    Fields[i].assign(text.substr(begin, end - begin));
    begin = end + delimiter.size();
  }
  FieldCount = static_cast<int32_t>(count);
  FieldCursor = 0;
}

void AddressFields::Clear() {
  Fields.clear();
  FieldCount = 0;
  FieldCursor = 0;
}

std::u16string AddressFields::NextAddressField() {
  if (FieldCursor < 0 || FieldCursor >= FieldCount)
    return {};
  const std::u16string& raw = Fields[static_cast<std::size_t>(FieldCursor)];
  ++FieldCursor;

  std::u16string work = text::Trim(raw);
  int16_t blockStart = 0;
  int16_t blockEnd = 0;
  std::size_t spaceLimit = 0;
  if (FindNumberBlock(raw, blockStart, blockEnd)) {
    spaceLimit = static_cast<std::size_t>(std::max<int16_t>(blockEnd, 0));
  } else {
    spaceLimit = raw.size();
  }
  RemoveChars(work, spaceLimit);
  return text::Trim(work);
}

std::u16string StripQuotesAndSpaces(std::u16string_view text) {
  std::u16string work(text);
  RemoveChars(work, kNoLimit);
  return text::Trim(work);
}

NumeralRuns FindNumeralRuns(std::u16string_view text, std::size_t start) {
  NumeralRuns runs;
  const std::size_t limit = std::min(text.size(), kMaxScanned);
  std::size_t i = start > 0 ? start - 1 : 0;
  while (i < limit) {
    if (!IsNumeralChar(text[i])) {
      ++i;
      continue;
    }
    if (runs.Count == kMaxNumeralRuns)
      break;
    std::size_t j = i + 1;
    while (j < limit && IsNumeralChar(text[j]))
      ++j;
    runs.Runs[static_cast<std::size_t>(++runs.Count)] = {static_cast<int16_t>(i + 1),
                                                         static_cast<int16_t>(j - i)};
    i = j;
  }
  return runs;
}

bool FindNumberBlock(std::u16string_view text, int16_t& blockStart, int16_t& blockEnd) {
  const NumeralRuns runs = FindNumeralRuns(text);
  if (runs.Count == 0)
    return false;
  const std::size_t length = text.size();
  const auto endsText = [length](const NumeralRun& run) {
    return static_cast<std::size_t>(run.Start) + static_cast<std::size_t>(run.Length) > length;
  };
  if (endsText(runs.Runs[1]))
    return true;

  int level = 1;  // the next expected level: 1 丁目, 2 番地, 3 号
  std::u16string previousGap;
  int startRun = 0;
  int endRun = 0;
  for (int k = 1; k <= runs.Count; ++k) {
    const NumeralRun& run = runs.Runs[static_cast<std::size_t>(k)];
    if (endsText(run)) {
      endRun = k;
      break;
    }
    if (level >= 4)
      continue;  // past 号: the number matches nothing
    // The gap runs from just after this run to the next run, or to the end of the text after
    // the last recorded run.
    const std::size_t gapBegin = static_cast<std::size_t>(run.Start + run.Length - 1);
    const std::size_t gapEnd =
        k < runs.Count
            ? static_cast<std::size_t>(runs.Runs[static_cast<std::size_t>(k + 1)].Start - 1)
            : length;
    std::u16string gap = text::Trim(text.substr(gapBegin, gapEnd - gapBegin));

    bool matched = false;
    bool last = false;
    if (IsLevelWordOrSeparator(static_cast<int16_t>(level), gap)) {
      matched = true;
      if (level == 1)
        startRun = k;
    } else if (level == 1) {
      // A numeral inside a name before the numbers (the 千 of 千代田区, the 一 of 一番町) does
      // not end the search: the block begins at the first number followed by a form of 丁目, a
      // separator or only spaces, wherever it stands.
      continue;
    } else if (IsLevelWordOrSeparator(static_cast<int16_t>(level - 1), previousGap)) {
      // previousGap let the walk reach this level, so this always holds: the block ends here.
      endRun = k;
      matched = true;
      last = true;
    }
    if (matched) {
      ++level;
      previousGap = std::move(gap);
    }
    if (last)
      break;
  }
  if (startRun == 0)
    return false;
  blockStart = runs.Runs[static_cast<std::size_t>(startRun)].Start;
  blockEnd = runs.Runs[static_cast<std::size_t>(endRun != 0 ? endRun : runs.Count)].End();
  return true;
}

bool IsLevelWordOrSeparator(int16_t level, std::u16string_view text) {
  const FixedTables& tables = LoadFixedNames();
  if (level >= 1 && level <= kLevelCount) {
    const auto& column = tables.LevelWords[static_cast<std::size_t>(level)];
    for (int row = 1; row <= kLevelRows; ++row) {
      if (column[static_cast<std::size_t>(row)] == text)
        return true;
    }
  } else if (text.empty()) {
    return true;  // level 0 (and any other) has only empty cells
  }
  for (int i = 1; i <= kSeparatorCount; ++i) {
    if (tables.NumberSeparators[static_cast<std::size_t>(i)] == text)
      return true;
  }
  return false;
}

bool CutKanaPart(std::u16string& text, int32_t& firstOther) {
  firstOther = 0;
  bool result = true;
  std::u16string narrow = text::ToNarrow(text);
  for (std::size_t i = 0; i < narrow.size(); ++i) {
    const char16_t c = narrow[i];
    if (c >= u'0' && c <= u'9') {
      firstOther = static_cast<int32_t>(i + 1);
      break;
    }
    // Half-width katakana: ｦ to ﾟ, with the small kana, ｰ and the voicing marks.
    if (c < u'\uFF66' || c > u'\uFF9F') {
      firstOther = static_cast<int32_t>(i + 1);
      result = false;
      break;
    }
  }
  if (firstOther > 0)
    narrow.resize(static_cast<std::size_t>(firstOther - 1));
  text = std::move(narrow);
  return result;
}

std::u16string CutAzaName(std::u16string& text, AddressResult& result) {
  if (text::StartsWithFold(text, u"字"))
    return text;
  if (text::StartsWithFold(text, u"大字")) {
    text.erase(0, 2);
    result.OazaPrefixRemoved = true;
  }
  if (const std::size_t pos = text::InStr(text, u"大字"); pos != 0)
    return text::Left(text, pos - 1);
  if (const std::size_t pos = text::InStr(text, u"字"); pos != 0)
    return text::Left(text, pos - 1);
  return text;
}

}  // namespace mok::engine
