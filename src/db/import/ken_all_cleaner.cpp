#include "db/import/ken_all_cleaner.h"

#include <optional>
#include <set>

#include "text/text.h"

namespace mok::db {
namespace {

// KEN_ALL columns (0-based).
constexpr std::size_t kPostalCode = 2;
constexpr std::size_t kCityKana = 4;
constexpr std::size_t kPlaceKana = 5;
constexpr std::size_t kCity = 7;
constexpr std::size_t kPlace = 8;

constexpr std::u16string_view kOthersKanji = u"以下に掲載がない場合";
constexpr std::u16string_view kOthersKana = u"ｲｶﾆｹｲｻｲｶﾞﾅｲﾊﾞｱｲ";

bool IsOpen(char16_t c) {
  return c == u'（' || c == u'(';
}
bool IsClose(char16_t c) {
  return c == u'）' || c == u')';
}

// Whether the text has an opening parenthesis not yet closed.
bool Unclosed(std::u16string_view text) {
  int depth = 0;
  for (char16_t c : text) {
    if (IsOpen(c))
      ++depth;
    if (IsClose(c) && depth > 0)
      --depth;
  }
  return depth > 0;
}

// "利島村一円" (the whole village) and "大島町の次に番地がくる場合" (the lot number follows the
// municipality's name) describe how addresses are written, not a place: the record stands for
// the municipality itself. A place really called 一円 (滋賀県 多賀町) is not preceded by the
// municipality's name and stays.
bool NamesNoPlace(std::u16string_view place, std::u16string_view city) {
  constexpr std::u16string_view kWhole = u"一円";
  constexpr std::u16string_view kNumberFollows = u"の次に番地がくる場合";
  if (place.ends_with(kNumberFollows))
    return true;
  return place.size() == city.size() + kWhole.size() && place.starts_with(city) &&
         place.ends_with(kWhole);
}

struct Pending {
  std::u16string postalCode, city, place, cityKana, placeKana;
};

}  // namespace

std::u16string WithoutAnnotations(std::u16string_view text) {
  std::u16string out;
  int depth = 0;
  for (char16_t c : text) {
    if (IsOpen(c)) {
      ++depth;
    } else if (IsClose(c) && depth > 0) {
      --depth;
    } else if (depth == 0) {
      out += c;
    }
  }
  return text::Trim(out);
}

KenAllCleaning CleanKenAll(const std::vector<KenAllLine>& lines) {
  KenAllCleaning result;
  std::set<PostalRecord> seen;
  auto emit = [&](const Pending& p) {
    if (p.place == kOthersKanji || p.placeKana == kOthersKana) {
      ++result.droppedOthers;
      return;
    }
    PostalRecord record{p.postalCode, p.city, WithoutAnnotations(p.place), p.cityKana,
                        WithoutAnnotations(p.placeKana)};
    if (NamesNoPlace(record.place, record.city)) {
      record.place.clear();
      record.placeKana.clear();
      ++result.wholeMunicipality;
    }
    if (!seen.insert(record).second) {
      ++result.duplicates;
      return;
    }
    result.records.push_back(std::move(record));
  };

  std::optional<Pending> pending;
  for (const KenAllLine& line : lines) {
    auto field = [&](std::size_t i) {
      return i < line.fields.size() ? text::Trim(line.fields[i]) : std::u16string();
    };
    Pending current{field(kPostalCode), field(kCity), field(kPlace), field(kCityKana),
                    field(kPlaceKana)};
    if (pending && pending->postalCode == current.postalCode && pending->city == current.city &&
        (Unclosed(pending->place) || Unclosed(pending->placeKana))) {
      // A continuation line. Some split records repeat the whole kana on every line; only new
      // kana text is appended.
      pending->place += current.place;
      if (current.placeKana != pending->placeKana)
        pending->placeKana += current.placeKana;
      ++result.joinedLines;
      continue;
    }
    if (pending)
      emit(*pending);
    pending = std::move(current);
  }
  if (pending)
    emit(*pending);
  return result;
}

}  // namespace mok::db
