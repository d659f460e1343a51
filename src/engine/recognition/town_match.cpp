#include "engine/recognition/town_match.h"

#include <algorithm>
#include <string>
#include <utility>

#include "engine/rules/address_fields.h"
#include "engine/rules/numerals.h"
#include "text/nocase.h"
#include "text/text.h"

namespace mok::engine {

namespace {

constexpr std::u16string_view kOaza = u"大字";
constexpr std::u16string_view kAza = u"字";
constexpr std::u16string_view kChome = u"丁目";

// The text without the word w found at 1-based position p: its first p - 1 characters followed
// by its last (length - p - length of w + 1) characters.
std::u16string RemoveWordAt(const std::u16string& text, std::size_t p, std::u16string_view w) {
  const long long tail = static_cast<long long>(text.size()) - static_cast<long long>(p) -
                         static_cast<long long>(w.size()) + 1;
  std::u16string out = p > 1 ? text::Left(text, p - 1) : std::u16string();
  if (tail > 0)
    out += text::Right(text, static_cast<std::size_t>(tail));
  return out;
}

// The matching of one town text over the candidate rows. The searches rewrite the text they
// were given (into the stored name, or shortened by 大字 and 字) and may use up the chome
// number, as the next search must see.
class TownMatcher {
 public:
  TownMatcher(const TownCandidates& rows, const TownWordLookup& learned, bool chomeInOaza,
              std::u16string chomeSuffix, bool oazaPrefixRemoved, const VariantFold* fold)
      : rows_(rows),
        learned_(learned),
        chomeInOaza_(chomeInOaza),
        chomeSuffix_(std::move(chomeSuffix)),
        oazaPrefixRemoved_(oazaPrefixRemoved),
        fold_(fold) {}

  bool failed() const { return failed_; }
  bool chomeInOaza() const { return chomeInOaza_; }
  const TownRow* row() const { return row_; }

  // Whether t names a town, with the learning dictionary's help; t is rewritten on the way.
  bool MatchOazaWithLearning(std::u16string& t, std::u16string& k) {
    if (MatchOazaChome(t, k))
      return true;
    auto learned = Learned(t);
    if (!learned)
      return false;
    if (!learned->empty()) {
      t = *learned;
      if (MatchOazaChome(t, k))
        return true;
    }
    auto without = MatchWithoutAza(t, k);
    return without && !without->empty();
  }

 private:
  // The town found after removing 大字 and 字 from t: the stored name, or a learned word for
  // the shortened text; "" when neither word occurs or nothing fits.
  std::optional<std::u16string> MatchWithoutAza(std::u16string& t, std::u16string& k) {
    bool removed = false;
    if (const std::size_t p = text::InStr(t, kOaza); p > 0) {
      t = RemoveWordAt(t, p, kOaza);
      removed = true;
    }
    if (const std::size_t p = text::InStr(t, kAza); p > 0) {
      t = RemoveWordAt(t, p, kAza);
      removed = true;
    }
    if (!removed)
      return std::u16string();
    if (MatchOazaChome(t, k))
      return t;
    return Learned(t);
  }

  // Searches the candidate rows for t completed in the ways the address rules allow; on success
  // t becomes the stored name and the chome flag tells whether the first number went into it.
  bool MatchOazaChome(std::u16string& t, std::u16string& k) {
    if (chomeInOaza_) {
      const std::u16string w = t + k + chomeSuffix_;
      const std::u16string withOaza = std::u16string(kOaza) + w;
      if (const TownRow* row = FindFirst(w, withOaza)) {
        t = row->town;
        row_ = row;
        return true;
      }
    }
    const std::u16string withOaza = std::u16string(kOaza) + t;
    const std::u16string plain = t;
    const std::u16string* names[2] = {&plain, &withOaza};
    if (oazaPrefixRemoved_)
      std::swap(names[0], names[1]);
    for (const std::u16string* m : names) {
      if (const TownRow* row = FindUnique(*m))
        return Take(t, row);
      if (!chomeInOaza_) {
        if (const TownRow* row = FindFirst(*m + k + std::u16string(kChome)))
          return Take(t, row);
      }
      if (k.empty())
        continue;
      if (const TownRow* row = FindFirst(*m + k)) {
        k.clear();
        return Take(t, row);
      }
    }
    // People rarely write the 字 of a stored name.
    if (const TownRow* row = FindUnique(std::u16string(kAza) + t))
      return Take(t, row);
    return false;
  }

  bool Take(std::u16string& t, const TownRow* row) {
    t = row->town;
    row_ = row;
    chomeInOaza_ = text::InStr(t, kChome) > 0;
    return true;
  }

  // The first candidate row whose town equals a or b (b may be empty: then a alone).
  const TownRow* FindFirst(std::u16string_view a, std::u16string_view b = {}) const {
    for (const TownRow& row : rows_) {
      if (Equal(row.town, a) || (!b.empty() && Equal(row.town, b)))
        return &row;
    }
    return nullptr;
  }

  // The candidate row whose town equals name when exactly one row does; nullptr when none or
  // several do (the same name in two candidate cities says nothing about which one is meant).
  const TownRow* FindUnique(std::u16string_view name) const {
    const TownRow* found = nullptr;
    for (const TownRow& row : rows_) {
      if (!Equal(row.town, name))
        continue;
      if (found)
        return nullptr;
      found = &row;
    }
    return found;
  }

  bool Equal(std::u16string_view stored, std::u16string_view name) const {
    return fold_ ? fold_->Equals(stored, name) : text::EqualsNoCase(stored, name);
  }

  std::optional<std::u16string> Learned(const std::u16string& t) {
    auto answer = learned_(t);
    if (!answer)
      failed_ = true;
    return answer;
  }

  const TownCandidates& rows_;
  const TownWordLookup& learned_;
  bool chomeInOaza_;
  std::u16string chomeSuffix_;
  bool oazaPrefixRemoved_;
  const VariantFold* fold_;
  bool failed_ = false;
  const TownRow* row_ = nullptr;
};

// The candidate rows grouped by municipality, in the order of each group's first row.
std::vector<TownCandidates> ByMunicipality(const TownCandidates& rows) {
  auto groups = GroupByMunicipality(rows);
  std::vector<TownCandidates> candidates(groups.size());
  for (std::size_t i = 0; i < groups.size(); ++i)
    candidates[i].AddMunicipality(std::move(groups[i]));
  return candidates;
}

TownMatch MatchIn(const TownCandidates& candidates, const TownMatchRequest& request,
                  const TownWordLookup& learned, const VariantFold* fold);

// Whether the town text names a town in more than one of the candidate municipalities, in any
// of the forms the matching tries (本町 in one, 本町三丁目 in another). The learning dictionary
// is not asked: it must not count a use for a check.
bool FitsSeveral(const TownCandidates& candidates, const TownMatchRequest& request,
                 const VariantFold* fold) {
  if (candidates.Municipalities() < 2)
    return false;
  const auto groups = ByMunicipality(candidates);
  if (groups.size() < 2)
    return false;
  const TownWordLookup none = [](const std::u16string&) {
    return std::optional<std::u16string>(std::u16string());
  };
  int fitting = 0;
  for (const auto& group : groups) {
    if (MatchIn(group, request, none, fold).outcome == TownMatchOutcome::Found && ++fitting > 1)
      return true;
  }
  return false;
}

TownMatch MatchIn(const TownCandidates& candidates, const TownMatchRequest& request,
                  const TownWordLookup& learned, const VariantFold* fold) {
  std::u16string t = DigitRunsToKanji(request.town);
  std::u16string k = NumberToKanji(request.chome);
  std::u16string whole = t;
  const AzaCut cut = CutAzaName(t);
  t = cut.oaza;

  TownMatch match;
  match.oazaPrefixRemoved = cut.prefixRemoved;
  TownMatcher matcher(candidates, learned, request.chomeInOaza, request.chomeSuffix,
                      cut.prefixRemoved, fold);
  auto finish = [&](TownMatchOutcome outcome, std::u16string name) {
    match.outcome = outcome;
    match.townName = std::move(name);
    match.chomeInOaza = matcher.chomeInOaza();
    if (outcome == TownMatchOutcome::Found)
      match.row = matcher.row();
    return match;
  };
  if (!matcher.MatchOazaWithLearning(t, k)) {
    if (matcher.failed())
      return finish(TownMatchOutcome::Failed, request.town);
    // The whole text, 字 part included, may be the stored name. Without a 字 part it is the
    // text just tried: not asked again (a learned word would be counted twice).
    if (whole == cut.oaza || !matcher.MatchOazaWithLearning(whole, k)) {
      if (matcher.failed())
        return finish(TownMatchOutcome::Failed, request.town);
      return finish(TownMatchOutcome::NotFound, t);
    }
    t = whole;
  }
  return finish(TownMatchOutcome::Found, t);
}

}  // namespace

TownMatch FindOazaChome(const TownCandidates& candidates, const TownMatchRequest& request,
                        const TownWordLookup& learned, const VariantFold* fold) {
  TownMatch match = MatchIn(candidates, request, learned, fold);
  if (match.outcome == TownMatchOutcome::Found && match.row != nullptr &&
      FitsSeveral(candidates, request, fold)) {
    match.outcome = TownMatchOutcome::Ambiguous;
    match.row = nullptr;
  }
  return match;
}

}  // namespace mok::engine
