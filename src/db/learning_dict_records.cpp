#include "db/learning_dict_records.h"

#include <string>

#include "db/connection.h"

namespace mok::db {

namespace {

// The store's "no current record" failure (deleting or storing where there is no row).
DbError NoCurrentRecord() {
  return MakeError(u"カレント レコードがありません。", 3021);
}

// The keyword as a LIKE pattern matching it anywhere, its own wildcards taken literally.
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

std::optional<std::u16string> OptionalText(const Statement& st, int column) {
  if (st.IsNull(column))
    return std::nullopt;
  return st.Text(column);
}

std::optional<int64_t> OptionalInt(const Statement& st, int column) {
  if (st.IsNull(column))
    return std::nullopt;
  return st.Int(column);
}

void BindOptionalText(Statement& st, int index, const std::optional<std::u16string>& value) {
  if (value) {
    st.BindText(index, *value);
  } else {
    st.BindNull(index);
  }
}

template <class T>
void BindOptionalInt(Statement& st, int index, const std::optional<T>& value) {
  if (value) {
    st.BindInt(index, static_cast<int64_t>(*value));
  } else {
    st.BindNull(index);
  }
}

}  // namespace

LearningDictRecords::LearningDictRecords() = default;
LearningDictRecords::~LearningDictRecords() = default;

DbStatus LearningDictRecords::Open(const std::u16string& path) {
  auto opened = Connection::Open(path);
  if (!opened)
    return opened.error();
  connection_ = std::make_unique<Connection>(std::move(*opened));
  return {};
}

DbResult<std::vector<DictRegion>> LearningDictRecords::ReadRegions() {
  if (!connection_)
    return NoCurrentRecord();
  auto st = connection_->Compile("select fldDbName, fldID from ＤＢ一覧 order by rowid");
  if (!st)
    return st.error();
  std::vector<DictRegion> regions;
  if (DbStatus read = EachRow(*st, [&] { regions.push_back({st->Text(0), st->Text(1)}); }); !read) {
    return read.error();
  }
  return regions;
}

DbStatus LearningDictRecords::Search(const LearningDictSearch& search) {
  if (!connection_)
    return NoCurrentRecord();
  // The clause keeps the editor's conditions: scope, then kind, then keyword, joined by "and".
  std::string clause;
  auto add = [&clause](const std::string& condition) {
    if (!clause.empty())
      clause += " and";
    clause += " " + condition;
  };
  bool bindRegion = false;
  if (search.commonOnly) {
    add("fldDbNo = 0");
  } else if (search.regionNo) {
    add("fldDbNo = ?1");
    bindRegion = true;
  }
  if (search.city && search.town) {
    add("(fldType = 2 or fldType = 3)");
  } else if (search.city) {
    add("fldType = 2");
  } else if (search.town) {
    add("fldType = 3");
  }
  const bool bindKeyword = !search.keyword.empty();
  if (bindKeyword) {
    switch (search.field) {
      case KeywordField::Registered:
        add("fld登録字句 like ?2 escape '\\'");
        break;
      case KeywordField::Converted:
        add("fld変換字句 like ?2 escape '\\'");
        break;
      case KeywordField::Either:
        add("(fld変換字句 like ?2 escape '\\' or fld登録字句 like ?2 escape '\\')");
        break;
    }
  }
  std::string sql =
      "select rowid, fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数 from 学習";
  if (!clause.empty())
    sql += " where" + clause;
  sql += " order by rowid";

  auto st = connection_->Compile(sql);
  if (!st)
    return st.error();
  if (bindRegion)
    st->BindInt(1, *search.regionNo);
  if (bindKeyword)
    st->BindText(2, ContainsPattern(search.keyword));

  std::vector<LearningDictRow> rows;
  DbStatus read = EachRow(*st, [&] {
    LearningDictRow r;
    r.rowId = st->Int(0);
    if (auto v = OptionalInt(*st, 1))
      r.scope = static_cast<int32_t>(*v);
    if (auto v = OptionalInt(*st, 2))
      r.kind = static_cast<int32_t>(*v);
    r.registeredWord = OptionalText(*st, 3);
    r.convertedWord = OptionalText(*st, 4);
    r.referenceCount = OptionalInt(*st, 5);
    rows.push_back(std::move(r));
  });
  if (read)
    rows_ = std::move(rows);
  return read;
}

void LearningDictRecords::AddNew() {
  rows_.push_back(LearningDictRow{});
}

DbStatus LearningDictRecords::Store(int32_t index, const LearningDictRow& row) {
  if (!connection_ || index < 0 || index >= Count())
    return NoCurrentRecord();
  LearningDictRow& target = rows_[static_cast<size_t>(index)];
  const bool adding = target.rowId == 0;
  auto st = connection_->Compile(
      adding ? "insert into 学習 (fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数)"
               " values (?1, ?2, ?3, ?4, ?5)"
             : "update 学習 set fldDbNo = ?1, fldType = ?2, fld登録字句 = ?3, fld変換字句 = ?4,"
               " fld参照回数 = ?5 where rowid = ?6");
  if (!st)
    return st.error();
  BindOptionalInt(*st, 1, row.scope);
  BindOptionalInt(*st, 2, row.kind);
  BindOptionalText(*st, 3, row.registeredWord);
  BindOptionalText(*st, 4, row.convertedWord);
  BindOptionalInt(*st, 5, row.referenceCount);
  if (!adding)
    st->BindInt(6, target.rowId);
  if (DbStatus done = st->Run(); !done)
    return done;
  const int64_t rowId = adding ? connection_->LastInsertRowId() : target.rowId;
  target = row;
  target.rowId = rowId;
  return {};
}

DbStatus LearningDictRecords::Delete(int32_t index) {
  if (!connection_ || index < 0 || index >= Count())
    return NoCurrentRecord();
  const auto at = rows_.begin() + index;
  if (at->rowId != 0) {
    auto st = connection_->Compile("delete from 学習 where rowid = ?1");
    if (!st)
      return st.error();
    st->BindInt(1, at->rowId);
    if (DbStatus done = st->Run(); !done)
      return done;
  }
  rows_.erase(at);
  return {};
}

}  // namespace mok::db
