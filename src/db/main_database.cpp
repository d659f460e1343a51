#include "db/main_database.h"

#include <utility>

#include "db/schema.h"
#include "db/statement_values.h"

namespace mok::db {

namespace {

// A run that counted a learned word and was killed (or crashed) before it closed leaves the file
// in write-ahead-log mode, which cannot be read from a folder the reader may not write to. The
// next opening that can puts the rollback journal back (the log is played into the file first,
// so no count is lost); while another program has the file open it stays as it is.
void RestoreRollbackJournal(Connection& db) {
  bool logged = false;
  {
    auto mode = db.Compile("pragma journal_mode");
    const auto row = mode ? mode->Step() : DbResult<bool>(false);
    logged = row && *row && mode->Text(0) == u"wal";
  }  // the statement no longer holds the file when the mode changes
  if (logged)
    db.ExecuteUnlessBusy("pragma journal_mode = delete");
}

}  // namespace

DbResult<std::unique_ptr<MainDatabase>> MainDatabase::Open(const std::u16string& path) {
  auto db = Connection::Open(path);
  if (!db)
    return InFile(db.error(), path);
  RestoreRollbackJournal(*db);
  return std::unique_ptr<MainDatabase>(new MainDatabase(std::move(*db)));
}

DbResult<std::unique_ptr<MainDatabase>> MainDatabase::Create(const std::u16string& path) {
  auto db = Connection::Create(path);
  if (!db)
    return InFile(db.error(), path);
  if (auto made = CreateMainSchema(*db); !made)
    return InFile(made.error(), path);
  if (auto indexed = CreateLookupIndexes(*db); !indexed)
    return InFile(indexed.error(), path);
  return std::unique_ptr<MainDatabase>(new MainDatabase(std::move(*db)));
}

MainDatabase::~MainDatabase() {
  // The file goes back to the rollback journal it had before the first count (when no other
  // program has it open): a database left in write-ahead-log mode cannot be read from a folder
  // the reader may not write to.
  if (countsLogged_)
    db_.Execute("pragma journal_mode = delete");
}

DbResult<std::vector<StoredPrefecture>> MainDatabase::ReadPrefectureRows() {
  // Table order: the rows as they were stored, whatever index the table may carry.
  auto st = db_.Compile(
      "select rowid, fldKanjiName, fldKatakanaName, fldPrefType from 都道府県名 order by rowid");
  if (!st)
    return Fail(st.error());
  std::vector<StoredPrefecture> rows;
  const DbStatus read = EachRow(*st, [&] {
    rows.push_back({st->Int(0), OptionalText(*st, 1), OptionalText(*st, 2), OptionalText(*st, 3)});
  });
  if (!read)
    return Fail(read.error());
  return rows;
}

DbResult<std::vector<StoredRegion>> MainDatabase::ReadRegionRows() {
  auto st = db_.Compile("select rowid, fldDbName, fldID from ＤＢ一覧 order by rowid");
  if (!st)
    return Fail(st.error());
  std::vector<StoredRegion> rows;
  const DbStatus read = EachRow(*st, [&]() -> DbStatus {
    auto id = OptionalInteger(*st, 2, u"ＤＢ一覧.fldID");
    if (!id)
      return id.error();
    rows.push_back({st->Int(0), OptionalText(*st, 1), *id});
    return {};
  });
  if (!read)
    return Fail(read.error());
  return rows;
}

DbResult<std::optional<engine::LearnedWord>> MainDatabase::FindLearnedWord(
    int16_t region, engine::WordKind kind, std::u16string_view word) {
  // The registered word is a prefix of the word when it equals the word's first
  // length(registered) characters; an empty registered word is a prefix of every word.
  auto st = db_.Prepare(
      "select rowid, fld登録字句, fld変換字句 from 学習"
      " where (fldDbNo = 0 or fldDbNo = ?1) and (fldType = ?2)"
      " and (fld登録字句 = substr(?3, 1, length(fld登録字句)))"
      " order by fldDbNo desc, fld参照回数 desc, rowid");
  if (!st)
    return Fail(st.error());
  Statement& lookup = **st;
  ScopedReset reset(&lookup);
  lookup.BindInt(1, region).BindInt(2, static_cast<int>(kind)).BindText(3, word);
  auto row = lookup.Step();
  if (!row)
    return Fail(row.error());
  if (!*row)
    return std::optional<engine::LearnedWord>();
  return std::optional<engine::LearnedWord>(
      engine::LearnedWord{lookup.Int(0), lookup.Text(1), lookup.Text(2)});
}

DbResult<std::vector<std::u16string>> MainDatabase::RegisteredWords(int16_t region,
                                                                    engine::WordKind kind) {
  auto st = db_.Compile(
      "select fld登録字句 from 学習 where (fldDbNo = 0 or fldDbNo = ?1) and fldType = ?2"
      " and fld登録字句 is not null");
  if (!st)
    return Fail(st.error());
  st->BindInt(1, region).BindInt(2, static_cast<int>(kind));
  std::vector<std::u16string> words;
  const DbStatus read = EachRow(*st, [&]() -> DbStatus {
    words.push_back(st->Text(0));
    return {};
  });
  if (!read)
    return Fail(read.error());
  return words;
}

void MainDatabase::LogWrites() {
  if (countsLogged_)
    return;
  countsLogged_ = true;
  // Every learning-dictionary hit stores its reference count. With the rollback journal each
  // of those commits waits for the disk twice (tens of milliseconds); with the write-ahead log
  // and synchronous=normal a commit is an append to the log, and the file stays consistent
  // after a crash or power cut (at most the last counts can be lost). The log also lets several
  // programs write in turn without one of them waiting for its turn until it gives up. It is
  // copied back into the file when the last connection closes. Asked for at the first write
  // only, so that a database whose dictionary never changes keeps its file as it is. Both
  // settings are best effort: a file that cannot take them (read-only, or a folder where the
  // log cannot be created) keeps working as it did, only slower.
  db_.Execute("pragma journal_mode = wal");
  db_.Execute("pragma synchronous = normal");
}

DbResult<int64_t> MainDatabase::DataVersion() {
  auto st = db_.Prepare("pragma data_version");
  if (!st)
    return Fail(st.error());
  ScopedReset reset(*st);
  auto row = (*st)->Step();
  if (!row)
    return Fail(row.error());
  return *row ? (*st)->Int(0) : int64_t{0};
}

DbStatus MainDatabase::CountLearnedWordUse(int64_t id) {
  LogWrites();
  // The write lock is taken before the row is read, waiting for other programs' counts: an
  // update that read first could find the file changed by another program when it comes to
  // write, and fail at once instead of waiting.
  auto transaction = Transaction::BeginWrite(db_);
  if (!transaction)
    return Fail(transaction.error());
  auto update =
      db_.Prepare("update 学習 set fld参照回数 = coalesce(fld参照回数, 0) + 1 where rowid = ?1");
  if (!update)
    return Fail(update.error());
  (*update)->BindInt(1, id);
  if (auto s = (*update)->Run(); !s)
    return Fail(s.error());
  if (auto committed = transaction->Commit(); !committed)
    return Fail(committed.error());
  return {};
}

DbResult<Registration> MainDatabase::RegisterLearnedWord(int32_t scope, engine::WordKind kind,
                                                         const std::u16string& registeredWord,
                                                         const std::u16string& convertedWord) {
  // The check and the insert hold the file's write lock together: two programs registering the
  // same pair at once add it once.
  LogWrites();
  auto transaction = Transaction::BeginWrite(db_);
  if (!transaction)
    return Fail(transaction.error());
  auto added = AddLearnedWord(scope, kind, registeredWord, convertedWord);
  if (!added)
    return added;
  if (auto committed = transaction->Commit(); !committed)
    return Fail(committed.error());
  return added;
}

DbResult<Registration> MainDatabase::AddLearnedWord(int32_t scope, engine::WordKind kind,
                                                    const std::u16string& registeredWord,
                                                    const std::u16string& convertedWord) {
  {
    auto st = db_.Prepare(
        "select 1 from 学習 where fldDbNo = ?1 and fldType = ?2 and fld登録字句 = ?3"
        " and fld変換字句 = ?4");
    if (!st)
      return Fail(st.error());
    Statement& duplicate = **st;
    ScopedReset reset(&duplicate);
    duplicate.BindInt(1, scope)
        .BindInt(2, static_cast<int>(kind))
        .BindText(3, registeredWord)
        .BindText(4, convertedWord);
    auto row = duplicate.Step();
    if (!row)
      return Fail(row.error());
    if (*row)
      return Registration::AlreadyRegistered;
  }
  auto st = db_.Prepare(
      "insert into 学習 (fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数)"
      " values (?1, ?2, ?3, ?4, 0)");
  if (!st)
    return Fail(st.error());
  (*st)
      ->BindInt(1, scope)
      .BindInt(2, static_cast<int>(kind))
      .BindText(3, registeredWord)
      .BindText(4, convertedWord);
  if (auto s = (*st)->Run(); !s)
    return Fail(s.error());
  return Registration::Added;
}

}  // namespace mok::db
