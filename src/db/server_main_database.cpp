#include "db/server_main_database.h"

#include <utility>

#include "db/server_main_schema.h"

namespace mok::db {

namespace {

// Every learned word a lookup may apply, for the snapshot.
constexpr const char* kSnapshotRows =
    "select rowid, fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数 from 学習"
    " where fldType in (2, 3) and fld登録字句 is not null order by rowid";

// The beginnings of `word` that a registered word may be (the empty one included), each with
// its ASCII letters lowered as the lookup lowers the stored words: the lookup is then one search
// of the index on the lowered words instead of a comparison with every row. A beginning ends
// at a whole character, as the file engine's substr counts them.
std::vector<PgValue> LoweredBeginnings(std::u16string_view word) {
  std::u16string lowered(word);
  for (char16_t& c : lowered) {
    if (c >= u'A' && c <= u'Z')
      c = static_cast<char16_t>(c - u'A' + u'a');
  }
  std::vector<PgValue> beginnings;
  for (std::size_t length = 0; length <= lowered.size(); ++length) {
    const bool splitsPair = length > 0 && length < lowered.size() &&
                            lowered[length - 1] >= 0xD800 && lowered[length - 1] <= 0xDBFF;
    if (!splitsPair)
      beginnings.push_back(PgText(std::u16string_view(lowered).substr(0, length)));
  }
  return beginnings;
}

}  // namespace

std::optional<int32_t> OptionalInt32(const PgRows& rows, int row, int column) {
  // The server's columns are 32-bit: the value always fits.
  if (rows.IsNull(row, column))
    return std::nullopt;
  return static_cast<int32_t>(rows.Int(row, column));
}

DbResult<std::unique_ptr<ServerMainDatabase>> ServerMainDatabase::Open(const std::u16string& name) {
  auto server = PgConnection::Connect(name);
  if (!server)
    return server.error();
  return std::unique_ptr<ServerMainDatabase>(new ServerMainDatabase(std::move(*server)));
}

DbResult<std::unique_ptr<ServerMainDatabase>> ServerMainDatabase::Create(
    const std::u16string& name) {
  auto server = PgConnection::Connect(name);
  if (!server)
    return server.error();
  if (auto made = CreateServerMainSchema(*server); !made)
    return made.error();
  return std::unique_ptr<ServerMainDatabase>(new ServerMainDatabase(std::move(*server)));
}

DbResult<PgRows> ServerMainDatabase::Query(const char* sql, const std::vector<PgValue>& params) {
  if (lost_)
    return *lost_;
  auto rows = server_.Query(sql, params);
  if (!rows && server_.Lost())
    lost_ = rows.error();
  return rows;
}

DbStatus ServerMainDatabase::Reconnect() {
  if (!lost_)
    return {};
  if (auto again = server_.Reconnect(); !again)
    return again;
  lost_.reset();
  return {};
}

void ServerMainDatabase::Refresh() {
  // A server that is still away leaves the snapshot as it was: the run's first query reports
  // the failure.
  if (!Reconnect())
    return;
  auto rows = Query(kSnapshotRows);
  if (!rows)
    return;
  std::vector<LearningDictRow> words;
  words.reserve(static_cast<std::size_t>(rows->Count()));
  for (int i = 0; i < rows->Count(); ++i) {
    words.push_back({rows->Int(i, 0), OptionalInt32(*rows, i, 1), OptionalInt32(*rows, i, 2),
                     rows->OptionalText(i, 3), rows->OptionalText(i, 4), rows->OptionalInt(i, 5)});
  }
  snapshot_.Replace(std::move(words));
}

DbResult<std::vector<StoredPrefecture>> ServerMainDatabase::ReadPrefectureRows() {
  auto rows = Query(
      "select rowid, fldKanjiName, fldKatakanaName, fldPrefType from 都道府県名 order by rowid");
  if (!rows)
    return rows.error();
  std::vector<StoredPrefecture> prefectures;
  for (int i = 0; i < rows->Count(); ++i) {
    prefectures.push_back({rows->Int(i, 0), rows->OptionalText(i, 1), rows->OptionalText(i, 2),
                           rows->OptionalText(i, 3)});
  }
  return prefectures;
}

DbResult<std::vector<StoredRegion>> ServerMainDatabase::ReadRegionRows() {
  auto rows = Query("select rowid, fldDbName, fldID from ＤＢ一覧 order by rowid");
  if (!rows)
    return rows.error();
  std::vector<StoredRegion> regions;
  for (int i = 0; i < rows->Count(); ++i)
    regions.push_back({rows->Int(i, 0), rows->OptionalText(i, 1), rows->OptionalInt(i, 2)});
  return regions;
}

DbResult<std::optional<engine::LearnedWord>> ServerMainDatabase::FindLearnedWord(
    int16_t region, engine::WordKind kind, std::u16string_view word) {
  // The file engine sorts a Null count below every count, also in descending order.
  auto rows = Query(
      "select rowid, fld登録字句, fld変換字句 from 学習"
      " where (fldDbNo = 0 or fldDbNo = $1) and fldType = $2"
      " and lower(fld登録字句 collate \"C\") = any($3::text[])"
      " order by fldDbNo desc, fld参照回数 desc nulls last, rowid limit 1",
      {PgInt(region), PgInt(static_cast<int>(kind)), PgArray(LoweredBeginnings(word))});
  if (!rows && lost_)
    return snapshot_.Find(region, kind, word);
  if (!rows)
    return rows.error();
  if (rows->Count() == 0)
    return std::optional<engine::LearnedWord>();
  return std::optional<engine::LearnedWord>(
      engine::LearnedWord{rows->Int(0, 0), rows->Text(0, 1), rows->Text(0, 2)});
}

DbResult<std::vector<std::u16string>> ServerMainDatabase::RegisteredWords(int16_t region,
                                                                          engine::WordKind kind) {
  auto rows = Query(
      "select fld登録字句 from 学習 where (fldDbNo = 0 or fldDbNo = $1) and fldType = $2"
      " and fld登録字句 is not null",
      {PgInt(region), PgInt(static_cast<int>(kind))});
  if (!rows && lost_)
    return snapshot_.RegisteredWords(region, kind);
  if (!rows)
    return rows.error();
  std::vector<std::u16string> words;
  words.reserve(static_cast<std::size_t>(rows->Count()));
  for (int i = 0; i < rows->Count(); ++i)
    words.push_back(rows->Text(i, 0));
  return words;
}

DbResult<int64_t> ServerMainDatabase::DataVersion() {
  // The server keeps no version of a table: the number, the newest row and a hash of every
  // registered pair tell a registration, an edit and a removal apart from the state before;
  // counts stay out. While the server is away the dictionary the run reads is the snapshot,
  // which does not change.
  auto rows = Query(
      "select count(*), coalesce(max(rowid), 0), coalesce(sum(hashtext(concat_ws('|', fldDbNo,"
      " fldType, fld登録字句, fld変換字句))::bigint), 0) from 学習");
  if (!rows && lost_)
    return lastVersion_;
  if (!rows)
    return rows.error();
  lastVersion_ = rows->Int(0, 0) * 1000003 + rows->Int(0, 1) * 7919 + rows->Int(0, 2);
  return lastVersion_;
}

DbStatus ServerMainDatabase::CountLearnedWordUse(int64_t id) {
  // Added in the server: two desks counting the same word at once both count.
  auto counted = Query(
      "update 学習 set fld参照回数 = coalesce(fld参照回数, 0) + 1 where rowid = $1", {PgInt(id)});
  if (!counted)
    return counted.error();
  snapshot_.Counted(id);
  return {};
}

DbResult<Registration> ServerMainDatabase::RegisterLearnedWord(
    int32_t scope, engine::WordKind kind, const std::u16string& registeredWord,
    const std::u16string& convertedWord) {
  if (auto connected = Reconnect(); !connected)
    return connected.error();
  auto transaction = PgTransaction::Begin(server_);
  if (!transaction)
    return transaction.error();
  auto rowId = AddLearnedWord(scope, kind, registeredWord, convertedWord);
  if (!rowId)
    return rowId.error();
  if (auto committed = transaction->Commit(); !committed)
    return committed.error();
  if (*rowId == 0)
    return Registration::AlreadyRegistered;
  snapshot_.Add({*rowId, scope, static_cast<int32_t>(kind), registeredWord, convertedWord, 0});
  return Registration::Added;
}

DbResult<int64_t> ServerMainDatabase::AddLearnedWord(int32_t scope, engine::WordKind kind,
                                                     const std::u16string& registeredWord,
                                                     const std::u16string& convertedWord) {
  // Registrations wait for each other on one lock held to the end of the transaction, so that
  // the duplicate check and the insert of two desks cannot interleave. A unique key on the four
  // columns would not do: the editor may store a row equal to another, and dictionaries brought
  // over from elsewhere may hold such rows already.
  if (auto locked = Query("select pg_advisory_xact_lock(1297042226, 1)"); !locked)
    return locked.error();
  const std::vector<PgValue> values{PgInt(scope), PgInt(static_cast<int>(kind)),
                                    PgText(registeredWord), PgText(convertedWord)};
  auto duplicate = Query(
      "select 1 from 学習 where fldDbNo = $1 and fldType = $2"
      " and lower(fld登録字句 collate \"C\") = lower($3 collate \"C\")"
      " and lower(fld変換字句 collate \"C\") = lower($4 collate \"C\") limit 1",
      values);
  if (!duplicate)
    return duplicate.error();
  if (duplicate->Count() > 0)
    return int64_t{0};
  auto inserted = Query(
      "insert into 学習 (fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数)"
      " values ($1, $2, $3, $4, 0) returning rowid",
      values);
  if (!inserted)
    return inserted.error();
  return inserted->Int(0, 0);
}

}  // namespace mok::db
