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

// The length of the longest level word of the levels `firstLevel` to `lastLevel` that begins
// `gap`.
std::size_t LevelWordAtStart(std::u16string_view gap, const FixedTables& tables,
                             std::size_t firstLevel = 1, std::size_t lastLevel = kLevelCount) {
  std::size_t longest = 0;
  for (std::size_t level = firstLevel; level <= lastLevel; ++level) {
    for (const std::u16string_view word : tables.levelWords[level - 1]) {
      if (!word.empty() && gap.starts_with(word))
        longest = std::max(longest, word.size());
    }
  }
  return longest;
}

bool IsDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９');
}

bool IsOpeningBracket(char16_t c) {
  return c == u'(' || c == u'（';
}

// The numeral runs of the text, each ending where digits give way to a kanji numeral: no
// address writes a number so, it is a name after the number (「1-1三菱ビル」, 「6-10-1六本木ヒル
// ズ」), whose numerals are no number. With `buildingApart`, the runs end at an opening bracket
// after a number: 「3(小野ビル101号)」 writes the building and its room in brackets.
NumeralRuns NumberRuns(const std::u16string& text, std::size_t start, bool buildingApart) {
  NumeralRuns runs = FindNumeralRuns(text, start);
  for (std::size_t k = 0; k < runs.count; ++k) {
    NumeralRun& run = runs.runs[k];
    for (int16_t i = 1; i < run.length; ++i) {
      const std::size_t at = static_cast<std::size_t>(run.start - 1 + i);
      if (IsDigit(text[at - 1]) && !IsDigit(text[at])) {
        run.length = i;
        break;
      }
    }
    if (buildingApart && k + 1 < runs.count) {
      const std::size_t from = static_cast<std::size_t>(run.End());
      const std::size_t to = static_cast<std::size_t>(runs[k + 1].start - 1);
      if (std::any_of(text.begin() + static_cast<std::ptrdiff_t>(from),
                      text.begin() + static_cast<std::ptrdiff_t>(to), IsOpeningBracket))
        runs.count = k + 1;
    }
  }
  return runs;
}

// The length of the text the runs are read in: up to an opening bracket after the last run.
std::size_t BracketAfter(const std::u16string& text, const NumeralRuns& runs) {
  const std::size_t bracket =
      text.find_first_of(u"(（", static_cast<std::size_t>(runs[runs.count - 1].End()));
  return bracket == std::u16string::npos ? text.size() : bracket;
}

// Whether the text after a number makes it a floor or a room: 2F, 3階, 201号室, 5号棟.
bool BeginsWithFloorOrRoom(std::u16string_view after) {
  for (const std::u16string_view word : {u"F", u"階", u"号室", u"室", u"号棟", u"棟"}) {
    if (text::StartsWithFold(after, word))
      return true;
  }
  return false;
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

// The text after the last number taken, as the cleaning left it. Nothing after a chome taken
// alone: its 丁目 text goes with the town name. The 丁目 or 番地 of a chome or block number
// taken last is no part of it (the block field shows the number), and neither is a level word
// or separator alone after the first or second number (「1丁目2番」, 「1番2号」).
std::u16string Tail(const std::u16string& text, const NumeralRun& last, std::size_t taken,
                    bool chomeOnly, const FixedTables& tables) {
  if (chomeOnly)
    return {};
  std::u16string tail = text::Mid(text, static_cast<std::size_t>(last.End() + 1));
  if (taken < 3 && (LevelWordAtStart(tail, tables) == tail.size() || IsSeparator(tail, tables)))
    return {};
  if (const std::size_t word = LevelWordAtStart(tail, tables, 1, 2); word > 0)
    tail.erase(0, word);
  return tail;
}

}  // namespace

bool BeginsWithLevelWord(std::u16string_view text) {
  return LevelWordAtStart(text, LoadFixedNames()) > 0;
}

namespace {

// Where the numbers are looked for: after a town name that begins with numerals (a fixed term
// of code 3) or is known to take `townLength` characters.
std::size_t ScanStart(const std::u16string& text, const std::vector<FixedTerm>& fixedTerms,
                      std::size_t townLength) {
  std::size_t scanStart = 1;
  for (const FixedTerm& term : fixedTerms) {
    if (term.code == kTownTermCode && !term.term.empty() &&
        std::u16string_view(text).substr(0, term.term.size()) == term.term) {
      scanStart = term.term.size() + 1;
      break;
    }
  }
  return std::max(scanStart, townLength + 1);
}

// Stores the numbers of runs into the split, in order.
class NumberStore {
 public:
  NumberStore(const std::u16string& text, TownSplit& split) : text_(text), split_(split) {}
  void Store(const NumeralRun& run) {
    std::optional<std::u16string> number = RunNumber(text_, run);
    if (!number) {
      // The first two numbers decide the town and the block: one that cannot be read fails
      // the address instead of reading as some other number. A later one is kept as written.
      if (taken_ < 2)
        split_.unreadableNumber = true;
      number = text::ToWide(text::Mid(text_, static_cast<std::size_t>(run.start),
                                      static_cast<std::size_t>(run.length)));
    }
    split_.numbers[taken_++] = std::move(*number);
  }
  std::size_t Taken() const { return taken_; }

 private:
  const std::u16string& text_;
  TownSplit& split_;
  std::size_t taken_ = 0;
};

struct BlockStart {
  std::optional<std::size_t> run;  // the run that starts the block
  bool textBetween = false;        // text other than a level word or separator follows its number
};

// The run that starts the block: the first number followed by a level word or a separator. A
// number at the very start belongs to the town name. Notes the chome and the level word after
// the first number in the split.
BlockStart FindBlockStart(const std::u16string& text, const NumeralRuns& runs, std::size_t length,
                          TownSplit& split) {
  const FixedTables& tables = LoadFixedNames();
  const std::size_t r = runs.count;
  for (std::size_t k = runs[0].start == 1 ? 1 : 0; k < r; ++k) {
    const std::size_t after = static_cast<std::size_t>(runs[k].start + runs[k].length);
    if (after > length)
      break;
    const std::size_t gapEnd = k + 1 < r ? static_cast<std::size_t>(runs[k + 1].start) : length + 1;
    const std::u16string gap = text::Trim(text::Mid(text, after, gapEnd - after));
    if (gap.starts_with(u"丁目")) {
      split.chomeInOaza = true;
      split.chomeSuffix = gap;
    }
    if (!OpensBlock(gap, tables))
      continue;
    split.blockWordAfterFirst = LevelWordAtStart(gap, tables, 2) > 0;
    // Text after the level word (「12番地 メゾン 3号」) ends the numbers: what follows it is a
    // building's. After a chome it is the chome's (丁目東).
    bool textBetween = false;
    if (!split.chomeInOaza && k + 1 < r) {
      const std::u16string rest = text::Trim(gap.substr(LevelWordAtStart(gap, tables)));
      textBetween = !rest.empty() && !IsSeparator(rest, tables);
    }
    return {k, textBetween};
  }
  return {};
}

}  // namespace

TownSplit SplitTownAndNumbers(const std::u16string& text, const std::vector<FixedTerm>& fixedTerms,
                              const SplitRules& rules) {
  TownSplit split;
  split.townName = text;
  const NumeralRuns runs =
      NumberRuns(text, ScanStart(text, fixedTerms, rules.townLength), rules.buildingApart);
  const std::size_t r = runs.count;
  if (r == 0)
    return split;
  // Where the numbers' text ends: after the last run taken into account.
  const std::size_t length = rules.buildingApart ? BracketAfter(text, runs) : text.size();
  // A floor or a room (2F, 3階, 201号室) is no number of the address.
  auto isAddressNumber = [&](std::size_t k) {
    return !rules.buildingApart || !BeginsWithFloorOrRoom(std::u16string_view(text).substr(
                                       static_cast<std::size_t>(runs[k].End())));
  };

  BlockStart start = FindBlockStart(text, runs, length, split);
  if (!start.run && rules.numbersAtEnd) {
    // Only a number that ends the text stands for itself (「第7地割12」); else there is none.
    if (static_cast<std::size_t>(runs[r - 1].End()) != text.size())
      return split;
    start.run = r - 1;
  }
  if (!start.run) {
    // No number opens the block: the first is taken, and the text after it (no level word,
    // no separator) ends the numbers (「40 ｻﾝﾊｲﾂ 101」: 101 is the room).
    start = {0, true};
  }
  split.townName = text::Left(text, static_cast<std::size_t>(runs[*start.run].start - 1));
  NumberStore numbers(text, split);
  numbers.Store(runs[*start.run]);
  std::size_t next = *start.run + 1;

  // The number after the block's first one needs no level word before it; the ones after that
  // follow as long as a level-2 word or a separator joins them.
  if (next < r && !start.textBetween && isAddressNumber(next)) {
    numbers.Store(runs[next++]);
    while (next < r && isAddressNumber(next)) {
      const std::size_t from = static_cast<std::size_t>(runs[next - 1].End() + 1);
      const std::u16string between =
          text::Mid(text, from, static_cast<std::size_t>(runs[next].start) - from);
      if (!IsLevelWordOrSeparator(2, between))
        break;
      numbers.Store(runs[next++]);
    }
  }
  split.remainder = Tail(text, runs[next - 1], numbers.Taken(),
                         split.chomeInOaza && numbers.Taken() == 1, LoadFixedNames());
  return split;
}

}  // namespace mok::engine
