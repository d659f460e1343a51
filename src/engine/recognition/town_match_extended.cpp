#include "engine/recognition/town_match_extended.h"

#include "engine/rules/numerals.h"
#include "text/nocase.h"
#include "text/text.h"

namespace mok::engine {

namespace {

constexpr std::u16string_view kChome = u"丁目";

bool SameMunicipality(const TownRow& a, const TownRow& b) {
  return text::EqualsNoCase(a.city, b.city) && text::EqualsNoCase(a.prefecture, b.prefecture);
}

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

}  // namespace

ExtendedTownMatch FindTownExtended(const TownCandidates& candidates,
                                   const ExtendedTownRequest& request,
                                   const TownWordLookup& learned, const VariantFold& fold) {
  // The learning dictionary is asked by the first try only: the later ones would repeat its
  // answers, and count and log them twice.
  const TownWordLookup none = [](const std::u16string&) {
    return std::optional<std::u16string>(std::u16string());
  };
  // Written without a character of a class, a town fits no other name folded than as written.
  auto find = [&](const TownMatchRequest& town, const TownWordLookup& words) {
    TownMatch match = FindOazaChome(candidates, town, words);
    if (match.outcome == TownMatchOutcome::NotFound &&
        (fold.HasClassChar(town.town) || fold.HasClassChar(town.chomeSuffix)))
      match = FindOazaChome(candidates, town, none, &fold);
    return match;
  };
  ExtendedTownMatch result{find(request.town, learned), {}};
  TownMatch& match = result.match;

  const std::u16string& suffix = request.town.chomeSuffix;
  if (match.outcome == TownMatchOutcome::NotFound && request.town.chomeInOaza &&
      suffix.size() > kChome.size() && suffix.starts_with(kChome)) {
    TownMatchRequest bare = request.town;
    bare.chomeSuffix = kChome;
    if (TownMatch m = find(bare, none); m.outcome == TownMatchOutcome::Found) {
      match = m;
      result.moved = text::Trim(suffix.substr(kChome.size()));
    }
  }

  const std::u16string& town = request.town.town;
  if (match.outcome == TownMatchOutcome::NotFound && !town.ends_with(u"町") &&
      !town.ends_with(u"村") && HoldsCompleted(candidates, DigitRunsToKanji(town))) {
    int fitting = 0;
    TownMatch found;
    for (const char16_t* end : {u"町", u"村"}) {
      TownMatchRequest completed = request.town;
      completed.town += end;
      if (TownMatch m = find(completed, none); m.outcome == TownMatchOutcome::Found) {
        found = m;
        ++fitting;
      }
    }
    if (fitting == 1)
      match = found;
  }

  if (match.outcome != TownMatchOutcome::Found || match.chomeInOaza || request.town.chomeInOaza ||
      request.town.chome.empty() || request.blockWordAfterFirst)
    return result;
  const std::u16string chome =
      match.townName + NumberToKanji(request.town.chome) + std::u16string(kChome);
  // The chome is stored in the spelling of its town: no fold needed.
  for (const TownRow& row : candidates) {
    if (!text::EqualsNoCase(row.town, chome) ||
        (match.row != nullptr && !SameMunicipality(row, *match.row)))
      continue;
    if (request.furtherNumbers >= 2) {
      match.townName = row.town;
      match.row = &row;
      match.chomeInOaza = true;
    } else {
      match.outcome = TownMatchOutcome::Ambiguous;
      match.row = nullptr;
    }
    break;
  }
  return result;
}

}  // namespace mok::engine
