// Postal-code lookup: the kanji city and place names of a half-width katakana city and place
// text, through the POST table of the region database.
//
// With a place text the katakana names must begin with the texts (ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ + ｷﾀ1ｼﾞｮｳﾆｼ finds
// the first row of 札幌市中央区 北一条西…); without one the joined katakana names must equal the
// city text.
#include <string>

#include "db/address_database.h"
#include "db/connection.h"

namespace mok::db {

std::u16string AddressDatabase::LookupPostalCode(const std::u16string& prefecture,
                                                 const std::u16string& cityKana,
                                                 const std::u16string& placeKana,
                                                 engine::AddressResult& result) {
  return QueryPostalCode(prefecture, cityKana, placeKana, result);
}

std::u16string AddressDatabase::QueryPostalCode(const std::u16string& prefecture,
                                                const std::u16string& cityKana,
                                                const std::u16string& placeKana,
                                                engine::AddressResult& result) {
  if (!OpenRegionDatabase(prefecture))
    return {};
  auto fail = [&](const DbError& error) {
    ReportError(error);
    return std::u16string();
  };
  DbError openError;
  Connection* db = LookupRegionConnection(LookupRegionPath(prefecture), openError);
  if (db == nullptr)
    return fail(openError);

  // substr/length count characters on both sides, so the prefix is compared character for
  // character; the comparison ignores ASCII letter case as the columns do.
  auto st = placeKana.empty()
                ? db->Prepare(
                      "select fld郵便番号, fld市区町村, fld地名 from POST"
                      " where (fldシクチョウソン || fldチメイ) = ?1 collate nocase order by rowid")
                : db->Prepare(
                      "select fld郵便番号, fld市区町村, fld地名 from POST"
                      " where substr(fldシクチョウソン, 1, length(?1)) = ?1 collate nocase"
                      " and substr(fldチメイ, 1, length(?2)) = ?2 collate nocase order by rowid");
  if (!st)
    return fail(st.error());
  Statement& post = **st;
  ScopedReset reset(&post);
  post.BindText(1, cityKana);
  if (!placeKana.empty())
    post.BindText(2, placeKana);
  auto row = post.Step();
  if (!row)
    return fail(row.error());
  if (!*row)
    return {};
  const std::u16string code = post.Text(0);
  std::u16string answer = post.Text(1) + u"," + post.Text(2);
  // A statement left on a row keeps the file locked, also while a message waits.
  post.Reset();
  if (!result.AddLog(u"郵便番号:" + code)) {
    return fail(MakeError(u"Subscript out of range (more than 10 conversion log entries)", 9));
  }
  return answer;
}

}  // namespace mok::db
