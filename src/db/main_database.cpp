#include "db/main_database.h"

#include <utility>

#include "text/text.h"

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

MainDatabase::~MainDatabase() {
  // The file goes back to the rollback journal it had before the first count (when no other
  // program has it open): a database left in write-ahead-log mode cannot be read from a folder
  // the reader may not write to.
  if (countsLogged_)
    db_.Execute("pragma journal_mode = delete");
}

DbResult<std::vector<engine::Prefecture>> MainDatabase::ReadPrefectures() {
  // Table order: the rows as they were stored, whatever index the table may carry.
  auto st = db_.Compile(
      "select fldKanjiName, fldKatakanaName, fldPrefType from 都道府県名 order by rowid");
  if (!st)
    return Fail(st.error());
  std::vector<engine::Prefecture> prefectures;
  const DbStatus read = EachRow(*st, [&]() -> DbStatus {
    if (prefectures.size() >= kMaxPrefectures)
      return MakeError(u"Subscript out of range (都道府県名 holds more than 50 rows)", 9);
    if (st->IsNull(0))
      return NullValueError(u"都道府県名", u"fldKanjiName");
    if (st->IsNull(1))
      return NullValueError(u"都道府県名", u"fldKatakanaName");
    engine::Prefecture prefecture{st->Text(0), st->Text(1), u"ｹﾝ"};
    if (!st->IsNull(2)) {
      const std::u16string type = st->Text(2);
      prefecture.name += type;
      prefecture.kanaSuffix = KanaSuffix(type);
    }
    prefectures.push_back(std::move(prefecture));
    return {};
  });
  if (!read)
    return Fail(read.error());
  return prefectures;
}

DbResult<std::vector<std::u16string>> MainDatabase::ReadRegionList() {
  auto st = db_.Compile("select fldDbName from ＤＢ一覧 order by rowid");
  if (!st)
    return Fail(st.error());
  std::vector<std::u16string> names;
  const DbStatus read = EachRow(*st, [&]() -> DbStatus {
    if (st->IsNull(0))
      return NullValueError(u"ＤＢ一覧", u"fldDbName");
    names.push_back(st->Text(0));
    return {};
  });
  if (!read)
    return Fail(read.error());
  return names;
}

DbResult<int16_t> MainDatabase::RegionNumber(const std::u16string& name) {
  auto st = db_.Compile("select fldID from ＤＢ一覧 where fldDbName = ?");
  if (!st)
    return Fail(st.error());
  st->BindText(1, name);
  auto row = st->Step();
  if (!row)
    return Fail(row.error());
  if (!*row)
    return int16_t{0};
  const int64_t id = st->Int(0);
  if (id < INT16_MIN || id > INT16_MAX)
    return Fail(MakeError(u"Overflow (ＤＢ一覧.fldID)", 6));
  return static_cast<int16_t>(id);
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
  if (!countsLogged_) {
    countsLogged_ = true;
    // Every learning-dictionary hit stores its reference count. With the rollback journal each
    // of those commits waits for the disk twice (tens of milliseconds); with the write-ahead log
    // and synchronous=normal a commit is an append to the log, and the file stays consistent
    // after a crash or power cut (at most the last counts can be lost). The log is copied back
    // into the file when the last connection closes. Asked for at the first hit only, so that a
    // database whose dictionary never applies keeps its file as it is. Both settings are best
    // effort: a file that cannot take them (read-only, or a folder where the log cannot be
    // created) keeps working as it did, only slower.
    db_.Execute("pragma journal_mode = wal");
    db_.Execute("pragma synchronous = normal");
  }
  auto update =
      db_.Prepare("update 学習 set fld参照回数 = coalesce(fld参照回数, 0) + 1 where rowid = ?1");
  if (!update)
    return Fail(update.error());
  (*update)->BindInt(1, id);
  if (auto s = (*update)->Run(); !s)
    return Fail(s.error());
  return {};
}

DbResult<Registration> MainDatabase::RegisterLearnedWord(int32_t scope, engine::WordKind kind,
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
