// The learning dictionary: replacements users registered after correcting failed addresses.
//
// A replacement rewrites the beginning of a text: with 札幌 -> 札幌市 registered for cities, the
// text 札幌中央区 becomes 札幌市中央区 (the rest after the registered prefix is kept). The current
// region's rows come before the common ones, then the most used; only the first row applies.
#include <string>

#include "db/address_database.h"
#include "db/connection.h"
#include "text/text.h"

namespace mok::db {

std::optional<std::u16string> AddressDatabase::LookupLearnedWord(int32_t kind,
                                                                 const std::u16string& word,
                                                                 engine::AddressResult& result,
                                                                 DbError* error) {
  auto fail = [&](const DbError& e) -> std::optional<std::u16string> {
    if (error != nullptr)
      *error = e;
    return std::nullopt;
  };
  DbError openError;
  Connection* db = LookupMainConnection(openError);
  if (db == nullptr)
    return fail(openError);

  int64_t rowId = 0;
  std::u16string registered;
  std::u16string converted;
  {
    // The registered word is a prefix of the word when it equals the word's first
    // length(registered) characters; an empty registered word is a prefix of every word.
    auto st = db->Prepare(
        "select rowid, fld登録字句, fld変換字句 from 学習"
        " where (fldDbNo = 0 or fldDbNo = ?1) and (fldType = ?2)"
        " and (fld登録字句 = substr(?3, 1, length(fld登録字句)))"
        " order by fldDbNo desc, fld参照回数 desc, rowid");
    if (!st)
      return fail(st.error());
    Statement& lookup = **st;
    ScopedReset reset(&lookup);
    lookup.BindInt(1, IntRegionNumber).BindInt(2, kind).BindText(3, word);
    auto row = lookup.Step();
    if (!row)
      return fail(row.error());
    if (!*row)
      return std::u16string();
    rowId = lookup.Int(0);
    registered = lookup.Text(1);
    converted = lookup.Text(2);
  }

  if (text::EqualsFold(converted, word))
    return word;

  std::u16string rewritten = converted;
  if (registered.size() < word.size())
    rewritten += word.substr(registered.size());
  if (!result.AddLog(word + u" → " + converted)) {
    return fail(MakeError(u"Subscript out of range (more than 10 conversion log entries)", 9));
  }
  PrepareCountUpdates(*db);
  auto update =
      db->Prepare("update 学習 set fld参照回数 = coalesce(fld参照回数, 0) + 1 where rowid = ?1");
  if (!update)
    return fail(update.error());
  (*update)->BindInt(1, rowId);
  if (auto s = (*update)->Run(); !s)
    return fail(s.error());
  return rewritten;
}

bool AddressDatabase::RegisterLearnedWord(int32_t scope, int32_t kind,
                                          const std::u16string& registeredWord,
                                          const std::u16string& convertedWord) {
  auto fail = [&](const DbError& error) {
    ReportError(error, u"学習辞書");
    return false;
  };
  if (mainDb_ == nullptr)
    return fail(MakeError(u"the main database is not open", 21));
  Connection& db = *mainDb_;
  {
    auto st = db.Prepare(
        "select 1 from 学習 where fldDbNo = ?1 and fldType = ?2 and fld登録字句 = ?3"
        " and fld変換字句 = ?4");
    if (!st)
      return fail(st.error());
    Statement& duplicate = **st;
    ScopedReset reset(&duplicate);
    duplicate.BindInt(1, scope)
        .BindInt(2, kind)
        .BindText(3, registeredWord)
        .BindText(4, convertedWord);
    auto row = duplicate.Step();
    if (!row)
      return fail(row.error());
    if (*row) {
      prompter_.ShowMessage(u"'" + registeredWord + u"' → '" + convertedWord +
                            u"'は既に登録されています。");
      return false;
    }
  }
  auto st = db.Prepare(
      "insert into 学習 (fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数)"
      " values (?1, ?2, ?3, ?4, 0)");
  if (!st)
    return fail(st.error());
  (*st)->BindInt(1, scope).BindInt(2, kind).BindText(3, registeredWord).BindText(4, convertedWord);
  if (auto s = (*st)->Run(); !s)
    return fail(s.error());
  return true;
}

}  // namespace mok::db
