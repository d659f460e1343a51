#include "engine/recognition/town_match_extended.h"

#include "engine/recognition/town_prefix.h"
#include "engine/rules/address_fields.h"
#include "engine/rules/numerals.h"
#include "text/nocase.h"
#include "text/text.h"

namespace mok::engine {

namespace {

constexpr std::u16string_view kChome = u"丁目";

const TownWordLookup kNoWords = [](const std::u16string&) {
  return std::optional<std::u16string>(std::u16string());
};

// Whether a stored name holds the town text followed by 町 or 村, as completing the text needs
// (a look at the rows before the matching is asked four times more).
bool HoldsCompleted(const TownCandidates& candidates, const std::u16string& town) {
  const std::u16string withTown = town + u"町";
  const std::u16string withVillage = town + u"村";
  for (const TownRow& row : candidates) {
    if (row.town.find(withTown) != std::u16string::npos ||
        row.town.find(withVillage) != std::u16string::npos)
      return true;
  }
  return false;
}

// Whether towns of more than one candidate municipality are named as the text (numerals in
// kanji, a leading 大字 aside, or its oaza without the 字 part).
bool NamedInSeveral(const TownCandidates& candidates, const std::u16string& town,
                    const VariantFold& fold) {
  if (candidates.Municipalities() < 2)
    return false;
  const std::u16string kanji = DigitRunsToKanji(town);
  const AzaCut cut = CutAzaName(kanji);
  const TownRow* first = nullptr;
  for (const TownRow& row : candidates) {
    const std::u16string_view name = WithoutOaza(row.town);
    if (!fold.Equals(name, WithoutOaza(kanji)) && !fold.Equals(name, WithoutOaza(cut.oaza)))
      continue;
    if (first == nullptr)
      first = &row;
    else if (!SameMunicipality(*first, row))
      return true;
  }
  return false;
}

// Whether a stored name (without a leading 大字) begins with `start`.
bool HoldsNameBeginning(const TownCandidates& candidates, std::u16string_view start,
                        const VariantFold& fold) {
  for (const TownRow& row : candidates) {
    std::u16string_view name = row.town;
    if (name.starts_with(u"大字"))
      name.remove_prefix(2);
    // The last character first: the grid's 条 rules out most names at once.
    if (name.size() >= start.size() && fold.SameChar(name[start.size() - 1], start.back()) &&
        fold.Equals(name.substr(0, start.size()), start))
      return true;
  }
  return false;
}

// The town text with 条 after its last numeral (南12西 -> 南十二条西, 八軒10東 -> 八軒十条東), or
// "" when no more of the name follows that numeral, or 条 or 丁目 does.
std::u16string GridName(const std::u16string& town) {
  const std::u16string kanji = DigitRunsToKanji(town);
  std::size_t end = kanji.size();
  while (end > 0 && !IsNumeralChar(kanji[end - 1]))
    --end;
  if (end == 0 || end == kanji.size() || kanji[end] == u'条' ||
      std::u16string_view(kanji).substr(end).starts_with(kChome))
    return {};
  return kanji.substr(0, end) + u"条" + kanji.substr(end);
}

// The town of a grid name, when the candidates hold it.
std::optional<TownMatch> FindGridTown(const TownCandidates& candidates,
                                      const TownMatchRequest& grid, const VariantFold& fold) {
  if (!HoldsNameBeginning(candidates, grid.town, fold))
    return std::nullopt;
  TownMatch match = FindOazaChome(candidates, grid, kNoWords, &fold);
  if (match.outcome != TownMatchOutcome::Found)
    return std::nullopt;
  return match;
}

// The grid reading of the numbers: the numeral inside the text as the 条 and the first number
// as the 丁目, else the first two numbers as 条 and 丁目.
std::optional<ExtendedTownMatch> ReadGrid(const TownCandidates& candidates,
                                          const ExtendedTownRequest& request,
                                          const VariantFold& fold) {
  const TownMatchRequest& town = request.town;
  if (std::u16string name = GridName(town.town); !name.empty()) {
    TownMatchRequest grid = town;
    grid.town = std::move(name);
    if (std::optional<TownMatch> match = FindGridTown(candidates, grid, fold))
      return ExtendedTownMatch{std::move(*match), {}, false};
  }
  if (town.chomeInOaza || request.blockWordAfterFirst || town.chome.empty() ||
      request.second.empty() || DigitRunsToKanji(town.town) != town.town)
    return std::nullopt;
  TownMatchRequest grid = town;
  grid.town = town.town + NumberToKanji(town.chome) + u"条";
  grid.chome = request.second;
  std::optional<TownMatch> match = FindGridTown(candidates, grid, fold);
  if (!match)
    return std::nullopt;
  // The 条 number went into the name, and the 丁目 number too when the name has a chome.
  const bool both = match->chomeInOaza;
  match->chomeInOaza = true;
  return ExtendedTownMatch{std::move(*match), {}, both};
}

}  // namespace

namespace {

// The steps of the extended town match, each on the match the earlier ones left.
class ExtendedMatcher {
 public:
  ExtendedMatcher(const TownCandidates& candidates, const ExtendedTownRequest& request,
                  const VariantFold& fold)
      : candidates_(candidates), request_(request), fold_(fold) {}

  // The standard match, then once more with variant spellings folded: written without a
  // character of a class, a town fits no other name folded than as written.
  TownMatch Find(const TownMatchRequest& town, const TownWordLookup& words) const {
    TownMatch match = FindOazaChome(candidates_, town, words);
    if (match.outcome == TownMatchOutcome::NotFound &&
        (fold_.HasClassChar(town.town) || fold_.HasClassChar(town.chomeSuffix)))
      match = FindOazaChome(candidates_, town, kNoWords, &fold_);
    return match;
  }

  // Text after a written 丁目 (加島３丁目中): the chome without it, the text moved. Also where
  // the town was found without the chome (日和田町 beside 日和田町八丁目,
  // 「日和田町八丁目字門前」): the written chome is meant.
  void WithoutChomeText(ExtendedTownMatch& result) const {
    TownMatch& match = result.match;
    const std::u16string& suffix = request_.town.chomeSuffix;
    if (!request_.town.chomeInOaza || suffix.size() <= kChome.size() ||
        !suffix.starts_with(kChome) ||
        !(match.outcome == TownMatchOutcome::NotFound ||
          (match.outcome == TownMatchOutcome::Found && !match.chomeInOaza)))
      return;
    TownMatchRequest bare = request_.town;
    bare.chomeSuffix = kChome;
    TownMatch m = Find(bare, kNoWords);
    if (m.outcome == TownMatchOutcome::Found &&
        (match.outcome == TownMatchOutcome::NotFound || m.chomeInOaza)) {
      match = std::move(m);
      result.moved = text::Trim(suffix.substr(kChome.size()));
    }
  }

  // A town written without its final 町 or 村, when exactly one of the two fits. A town of one
  // character would be a guess (上 for 上町); where 丁目 was written, the completed town must
  // have that chome (北一丁目 is no 北町 1).
  void Completed(TownMatch& match) const {
    const std::u16string& town = request_.town.town;
    if (match.outcome != TownMatchOutcome::NotFound || town.size() < 2 || town.ends_with(u"町") ||
        town.ends_with(u"村") || !HoldsCompleted(candidates_, DigitRunsToKanji(town)))
      return;
    int fitting = 0;
    TownMatch found;
    for (const char16_t* end : {u"町", u"村"}) {
      TownMatchRequest completed = request_.town;
      completed.town += end;
      if (TownMatch m = Find(completed, kNoWords);
          m.outcome == TownMatchOutcome::Found && (m.chomeInOaza || !request_.town.chomeInOaza)) {
        found = m;
        ++fitting;
      }
    }
    if (fitting == 1)
      match = found;
  }

  // 丁目 not written and the town found also has a chome for the first number (国領町 beside
  // 国領町三丁目): two further numbers make it the chome, fewer leave the town ambiguous.
  void ChomeLeftOut(TownMatch& match) const {
    const TownMatchRequest& town = request_.town;
    if (match.outcome != TownMatchOutcome::Found || match.chomeInOaza || town.chomeInOaza ||
        town.chome.empty() || request_.blockWordAfterFirst)
      return;
    const std::u16string chome =
        match.townName + NumberToKanji(town.chome) + std::u16string(kChome);
    // The chome is stored in the spelling of its town: no fold needed.
    for (const TownRow& row : candidates_) {
      if (!text::EqualsNoCase(row.town, chome) ||
          (match.row != nullptr && !SameMunicipality(row, *match.row)))
        continue;
      if (request_.furtherNumbers >= 2) {
        match.townName = row.town;
        match.row = &row;
        match.chomeInOaza = true;
      } else {
        match.outcome = TownMatchOutcome::Ambiguous;
        match.row = nullptr;
      }
      return;
    }
  }

 private:
  const TownCandidates& candidates_;
  const ExtendedTownRequest& request_;
  const VariantFold& fold_;
};

}  // namespace

ExtendedTownMatch FindTownExtended(const TownCandidates& candidates,
                                   const ExtendedTownRequest& request,
                                   const TownWordLookup& learned, const VariantFold& fold) {
  const ExtendedMatcher matcher(candidates, request, fold);
  // The learning dictionary is asked by the first try only: the later ones would repeat its
  // answers, and count and log them twice.
  ExtendedTownMatch result{matcher.Find(request.town, learned), {}};
  TownMatch& match = result.match;
  // A name several of the candidate municipalities hold is no name the rules below may
  // complete or cut further (大久保 of two cities is no 大久保町 of a third).
  if (match.outcome == TownMatchOutcome::NotFound &&
      NamedInSeveral(candidates, request.town.town, fold)) {
    match.outcome = TownMatchOutcome::Ambiguous;
    return result;
  }
  matcher.WithoutChomeText(result);
  // The grid before a completed name: 新琴似6-6-7-15 is 新琴似六条六丁目 rather than 新琴似町.
  if (std::optional<ExtendedTownMatch> grid = ReadGrid(candidates, request, fold)) {
    if (match.outcome == TownMatchOutcome::NotFound)
      return std::move(*grid);
    if (match.outcome == TownMatchOutcome::Found && match.row != grid->match.row) {
      match.outcome = TownMatchOutcome::Ambiguous;
      match.row = nullptr;
      return result;
    }
  }
  matcher.Completed(match);
  matcher.ChomeLeftOut(match);
  return result;
}

}  // namespace mok::engine
