#include "db/main_store.h"

#include <utility>

#include "text/nocase.h"

namespace mok::db {

namespace {

constexpr std::size_t kMaxPrefectures = 50;

// The katakana reading of a prefecture type written after the name: ﾄ for 都, ﾌ for 府, nothing
// for 道 (北海道 keeps its whole reading in the name), ｹﾝ for 県 and any other type.
std::u16string KanaSuffix(const std::u16string& type) {
  if (type == u"都")
    return u"ﾄ";
  if (type == u"道")
    return u"";
  if (type == u"府")
    return u"ﾌ";
  return u"ｹﾝ";
}

}  // namespace

DbError LearnedRowGone() {
  return MakeError(u"この語句は学習辞書にもうありません（他の端末で削除されました）。", 3021);
}

DbResult<MainContent> ReadMainContent(MainStore& store) {
  MainContent content;
  auto prefectures = store.ReadPrefectureRows();
  if (!prefectures)
    return prefectures.error();
  auto regions = store.ReadRegionRows();
  if (!regions)
    return regions.error();
  // Neither kind chosen: every row, whatever its kind.
  auto words = store.SearchLearnedRows({.city = false, .town = false});
  if (!words)
    return words.error();
  return MainContent{std::move(*prefectures), std::move(*regions), std::move(*words)};
}

DbResult<std::vector<engine::Prefecture>> ReadPrefectures(MainStore& store) {
  auto rows = store.ReadPrefectureRows();
  if (!rows)
    return rows.error();
  std::vector<engine::Prefecture> prefectures;
  for (const StoredPrefecture& row : *rows) {
    if (prefectures.size() >= kMaxPrefectures) {
      return InFile(MakeError(u"Subscript out of range (都道府県名 holds more than 50 rows)", 9),
                    store.Name());
    }
    if (!row.name)
      return InFile(NullValueError(u"都道府県名", u"fldKanjiName"), store.Name());
    if (!row.kana)
      return InFile(NullValueError(u"都道府県名", u"fldKatakanaName"), store.Name());
    engine::Prefecture prefecture{*row.name, *row.kana, u"ｹﾝ"};
    if (row.type) {
      prefecture.name += *row.type;
      prefecture.kanaSuffix = KanaSuffix(*row.type);
    }
    prefectures.push_back(std::move(prefecture));
  }
  return prefectures;
}

DbResult<std::vector<std::u16string>> ReadRegionList(MainStore& store) {
  auto rows = store.ReadRegionRows();
  if (!rows)
    return rows.error();
  std::vector<std::u16string> names;
  for (const StoredRegion& row : *rows) {
    if (!row.name)
      return InFile(NullValueError(u"ＤＢ一覧", u"fldDbName"), store.Name());
    names.push_back(*row.name);
  }
  return names;
}

DbResult<int16_t> RegionNumber(MainStore& store, const std::u16string& name) {
  auto rows = store.ReadRegionRows();
  if (!rows)
    return rows.error();
  for (const StoredRegion& row : *rows) {
    if (!row.name || !text::EqualsNoCase(*row.name, name))
      continue;
    const int64_t id = row.id.value_or(0);
    if (id < INT16_MIN || id > INT16_MAX)
      return InFile(MakeError(u"Overflow (ＤＢ一覧.fldID)", 6), store.Name());
    return static_cast<int16_t>(id);
  }
  return int16_t{0};
}

std::u16string ContainsPattern(const std::u16string& keyword) {
  std::u16string pattern = u"%";
  for (char16_t c : keyword) {
    if (c == u'%' || c == u'_' || c == u'\\')
      pattern += u'\\';
    pattern += c;
  }
  pattern += u'%';
  return pattern;
}

std::string LearnedSearchClause(const LearningDictSearch& search,
                                const std::function<std::string()>& region,
                                const std::function<std::string(const char* column)>& like) {
  std::string clause;
  auto add = [&clause](const std::string& condition) {
    clause += clause.empty() ? " where " : " and ";
    clause += condition;
  };
  if (search.commonOnly) {
    add("fldDbNo = 0");
  } else if (search.regionNo) {
    add("fldDbNo = " + region());
  }
  if (search.city && search.town) {
    add("(fldType = 2 or fldType = 3)");
  } else if (search.city) {
    add("fldType = 2");
  } else if (search.town) {
    add("fldType = 3");
  }
  if (!search.keyword.empty()) {
    switch (search.field) {
      case KeywordField::Registered:
        add(like("fld登録字句"));
        break;
      case KeywordField::Converted:
        add(like("fld変換字句"));
        break;
      case KeywordField::Either:
        add("(" + like("fld変換字句") + " or " + like("fld登録字句") + ")");
        break;
    }
  }
  return clause;
}

}  // namespace mok::db
