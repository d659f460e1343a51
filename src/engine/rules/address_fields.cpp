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
// A space between two numerals always stays: removed, it would join two numbers into one (the
// room of 「1-2-3 101」 would make the house number 3101).
#include "engine/rules/address_fields.h"

#include <algorithm>
#include <limits>

#include "engine/rules/fixed_tables.h"
#include "engine/rules/numerals.h"
#include "text/text.h"

namespace mok::engine {
namespace {

// removableChars entries 3 and 4 are the two spaces, which stop at the number block end.
constexpr int kFirstSpaceEntry = 3;
constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();
constexpr std::size_t kMaxScanned = std::numeric_limits<int16_t>::max();

// Whether the space at `read` of a text being compacted (its first `kept` characters kept) lies
// between a numeral and the next character that is no space, a numeral too.
bool BetweenNumerals(const std::u16string& work, std::size_t kept, std::size_t read,
                     char16_t space) {
  if (kept == 0 || !IsNumeralChar(work[kept - 1]))
    return false;
  std::size_t next = read + 1;
  while (next < work.size() && text::FoldChar(work[next]) == space)
    ++next;
  return next < work.size() && IsNumeralChar(work[next]);
}

// Removes the removable characters from work, entry by entry in table order. Each entry removes its
// first occurrence (ignoring case, width and kana type) over and over; a space entry stops at the
// first occurrence whose position in work at that moment is beyond spaceLimit. One compacting pass
// per entry does the same as the repeated deletions: the position of an occurrence after the
// earlier deletions is the count of characters kept before it, plus one. With
// `keepBetweenNumerals`, a space between two numerals is no occurrence.
void RemoveChars(std::u16string& work, std::size_t spaceLimit, bool keepBetweenNumerals) {
  const FixedTables& tables = LoadFixedNames();
  for (int entry = 0; entry < kRemovableCount; ++entry) {
    const std::u16string_view removable = tables.removableChars[entry];
    const char16_t target = text::FoldChar(removable.front());
    const bool space = entry >= kFirstSpaceEntry;
    const std::size_t limit = space ? spaceLimit : kNoLimit;
    const std::size_t n = work.size();
    std::size_t kept = 0;
    std::size_t read = 0;
    for (; read < n; ++read) {
      const char16_t c = work[read];
      if (text::FoldChar(c) == target &&
          !(space && keepBetweenNumerals && BetweenNumerals(work, kept, read, target))) {
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
  if (fields_.size() < count)
    fields_.resize(count);
  std::size_t begin = 0;
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t end = delimiter.empty() ? std::u16string_view::npos : text.find(delimiter, begin);
    if (end == std::u16string_view::npos)
      end = text.size();
    // assign() keeps the buffer of the previous address's field.
    fields_[i].assign(text.substr(begin, end - begin));
    begin = end + delimiter.size();
  }
  count_ = count;
  cursor_ = 0;
}

void AddressFields::Clear() {
  count_ = 0;
  cursor_ = 0;
}

std::u16string AddressFields::Clean(const std::u16string& raw) {
  std::u16string work = text::Trim(raw);
  const std::optional<NumberBlock> block = FindNumberBlock(raw);
  const std::size_t spaceLimit =
      block ? static_cast<std::size_t>(std::max<int16_t>(block->end, 0)) : raw.size();
  RemoveChars(work, spaceLimit, true);
  return text::Trim(work);
}

std::u16string AddressFields::NextAddressField() {
  if (cursor_ >= count_)
    return {};
  return Clean(fields_[cursor_++]);
}

std::u16string AddressFields::WrittenTail(std::u16string_view cleanedTail) const {
  // The fields handed out, from the last, until the one the tail begins in; each must end as
  // the tail does.
  std::u16string_view rest = cleanedTail;
  std::size_t first = cursor_;
  std::vector<std::size_t> lengths;  // of the tail in each field from the last
  while (!rest.empty() && first > 0) {
    --first;
    const std::u16string cleaned = Clean(fields_[first]);
    const std::size_t n = std::min(cleaned.size(), rest.size());
    if (std::u16string_view(cleaned).substr(cleaned.size() - n) != rest.substr(rest.size() - n))
      return std::u16string(cleanedTail);
    rest.remove_suffix(n);
    lengths.push_back(n);
  }
  if (!rest.empty())
    return std::u16string(cleanedTail);  // not made of the fields handed out
  std::u16string written;
  for (std::size_t i = lengths.size(); i-- > 0;) {
    if (lengths[i] > 0)
      written += WrittenEnd(cursor_ - 1 - i, lengths[i]);
  }
  return written;
}

std::u16string AddressFields::WrittenEnd(std::size_t index, std::size_t length) const {
  const std::u16string written = text::Trim(fields_[index]);
  // Matched from the end against the field cleaned once more, every written character is the
  // next one kept or one the cleaning removed: quotes anywhere, spaces from the left only, so
  // a removed space never stands after a kept one.
  const std::u16string cleaned = Clean(fields_[index]);
  std::size_t at = written.size();
  std::size_t matched = 0;
  while (matched < length && at > 0) {
    --at;
    if (written[at] == cleaned[cleaned.size() - 1 - matched])
      ++matched;
  }
  // The spaces removed just before the tail belong to it.
  while (at > 0 && text::FoldChar(written[at - 1]) == text::FoldChar(u' '))
    --at;
  std::u16string tail = written.substr(at);
  RemoveChars(tail, 0, false);  // the quotes only: every space stands beyond the limit 0
  return tail;
}

std::u16string StripQuotesAndSpaces(std::u16string_view text) {
  std::u16string work(text);
  RemoveChars(work, kNoLimit, false);
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
    if (runs.count == kMaxNumeralRuns)
      break;
    std::size_t j = i + 1;
    while (j < limit && IsNumeralChar(text[j]))
      ++j;
    runs.runs[runs.count++] = {static_cast<int16_t>(i + 1), static_cast<int16_t>(j - i)};
    i = j;
  }
  return runs;
}

std::optional<NumberBlock> FindNumberBlock(std::u16string_view text) {
  const NumeralRuns runs = FindNumeralRuns(text);
  if (runs.count == 0)
    return std::nullopt;
  const std::size_t length = text.size();
  const auto endsText = [length](const NumeralRun& run) {
    return static_cast<std::size_t>(run.start) + static_cast<std::size_t>(run.length) > length;
  };
  if (endsText(runs[0]))
    return NumberBlock{};

  int level = 1;  // the next expected level: 1 丁目, 2 番地, 3 号
  std::u16string previousGap;
  std::optional<std::size_t> startRun;
  std::optional<std::size_t> endRun;
  for (std::size_t k = 0; k < runs.count; ++k) {
    const NumeralRun& run = runs[k];
    if (endsText(run)) {
      endRun = k;
      break;
    }
    if (level >= 4)
      continue;  // past 号: the number matches nothing
    // The gap runs from just after this run to the next run, or to the end of the text after
    // the last recorded run.
    const std::size_t gapBegin = static_cast<std::size_t>(run.start + run.length - 1);
    const std::size_t gapEnd =
        k + 1 < runs.count ? static_cast<std::size_t>(runs[k + 1].start - 1) : length;
    std::u16string gap = text::Trim(text.substr(gapBegin, gapEnd - gapBegin));

    bool matched = false;
    bool last = false;
    if (IsLevelWordOrSeparator(level, gap)) {
      matched = true;
      if (level == 1)
        startRun = k;
    } else if (level == 1) {
      // A numeral inside a name before the numbers (the 千 of 千代田区, the 一 of 一番町) does
      // not end the search: the block begins at the first number followed by a form of 丁目, a
      // separator or only spaces, wherever it stands.
      continue;
    } else if (IsLevelWordOrSeparator(level - 1, previousGap)) {
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
  if (!startRun)
    return std::nullopt;
  return NumberBlock{runs[*startRun].start, runs[endRun.value_or(runs.count - 1)].End()};
}

bool IsLevelWordOrSeparator(int level, std::u16string_view text) {
  if (text.empty())
    return true;
  const FixedTables& tables = LoadFixedNames();
  if (level >= 1 && level <= kLevelCount) {
    for (const std::u16string_view word : tables.levelWords[static_cast<std::size_t>(level - 1)]) {
      if (!word.empty() && word == text)
        return true;
    }
  }
  for (const std::u16string_view separator : tables.numberSeparators) {
    if (separator == text)
      return true;
  }
  return false;
}

KanaPart CutKanaPart(std::u16string_view text) {
  KanaPart part;
  part.kana = text::ToNarrow(text);
  for (std::size_t i = 0; i < part.kana.size(); ++i) {
    const char16_t c = part.kana[i];
    // Half-width katakana: ｦ to ﾟ, with the small kana, ｰ and the voicing marks.
    const bool digit = c >= u'0' && c <= u'9';
    if (digit || c < u'\uFF66' || c > u'\uFF9F') {
      part.firstOther = static_cast<int32_t>(i + 1);
      part.isKana = digit;
      part.kana.resize(i);
      break;
    }
  }
  return part;
}

AzaCut CutAzaName(std::u16string_view text) {
  if (text::StartsWithFold(text, u"字"))
    return {std::u16string(text), false};
  AzaCut cut;
  if (text::StartsWithFold(text, u"大字")) {
    text.remove_prefix(2);
    cut.prefixRemoved = true;
  }
  if (const std::size_t pos = text::InStr(text, u"大字"); pos != 0)
    cut.oaza = text::Left(text, pos - 1);
  else if (const std::size_t aza = text::InStr(text, u"字"); aza != 0)
    cut.oaza = text::Left(text, aza - 1);
  else
    cut.oaza = text;
  return cut;
}

}  // namespace mok::engine
