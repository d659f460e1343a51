// Town lookup: does the town text of an address name an oaza or town/chome (大字・町丁目) among
// the candidate rows that the city step left, and how is it stored?
//
// Addresses write the chome apart from the town (「本町3丁目」, 「本町3-4」), the database stores
// it with the town in kanji (本町三丁目). So the first number of the address is tried as part of
// the name: 本町 + 三 + 丁目, and 本町 + 三 for names stored without 丁目. A leading 大字 may be
// written in the address and not stored, or the other way round, and a 字 part may follow the
// oaza (「大字甲字乙」 is looked up as 甲). A name alone must be unique among the candidates (the
// same oaza may exist in two candidate cities); a name completed by the chome number takes the
// first row that fits. Names the user taught are repaired through the learning dictionary
// (kind 3) when the written name is not found.
//
// The candidate rows are held in memory; every search runs over all of them from the first row
// with the database's text equality (ASCII case ignored), as a find-first/find-next over the
// record set would.
#include <string>

#include "db/address_database.h"
#include "db/nocase.h"
#include "engine/rules/address_fields.h"
#include "engine/rules/numerals.h"
#include "text/text.h"

namespace mok::db {

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

// The town matching of one address over the candidate rows.
class TownMatcher {
 public:
  TownMatcher(AddressDatabase& db, engine::AddressResult& result) : db_(db), result_(result) {}

  // The failure of a learning-dictionary lookup, when one occurred.
  const std::optional<DbError>& failure() const { return failure_; }

  // 0 found (town rewritten to the stored name), 3 not found; -1 when the learning dictionary
  // failed (failure() tells why).
  int16_t FindOazaChome(std::u16string& town, const std::u16string& chome) {
    std::u16string t = engine::DigitRunsToKanji(town);
    std::u16string k = engine::NumberToKanji(chome);
    std::u16string whole = t;
    t = engine::CutAzaName(t, result_);
    int16_t code = MatchOazaWithLearning(t, k);
    if (code != 0) {
      if (failure_)
        return -1;
      code = MatchOazaWithLearning(whole, k);
      if (failure_)
        return -1;
      if (code != 0) {
        town = t;
        return code;
      }
      t = whole;
    }
    town = t;
    return 0;
  }

 private:
  int16_t MatchOazaWithLearning(std::u16string& t, std::u16string& k) {
    if (MatchOazaChome(t, k))
      return 0;
    auto learned = Learned(t);
    if (!learned)
      return -1;
    if (!learned->empty()) {
      t = *learned;
      if (MatchOazaChome(t, k))
        return 0;
    }
    auto without = MatchWithoutAza(t, k);
    if (!without)
      return -1;
    return without->empty() ? 3 : 0;
  }

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
    if (result_.ChomeInOaza) {
      const std::u16string w = t + k + result_.ChomeSuffix;
      const std::u16string withOaza = std::u16string(kOaza) + w;
      if (const CandidateRow* row = FindFirst(w, withOaza)) {
        t = row->town;
        return true;
      }
    }
    const std::u16string withOaza = std::u16string(kOaza) + t;
    const std::u16string plain = t;
    const std::u16string* names[2] = {&plain, &withOaza};
    if (result_.OazaPrefixRemoved)
      std::swap(names[0], names[1]);
    for (const std::u16string* m : names) {
      if (const CandidateRow* row = FindUnique(*m)) {
        return Take(t, row->town);
      }
      if (!result_.ChomeInOaza) {
        if (const CandidateRow* row = FindFirst(*m + k + std::u16string(kChome)))
          return Take(t, row->town);
      }
      if (k.empty())
        continue;
      if (const CandidateRow* row = FindFirst(*m + k)) {
        k.clear();
        return Take(t, row->town);
      }
    }
    return false;
  }

  bool Take(std::u16string& t, const std::u16string& stored) {
    t = stored;
    result_.ChomeInOaza = text::InStr(t, kChome) > 0;
    return true;
  }

  // The first candidate row whose town equals a or b (b may be empty: then a alone).
  const CandidateRow* FindFirst(std::u16string_view a, std::u16string_view b = {}) const {
    for (const CandidateRow& row : db_.CandidateRows) {
      if (EqualsNoCase(row.town, a) || (!b.empty() && EqualsNoCase(row.town, b)))
        return &row;
    }
    return nullptr;
  }

  // The candidate row whose town equals name when exactly one row does; nullptr when none or
  // several do (the same name in two candidate cities says nothing about which one is meant).
  const CandidateRow* FindUnique(std::u16string_view name) const {
    const CandidateRow* found = nullptr;
    for (const CandidateRow& row : db_.CandidateRows) {
      if (!EqualsNoCase(row.town, name))
        continue;
      if (found)
        return nullptr;
      found = &row;
    }
    return found;
  }

  std::optional<std::u16string> Learned(const std::u16string& t) {
    DbError error;
    auto answer = db_.LookupLearnedWord(3, t, result_, &error);
    if (!answer) {
      failure_ = error;
      return std::nullopt;
    }
    return answer;
  }

  AddressDatabase& db_;
  engine::AddressResult& result_;
  std::optional<DbError> failure_;
};

}  // namespace

int16_t AddressDatabase::LookupOazaChome(const std::u16string& /*prefecture*/,
                                         const std::array<std::u16string, 3>& /*cityParts*/,
                                         std::u16string& townName, const std::u16string& chome,
                                         engine::AddressResult& result) {
  if (!OpenRegionDatabase(StrSelectedRegion))
    return 1;
  TownMatcher matcher(*this, result);
  int16_t code = matcher.FindOazaChome(townName, chome);
  // The candidate rows serve one town step only.
  CandidateRows.clear();
  CandidateRowsOpen = false;
  if (code == -1 && matcher.failure()) {
    prompter_.ShowMessage(matcher.failure()->Text() + u"\r\n");
  }
  return code;
}

}  // namespace mok::db
