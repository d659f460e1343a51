// Prefecture and municipality recognition: where the prefecture and the municipality (市区町村)
// of an address end, and which municipalities of the region they are.
//
// The prefecture is found by name at the start of the text and may be missing. Municipalities
// have no list to compare with in the text itself, so candidates are cut at the suffixes 市 区 郡
// 町 村 and each is confirmed against the region's municipality names. A city may carry a ward
// (大阪市北区) and a county a town or village (虻田郡倶知安町): the second part is tried first.
// The last occurrence of a suffix is tried before earlier ones, so that 「千葉県船橋市市場1丁目」
// first tries 「船橋市市」, which the region does not confirm, and then 「船橋市」. Suffixes are
// tried in the order 市 区 郡 町 村, so 「町田市」 is found through 市 before 町 could cut it.
//
// A stored municipality name fits two parts when it equals the second part or both joined, and
// fits one part when it ends with it, so 「中央区」 alone finds both 札幌市中央区 and 千葉市中央区.
// A second part is a stored name as a whole or nothing: the 区 of 「稲城市東長沼2500南山35街区72」
// or of 「八王子市元本郷町三丁目24-1 地区会館」 makes no ward of the text before it. The
// town rows of every fitting municipality become the candidates of the town step, and the parts
// are rewritten into the stored spelling (「中央区」 becomes 「札幌市」 + 「中央区」). A text that
// fits nothing is tried once more after the learning dictionary (municipality words) rewrote it.
#include <algorithm>
#include <vector>

#include "engine/recognition/address_context.h"
#include "engine/recognition/prefecture.h"
#include "engine/recognition/recognizer.h"
#include "engine/recognition/street_name.h"
#include "engine/recognition/town_prefix.h"
#include "engine/recognition/town_split.h"
#include "engine/recognition/variant_fold.h"
#include "engine/rules/fixed_tables.h"
#include "engine/rules/numerals.h"
#include "text/nocase.h"
#include "text/text.h"

namespace mok::engine {

namespace {

constexpr int kMaxSecondParts = 10;

// Cuts are tried only where the municipality would end within this many characters of its
// start: the longest municipality names (南都留郡富士河口湖町) have ten. Without the bound an
// address holding thousands of 市 would be cut, copied and looked up thousands of times.
constexpr int32_t kMaxMunicipalityLength = 64;

struct SecondPart {
  std::u16string text;
  int32_t last = 0;  // 1-based position of its last character in the address text
};

// 1-based position of the last occurrence of find that begins at or before `from`; 0 when none
// or when `from` lies before the text.
int32_t FindLastFrom(const std::u16string& text, std::u16string_view find, int32_t from) {
  if (from < 1)
    return 0;
  return static_cast<int32_t>(text::InStrRev(text, find, static_cast<std::size_t>(from)));
}

// Whether a stored municipality name fits the parts. Two parts: the name equals the second or
// both joined (equal to the first alone, it would take any text up to a 区 for a ward). One part:
// the name ends with it, or, on the try after the learning dictionary (`contained`), the name
// occurs anywhere inside it. Compared as the database compares text (ASCII letter case ignored).
bool CityFits(std::u16string_view stored, const std::u16string& p1, const std::u16string& p2,
              const std::u16string& joined, bool contained) {
  if (!p2.empty())
    return text::EqualsNoCase(stored, p2) || text::EqualsNoCase(stored, joined);
  if (contained)
    return text::FindNoCase(p1, stored) > 0;
  return text::EndsWithNoCase(stored, p1);
}

// Whether `stored` with its variant spellings folded equals `folded`, ASCII letter case ignored:
// text::EqualsNoCase(fold.Fold(stored), folded) without building the folded copy.
bool FoldedEqualsNoCase(const VariantFold& fold, std::u16string_view stored,
                        std::u16string_view folded) {
  if (stored.size() != folded.size())
    return false;
  for (std::size_t i = 0; i < stored.size(); ++i) {
    const char16_t c = fold.Fold(stored[i]);
    if (c != folded[i] && text::AsciiUpper(c) != text::AsciiUpper(folded[i]))
      return false;
  }
  return true;
}

// CityFits (without containment) of a stored name folded, against parts already folded.
bool FoldedCityFits(const VariantFold& fold, std::u16string_view stored, std::u16string_view f1,
                    std::u16string_view f2, std::u16string_view joined) {
  if (!f2.empty())
    return FoldedEqualsNoCase(fold, stored, f2) || FoldedEqualsNoCase(fold, stored, joined);
  return f1.size() <= stored.size() &&
         FoldedEqualsNoCase(fold, stored.substr(stored.size() - f1.size()), f1);
}

bool IsKanjiNumeral(char16_t c) {
  return IsNumeralChar(c) && !(c >= u'0' && c <= u'9') && !(c >= u'０' && c <= u'９');
}

// Whether the numeral at the start of the text is followed by 丁目.
bool BeginsWithChome(std::u16string_view text) {
  std::size_t end = 0;
  while (end < text.size() && IsNumeralChar(text[end]))
    ++end;
  return text.substr(end).starts_with(u"丁目");
}

}  // namespace

Recognizer::TextSplit Recognizer::SplitFirstField(AddressContext& context,
                                                  const std::u16string& firstField) const {
  TextSplit split;
  AddressParts& parts = split.parts;
  AddressFields& fields = context.fields;
  std::u16string text = firstField;
  const PrefectureMatch prefecture = FindPrefecture(text, context.store.Prefectures());
  int32_t pos = prefecture.next;
  if (static_cast<int32_t>(text.size()) < prefecture.next) {
    // The prefecture fills the field: the municipality is in the next one.
    pos = 1;
    text = fields.NextAddressField();
  }
  // A municipality name may be split over two fields.
  if (pos > static_cast<int32_t>(text.size())) {
    pos = 1;
    text.clear();
  }
  text += fields.NextAddressField();
  CityCandidates city = MatchMunicipality(context, text, pos, prefecture.name);
  parts.prefecture = city.parts.prefecture;
  parts.city = city.parts.city;
  parts.ward = city.parts.ward;
  // A learned word may rewrite the municipality to nothing (a word registered with its
  // prefecture): no municipality, and the town is not split.
  if (city.found && parts.city.empty() && parts.ward.empty()) {
    split.code = ResultCode::NoCity;
    return split;
  }
  // The address may continue over the following fields; an empty field ends it.
  std::u16string rest = text::Mid(text, static_cast<std::size_t>(city.found ? city.next : pos));
  while (!fields.AtEnd()) {
    const std::u16string next = fields.NextAddressField();
    if (next.empty())
      break;
    rest += next;
  }
  if (city.found) {
    split.candidates = std::move(city.rows);
    split.writtenCity = std::move(city.written);
  } else if (!settings_.extendedMatch || !FindTownsWithoutCity(context, rest, split)) {
    split.code = ResultCode::NoCity;
    return split;
  }
  SplitTownPart(context, std::move(rest), split);
  return split;
}

void Recognizer::SplitTownPart(AddressContext& context, std::u16string rest,
                               TextSplit& split) const {
  AddressFields& fields = context.fields;
  AddressParts& parts = split.parts;
  // The extended matching takes a Kyoto street part out of the town text, and keeps a stored
  // town name with numerals inside (麻布十番, 六番町) whole where the rules would cut it.
  std::u16string street;
  if (settings_.extendedMatch) {
    StreetCut cut = CutStreetName(rest, split.candidates, variants_);
    rest = std::move(cut.text);
    street = std::move(cut.street);
  }
  const SplitRules rules{.buildingApart = settings_.extendedMatch};
  TownSplit town = SplitTownAndNumbers(rest, settings_.fixedTerms, rules);
  // The text after the numbers is written out as the address wrote it.
  town.remainder = fields.WrittenTail(town.remainder);
  // The rules cut a name at a numeral; only a kanji one can belong to a stored name, and not
  // one followed by 丁目 (a stored name counts without its chome).
  const std::size_t cut = town.townName.size();
  std::u16string beforeNumbers;
  if (settings_.extendedMatch && cut < rest.size() && IsKanjiNumeral(rest[cut]) &&
      !BeginsWithChome(std::u16string_view(rest).substr(cut))) {
    // A level word after the name makes its last numeral a number (本町三 stored, 本町三番地5
    // written): the cut stands.
    const std::size_t whole = TownPrefixLength(rest, split.candidates, variants_);
    if (whole > cut && !BeginsWithLevelWord(std::u16string_view(rest).substr(whole))) {
      town = SplitTownAndNumbers(rest, settings_.fixedTerms, {whole, true});
      town.remainder = fields.WrittenTail(town.remainder);
      // A separator between the stored name and the numbers is no part of the town (六番町の7);
      // other text stays with the name, for the town match to read (三沢町字後田, and 三田田,
      // which is no 三田).
      const std::u16string between = town.townName.substr(whole);
      if (IsLevelWordOrSeparator(0, between)) {
        beforeNumbers = between;
        town.townName.resize(whole);
      }
    }
  }
  // What stands between the town name and the numbers, and the street part, follow.
  if (settings_.extendedMatch) {
    town.remainder += beforeNumbers + street;
    split.townText = rest;
    split.street = std::move(street);
  }
  split.blockWordAfterFirst = town.blockWordAfterFirst;
  parts.townName = std::move(town.townName);
  parts.numbers = std::move(town.numbers);
  parts.remainder = std::move(town.remainder);
  parts.chomeInOaza = town.chomeInOaza;
  parts.chomeSuffix = std::move(town.chomeSuffix);
  if (parts.city.empty() && parts.ward.empty() && !split.townOnly)
    split.code = ResultCode::NoCity;
  else if (parts.townName.empty() || town.unreadableNumber)
    split.code = ResultCode::NoTown;
  else
    split.code = ResultCode::Converted;
}

Recognizer::CityCandidates Recognizer::MatchMunicipality(AddressContext& context,
                                                         const std::u16string& text, int32_t pos,
                                                         const std::u16string& prefecture) const {
  const int32_t length = static_cast<int32_t>(text.size());
  CityParts parts{prefecture, {}, {}};
  if (pos > length)
    return {false, parts, {}, {}, pos};
  constexpr std::u16string_view kWard = u"区";
  constexpr std::u16string_view kTown = u"町";
  constexpr std::u16string_view kVillage = u"村";
  std::vector<SecondPart> seconds;
  for (const std::u16string_view suffix : tables_.placeSuffixes) {
    const int32_t suffixLength = static_cast<int32_t>(suffix.size());
    const int32_t start = pos;
    const int32_t windowEnd = start + kMaxMunicipalityLength - 1;
    int32_t searchEnd = length;
    do {
      // The last occurrence of the suffix that ends at or before searchEnd (and in the window).
      const int32_t s =
          FindLastFrom(text, suffix, std::min(searchEnd, windowEnd) - suffixLength + 1);
      if (s > pos) {
        parts.city = text::Mid(text, static_cast<std::size_t>(start),
                               static_cast<std::size_t>(s - start + suffixLength));
        const int32_t firstLength = static_cast<int32_t>(parts.city.size());
        const int32_t after = s + suffixLength;  // first position after the suffix
        seconds.clear();
        auto add = [&](int32_t last) {
          seconds.push_back({text::Mid(text, static_cast<std::size_t>(after),
                                       static_cast<std::size_t>(last - after + 1)),
                             last});
        };
        if (suffix == u"市") {
          // A ward of the city: only the last 区, nothing else can follow the city.
          const int32_t r = FindLastFrom(text, kWard, searchEnd);
          if (r > s && r > 1)
            add(r);
        } else if (suffix == u"郡") {
          // Towns, then villages of the county; a name may hold several 町 (倶知安町北町).
          int32_t from = searchEnd;
          for (int32_t q = FindLastFrom(text, kTown, from);
               q > s && q > 1 && static_cast<int>(seconds.size()) < kMaxSecondParts;
               q = FindLastFrom(text, kTown, from)) {
            add(q);
            from = q - 1;
          }
          for (int32_t q = FindLastFrom(text, kVillage, from);
               q > s && q > 1 && static_cast<int>(seconds.size()) < kMaxSecondParts;
               q = FindLastFrom(text, kVillage, from)) {
            add(q);
            from = q - 1;
          }
        }
        if (static_cast<int>(seconds.size()) >= kMaxSecondParts)
          break;  // too many to try: this suffix is given up
        // The shortest second part was collected last and is tried first. A try that the
        // learning dictionary rewrote hands its rewritten parts on to the next try.
        for (auto it = seconds.rbegin(); it != seconds.rend(); ++it) {
          parts.ward = it->text;
          CityCandidates found = FindCityCandidates(context, parts);
          if (found.found) {
            found.next = it->last + 1;
            return found;
          }
          parts = std::move(found.parts);
        }
        parts.ward.clear();
        CityCandidates found = FindCityCandidates(context, parts);
        if (found.found) {
          found.next = pos + firstLength;
          return found;
        }
        parts = std::move(found.parts);
      }
      searchEnd = s - suffixLength;
    } while (searchEnd > pos);
  }
  return {false, parts, {}, {}, pos};
}

Recognizer::CityCandidates Recognizer::FindCityCandidates(AddressContext& context,
                                                          CityParts parts) const {
  CityCandidates result;
  AddressStore& store = context.store;
  // Not found: the parts as this try left them, for the next try.
  auto notFound = [&] {
    result.parts = std::move(parts);
    result.rows.Clear();
    return result;
  };
  auto fail = [&](DbError error) {
    context.Fail(std::move(error));
    return notFound();
  };
  std::u16string& p1 = parts.city;
  std::u16string& p2 = parts.ward;
  if (!store.RegionOpen())
    return notFound();
  auto names = store.Municipalities();
  if (!names)
    return fail(names.error());

  // The fitting municipalities, in table order: through the store's name index, or, for the
  // containment test, by looking at every name. The extended matching compares the names once
  // more with variant spellings folded when none fits as written; the parts then take the
  // stored spelling.
  bool folded = false;
  auto fitting = [&](bool contained) -> DbResult<std::vector<std::size_t>> {
    std::vector<std::size_t> found;
    folded = false;
    auto orFolded = [&]() -> DbResult<std::vector<std::size_t>> {
      if (!found.empty() || contained || !settings_.extendedMatch)
        return found;
      folded = true;
      return FindCitiesFolded(store, **names, p1, p2);
    };
    if (contained || p1.empty()) {
      const std::u16string joined = p1 + p2;
      for (std::size_t i = 0; i < (*names)->size(); ++i) {
        if (CityFits((**names)[i], p1, p2, joined, contained))
          found.push_back(i);
      }
      return orFolded();
    }
    auto indexed = FindCitiesIndexed(store, p1, p2);
    if (!indexed)
      return indexed.error();
    found = std::move(*indexed);
    return orFolded();
  };

  // The town rows of every fitting municipality. When the address names its prefecture,
  // municipalities of another prefecture are left out: a region database that lacks the named
  // prefecture must not answer 大阪市北区 with the 北区 of 東京都.
  auto select = [&](bool contained) -> DbStatus {
    result.rows.Clear();
    auto indexes = fitting(contained);
    if (!indexes)
      return indexes.error();
    for (const std::size_t i : *indexes) {
      auto rows = store.TownRows(i);
      if (!rows)
        return rows.error();
      std::vector<const TownRow*> kept;
      kept.reserve((*rows)->size());
      for (const TownRow& row : **rows) {
        if (parts.prefecture.empty() || text::EqualsNoCase(row.prefecture, parts.prefecture))
          kept.push_back(&row);
      }
      result.rows.AddMunicipality(std::move(kept));
    }
    return {};
  };

  if (auto s = select(false); !s)
    return fail(s.error());
  if (result.rows.empty()) {
    int replaced = 0;
    for (std::u16string* part : {&p1, &p2}) {
      if (part->empty())
        continue;
      auto answer = LookupLearnedWord(context, WordKind::City, *part);
      if (!answer)
        return notFound();
      if (!answer->empty()) {
        *part = *answer;
        ++replaced;
      }
    }
    if (replaced == 0)
      return notFound();
    if (auto s = select(p2.empty()); !s)
      return fail(s.error());
    if (result.rows.empty())
      return notFound();
  }

  // The first row decides the prefecture and the stored spelling of the parts, until the town
  // step finds the town in another of the municipalities. Folding keeps lengths, so the stored
  // spelling of a folded part is the stored name's text at its place.
  if (folded) {
    const std::u16string& stored = result.rows.front().city;
    if (p2.empty()) {
      p1 = stored.substr(stored.size() - std::min(stored.size(), p1.size()));
    } else if (stored.size() == p2.size()) {
      p2 = stored;
    } else {
      p2 = stored.substr(std::min(stored.size(), p1.size()));
      p1 = stored.substr(0, std::min(stored.size(), p1.size()));
    }
  }
  result.found = true;
  result.written = parts;
  result.parts = StoredParts(parts, result.rows.front());
  return result;
}

DbResult<std::vector<std::size_t>> Recognizer::FindCitiesIndexed(AddressStore& store,
                                                                 const std::u16string& p1,
                                                                 const std::u16string& p2) {
  std::vector<std::size_t> found;
  for (const std::u16string& name :
       p2.empty() ? std::vector<std::u16string>{p1} : std::vector<std::u16string>{p2, p1 + p2}) {
    auto some = store.FindMunicipalities(name, p2.empty());
    if (!some)
      return some.error();
    found.insert(found.end(), some->begin(), some->end());
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  return found;
}

DbResult<std::vector<std::size_t>> Recognizer::FindCitiesFolded(
    AddressStore& store, const std::vector<std::u16string>& names, const std::u16string& p1,
    const std::u16string& p2) const {
  const VariantFold& fold = variants_;
  std::vector<std::size_t> found;
  // Written without any character of a class, the parts can fit no other name folded than as
  // written.
  if (!fold.HasClassChar(p1) && !fold.HasClassChar(p2))
    return found;
  // Stored names without variant characters are their own fold: the store's index finds them.
  const std::u16string f1 = fold.Fold(p1);
  const std::u16string f2 = fold.Fold(p2);
  auto indexed = FindCitiesIndexed(store, f1, f2);
  if (!indexed)
    return indexed.error();
  found = std::move(*indexed);
  // The others are compared one by one, folded as they are compared. They are looked for anew
  // at every address instead of being kept: the names belong to the calling thread's store and
  // the recognizer is shared by every thread. A look at each name's characters costs little
  // beside the lookups, and runs only when no name fits as written.
  const std::u16string joined = f1 + f2;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (fold.HasClassChar(names[i]) && FoldedCityFits(fold, names[i], f1, f2, joined))
      found.push_back(i);
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  return found;
}

Recognizer::CityParts Recognizer::StoredParts(const CityParts& written, const TownRow& row) {
  if (written.city.empty() && written.ward.empty())
    return SplitStoredCity(row);
  CityParts parts{row.prefecture, written.city, written.ward};
  std::u16string& p1 = parts.city;
  std::u16string& p2 = parts.ward;
  const std::u16string& stored = row.city;
  std::size_t n = stored.size();
  if (!p2.empty()) {
    const std::size_t u = text::InStr(stored, p2);
    if (u > 0) {
      p2 = text::Mid(stored, u);
      n = u - 1;
    } else {
      p2.clear();
    }
  }
  if (!p1.empty()) {
    if (text::InStr(stored, p1) > 0 && n > 0)
      p1 = text::Left(stored, n);
    else
      p1.clear();
  }
  return parts;
}

}  // namespace mok::engine
