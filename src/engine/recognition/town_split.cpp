#include "engine/recognition/town_split.h"

#include <algorithm>
#include <string>

#include "engine/rules/address_fields.h"
#include "engine/rules/fixed_tables.h"
#include "engine/rules/numerals.h"
#include "text/text.h"

namespace mok::engine {

namespace {

// Fixed terms of this code are town names that begin with numeral characters.
constexpr int16_t kTownTermCode = 3;

// The number of a run: its value in full-width decimal digits; nullopt when the numeral rules
// cannot read it (「十万」, 「百万」, a value beyond the 32-bit range).
std::optional<std::u16string> RunNumber(const std::u16string& text, const NumeralRun& run) {
  const int32_t value = NumeralToNumber(std::u16string_view(text).substr(
      static_cast<std::size_t>(run.start - 1), static_cast<std::size_t>(run.length)));
  if (value < 0)
    return std::nullopt;
  return text::ToWide(text::FromUtf8(std::to_string(value)));
}

// The length of the longest level word of the levels from `firstLevel` on that begins `gap`.
std::size_t LevelWordAtStart(std::u16string_view gap, const FixedTables& tables,
                             std::size_t firstLevel = 1) {
  std::size_t longest = 0;
  for (std::size_t level = firstLevel; level <= tables.levelWords.size(); ++level) {
    for (const std::u16string_view word : tables.levelWords[level - 1]) {
      if (!word.empty() && gap.starts_with(word))
        longest = std::max(longest, word.size());
    }
  }
  return longest;
}

bool IsSeparator(std::u16string_view gap, const FixedTables& tables) {
  for (const std::u16string_view separator : tables.numberSeparators) {
    if (gap == separator)
      return true;
  }
  return false;
}

// Whether the gap after a number opens the block: it begins with a level word of any level, or
// it is a separator (an empty gap, spaces only, counts as one).
bool OpensBlock(std::u16string_view gap, const FixedTables& tables) {
  if (LevelWordAtStart(gap, tables) > 0)
    return true;
  return gap.empty() || IsSeparator(gap, tables);
}

}  // namespace

bool BeginsWithLevelWord(std::u16string_view text) {
  return LevelWordAtStart(text, LoadFixedNames()) > 0;
}

TownSplit SplitTownAndNumbers(const std::u16string& text, const std::vector<FixedTerm>& fixedTerms,
                              std::size_t townLength) {
  const FixedTables& tables = LoadFixedNames();
  TownSplit split;
  split.townName = text;

  std::size_t scanStart = 1;
  for (const FixedTerm& term : fixedTerms) {
    if (term.code == kTownTermCode && !term.term.empty() &&
        std::u16string_view(text).substr(0, term.term.size()) == term.term) {
      scanStart = term.term.size() + 1;
      break;
    }
  }
  scanStart = std::max(scanStart, townLength + 1);

  const NumeralRuns runs = FindNumeralRuns(text, scanStart);
  const std::size_t r = runs.count;
  if (r == 0)
    return split;
  const std::size_t length = text.size();

  std::size_t taken = 0;  // numbers stored so far
  auto store = [&](std::size_t k) {
    std::optional<std::u16string> number = RunNumber(text, runs[k]);
    if (!number) {
      // The first two numbers decide the town and the block: one that cannot be read fails
      // the address instead of reading as some other number. A later one is kept as written.
      if (taken < 2)
        split.unreadableNumber = true;
      number = text::ToWide(text::Mid(text, static_cast<std::size_t>(runs[k].start),
                                      static_cast<std::size_t>(runs[k].length)));
    }
    split.numbers[taken++] = std::move(*number);
  };

  // The run that starts the block: the first number followed by a level word or a separator.
  // A number at the very start belongs to the town name.
  std::optional<std::size_t> startRun;
  std::size_t next = 0;
  const std::size_t firstCandidate = runs[0].start == 1 ? 1 : 0;
  for (std::size_t k = firstCandidate; k < r; ++k) {
    const std::size_t after = static_cast<std::size_t>(runs[k].start + runs[k].length);
    if (after > length)
      break;
    const std::size_t gapEnd = k + 1 < r ? static_cast<std::size_t>(runs[k + 1].start) : length + 1;
    const std::u16string gap = text::Trim(text::Mid(text, after, gapEnd - after));
    if (gap.starts_with(u"丁目")) {
      split.chomeInOaza = true;
      split.chomeSuffix = gap;
    }
    if (OpensBlock(gap, tables)) {
      startRun = k;
      store(k);
      next = k + 1;
      split.blockWordAfterFirst = LevelWordAtStart(gap, tables, 2) > 0;
      // What follows the level word up to the next number is no part of the numbers.
      if (!split.chomeInOaza && k + 1 < r) {
        std::u16string rest = text::Trim(gap.substr(LevelWordAtStart(gap, tables)));
        if (!IsSeparator(rest, tables))
          split.between = std::move(rest);
      }
      break;
    }
  }
  if (!startRun) {
    startRun = 0;
    next = 0;
  }
  split.townName = text::Left(text, static_cast<std::size_t>(runs[*startRun].start - 1));

  // The number after the block's first one needs no level word before it; the ones after that
  // follow as long as a level-2 word or a separator joins them.
  if (next < r) {
    store(next);
    ++next;
  }
  if (next < r && next > 0) {
    while (next < r) {
      const std::size_t from = static_cast<std::size_t>(runs[next - 1].End() + 1);
      const std::u16string between =
          text::Mid(text, from, static_cast<std::size_t>(runs[next].start) - from);
      if (!IsLevelWordOrSeparator(2, between))
        break;
      store(next);
      ++next;
    }
    split.remainder =
        text::ToWide(text::Mid(text, static_cast<std::size_t>(runs[next - 1].End() + 1)));
  }
  return split;
}

}  // namespace mok::engine
