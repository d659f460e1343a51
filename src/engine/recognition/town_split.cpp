// Town name and block-number splitting: what follows the municipality is the town name (大字・
// 町丁目), then the numbers of chome, block, lot and house joined by level words (丁目 番地 号 in
// any spelling) or separators (の - and the like), then whatever else (a building name).
//
// 「丸の内1丁目2番3号ビル」 splits into the town 「丸の内」, the numbers 「１」 「２」 「３」 and
// the remainder 「号ビル」; the 丁目 after the first number marks it as the chome. A number that
// opens the town text belongs to the town name (「五反田1丁目」), unless no later number starts the
// block; town names that begin with numerals (一番町) are listed as fixed terms of code 3 so that
// they are never read as numbers.
#include <string>

#include "engine/recognition/recognizer.h"
#include "engine/rules/fixed_tables.h"
#include "engine/rules/numerals.h"
#include "text/text.h"

namespace mok::engine {

namespace {

// Fixed terms of this code are town names that begin with numeral characters.
constexpr int16_t kTownTermCode = 3;

// The number of a run: its value in full-width decimal digits, 「－１」 when malformed.
std::u16string RunNumber(const std::u16string& text, const NumeralRun& run) {
  const int32_t value = NumeralToNumber(std::u16string_view(text).substr(
      static_cast<std::size_t>(run.Start - 1), static_cast<std::size_t>(run.Length)));
  return text::ToWide(text::FromUtf8(std::to_string(value)));
}

// Whether the gap after a number opens the block: it begins with a level word of any level, or
// it is a separator (an empty gap, spaces only, counts as one).
bool OpensBlock(std::u16string_view gap, const FixedTables& tables) {
  for (int level = 1; level <= kLevelCount; ++level) {
    for (int row = 1; row <= kLevelRows; ++row) {
      const std::u16string_view word = tables.LevelWords[level][row];
      if (!word.empty() && gap.substr(0, word.size()) == word)
        return true;
    }
  }
  for (int i = 1; i <= kSeparatorCount; ++i) {
    if (gap == tables.NumberSeparators[i])
      return true;
  }
  return false;
}

}  // namespace

bool Recognizer::SplitTownAndNumbers(std::u16string& text, TownPartList& townParts,
                                     std::u16string& remainder) {
  const FixedTables& tables = LoadFixedNames();
  result_.ChomeInOaza = false;
  result_.ChomeSuffix.clear();

  // The address may continue over the following fields; an empty field ends it.
  while (!fields_.AtEnd()) {
    const std::u16string next = fields_.NextAddressField();
    if (next.empty())
      break;
    text += next;
  }

  const std::u16string saved = text;
  for (int i = 1; i <= 4; ++i)
    townParts[i].clear();
  remainder.clear();

  std::size_t scanStart = 1;
  for (const FixedTerm& term : settings_.fixedTerms) {
    if (term.code == kTownTermCode && !term.term.empty() &&
        std::u16string_view(text).substr(0, term.term.size()) == term.term) {
      scanStart = term.term.size() + 1;
      break;
    }
  }

  const NumeralRuns numeralRuns = FindNumeralRuns(text, scanStart);
  const int r = numeralRuns.Count;
  if (r == 0)
    return true;
  const auto& runs = numeralRuns.Runs;
  const std::size_t length = text.size();

  int taken = 0;  // numbers stored in townParts so far
  auto store = [&](int k) { townParts[++taken] = RunNumber(saved, runs[k]); };

  // The run that starts the block: the first number followed by a level word or a separator.
  // A number at the very start belongs to the town name.
  int startRun = 0;
  int next = 1;
  const int firstCandidate = runs[1].Start == 1 ? 2 : 1;
  for (int k = firstCandidate; k <= r; ++k) {
    const std::size_t after = static_cast<std::size_t>(runs[k].Start + runs[k].Length);
    if (after > length)
      break;
    const std::size_t gapEnd = k < r ? static_cast<std::size_t>(runs[k + 1].Start) : length + 1;
    const std::u16string gap = text::Trim(text::Mid(text, after, gapEnd - after));
    if (gap.starts_with(u"丁目")) {
      result_.ChomeInOaza = true;
      result_.ChomeSuffix = gap;
    }
    if (OpensBlock(gap, tables)) {
      startRun = k;
      store(k);
      next = k + 1;
      break;
    }
  }
  if (startRun == 0) {
    startRun = 1;
    next = 1;
  }
  text = text::Left(saved, static_cast<std::size_t>(runs[startRun].Start - 1));

  // The number after the block's first one needs no level word before it; the ones after that
  // follow as long as a level-2 word or a separator joins them.
  if (next <= r) {
    store(next);
    ++next;
  }
  if (next <= r && next > 1) {
    while (next <= r) {
      const std::size_t from = static_cast<std::size_t>(runs[next - 1].End() + 1);
      const std::u16string between =
          text::Mid(saved, from, static_cast<std::size_t>(runs[next].Start) - from);
      if (!IsLevelWordOrSeparator(2, between))
        break;
      store(next);
      ++next;
    }
    remainder = text::ToWide(text::Mid(saved, static_cast<std::size_t>(runs[next - 1].End() + 1)));
  } else {
    remainder.clear();
  }
  return true;
}

}  // namespace mok::engine
