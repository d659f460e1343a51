// The connection state and the reference lists of the address database: opening and closing the
// main database and the one region database, and loading the prefecture names and the region list
// from the main database.
#include "db/address_database.h"

#include <utility>

#include "db/connection.h"
#include "text/text.h"

namespace mok::db {

namespace {

#ifdef _WIN32
constexpr char16_t kPathSeparator = u'\\';
#else
constexpr char16_t kPathSeparator = u'/';
#endif

constexpr char16_t kMainDatabaseFile[] = u"mok2.sqlite";
constexpr char16_t kRegionExtension[] = u".sqlite";
constexpr int kMaxPrefectures = 50;

// The folder and the file name joined by the separator, as the folder setting is stored (an
// empty folder gives a path at the root, which then fails to open with the engine's message).
std::u16string JoinPath(const std::u16string& dir, const std::u16string& file) {
  return dir + kPathSeparator + file;
}

// A required text column that holds Null: the engine refuses it as the type mismatch it is.
DbError NullValueError(const char16_t* table, const char16_t* column) {
  return MakeError(std::u16string(u"Invalid use of Null (") + table + u"." + column + u")", 94);
}

}  // namespace

AddressDatabase::AddressDatabase(Settings& settings, Prompter& prompter)
    : settings_(settings), prompter_(prompter) {}

AddressDatabase::~AddressDatabase() = default;

void AddressDatabase::ReportError(const DbError& error, const std::u16string& context) {
  prompter_.ShowMessage(error.Text() + u"\r\n" + context);
}

std::u16string AddressDatabase::RegionPath(const std::u16string& region) const {
  return JoinPath(settings_.dbDir, region + kRegionExtension);
}

// --- Main database ----------------------------------------------------------------------------

bool AddressDatabase::OpenMainDatabase() {
  if (BlnMainDbOpen)
    return true;
  DatabasePath = JoinPath(settings_.dbDir, kMainDatabaseFile);
  auto db = Connection::Open(DatabasePath);
  if (!db) {
    ReportError(db.error());
    return false;
  }
  mainDb_ = std::make_unique<Connection>(std::move(*db));
  BlnMainDbOpen = true;
  return true;
}

bool AddressDatabase::CloseMainDatabase() {
  if (BlnMainDbOpen)
    mainDb_.reset();
  BlnMainDbOpen = false;
  CloseLookupConnections();
  return true;
}

void AddressDatabase::CloseLookupConnections() {
  lookupRegionDb_.reset();
  lookupMainDb_.reset();
  checkedBlockTables_.clear();
}

// --- Region database --------------------------------------------------------------------------

bool AddressDatabase::OpenRegionDatabase(const std::u16string& name) {
  if (!StrOpenRegion.empty()) {
    if (name.empty() || text::EqualsFold(name, StrOpenRegion))
      return true;
    CloseRegionDatabase();
  }
  std::u16string path;
  if (!StrSelectedRegion.empty()) {
    path = RegionPath(StrSelectedRegion);
  } else if (name.empty()) {
    return false;
  } else {
    path = RegionPath(name);
  }
  auto db = Connection::Open(path);
  if (!db) {
    regionDb_.reset();
    BlnRegionDbOpen = false;
    StrOpenRegion.clear();
    ReportError(db.error(), path);
    return false;
  }
  regionDb_ = std::make_unique<Connection>(std::move(*db));
  BlnRegionDbOpen = true;
  StrOpenRegion = name;
  return true;
}

bool AddressDatabase::CloseRegionDatabase() {
  if (BlnRegionDbOpen)
    regionDb_.reset();
  // The lookups' own connection goes too: a region file replaced between runs must be read
  // afresh, not through a connection still holding the old file.
  lookupRegionDb_.reset();
  checkedBlockTables_.clear();
  StrOpenRegion.clear();
  BlnRegionDbOpen = false;
  return true;
}

// --- Reference lists --------------------------------------------------------------------------

bool AddressDatabase::LoadPrefectureNames() {
  PrefNames.assign(1, u"");
  PrefKanaNames.assign(1, u"");
  PrefKanaSuffixes.assign(1, u"");
  PrefCount = 0;

  auto db = Connection::Open(DatabasePath, /*readOnly=*/true);
  if (!db) {
    ReportError(db.error());
    return false;
  }
  // Table order: the rows as they were stored, whatever index the table may carry.
  auto st = db->Compile(
      "select fldKanjiName, fldKatakanaName, fldPrefType from 都道府県名 order by rowid");
  if (!st) {
    ReportError(st.error());
    return false;
  }
  while (true) {
    auto row = st->Step();
    if (!row) {
      ReportError(row.error());
      return false;
    }
    if (!*row)
      break;
    if (PrefCount >= kMaxPrefectures) {
      ReportError(MakeError(u"Subscript out of range (都道府県名 holds more than 50 rows)", 9));
      return false;
    }
    if (st->IsNull(0)) {
      ReportError(NullValueError(u"都道府県名", u"fldKanjiName"));
      return false;
    }
    if (st->IsNull(1)) {
      ReportError(NullValueError(u"都道府県名", u"fldKatakanaName"));
      return false;
    }
    std::u16string name = st->Text(0);
    const std::u16string kana = st->Text(1);
    std::u16string suffix = u"ｹﾝ";
    if (!st->IsNull(2)) {
      const std::u16string type = st->Text(2);
      name += type;
      if (type == u"都") {
        suffix = u"ﾄ";
      } else if (type == u"道") {
        suffix = u"";
      } else if (type == u"府") {
        suffix = u"ﾌ";
      }
    }
    PrefNames.push_back(std::move(name));
    PrefKanaNames.push_back(kana);
    PrefKanaSuffixes.push_back(std::move(suffix));
    ++PrefCount;
  }
  return true;
}

bool AddressDatabase::LoadRegionList(std::vector<std::u16string>& combo) {
  auto db = Connection::Open(DatabasePath, /*readOnly=*/true);
  if (!db) {
    ReportError(db.error());
    return false;
  }
  auto st = db->Compile("select fldDbName from ＤＢ一覧 order by rowid");
  if (!st) {
    ReportError(st.error());
    return false;
  }
  combo.clear();
  while (true) {
    auto row = st->Step();
    if (!row) {
      ReportError(row.error());
      return false;
    }
    if (!*row)
      break;
    if (st->IsNull(0)) {
      ReportError(NullValueError(u"ＤＢ一覧", u"fldDbName"));
      return false;
    }
    combo.push_back(st->Text(0));
  }
  return true;
}

std::optional<int16_t> AddressDatabase::RegionNumber(const std::u16string& name, DbError* error) {
  auto fail = [&](const DbError& e) -> std::optional<int16_t> {
    if (error != nullptr)
      *error = e;
    return std::nullopt;
  };
  auto db = Connection::Open(DatabasePath, /*readOnly=*/true);
  if (!db)
    return fail(db.error());
  auto st = db->Compile("select fldID from ＤＢ一覧 where fldDbName = ?");
  if (!st)
    return fail(st.error());
  st->BindText(1, name);
  auto row = st->Step();
  if (!row)
    return fail(row.error());
  if (!*row)
    return static_cast<int16_t>(0);
  const int64_t id = st->Int(0);
  if (id < INT16_MIN || id > INT16_MAX) {
    return fail(MakeError(u"Overflow (ＤＢ一覧.fldID)", 6));
  }
  return static_cast<int16_t>(id);
}

// --- Kept-open lookup connections -------------------------------------------------------------

std::u16string AddressDatabase::LookupRegionPath(const std::u16string& prefecture) const {
  if (!StrSelectedRegion.empty())
    return RegionPath(StrSelectedRegion);
  if (BlnRegionDbOpen && regionDb_ != nullptr)
    return regionDb_->path();
  return RegionPath(prefecture);
}

Connection* AddressDatabase::LookupRegionConnection(const std::u16string& path, DbError& error) {
  if (lookupRegionDb_ != nullptr && lookupRegionDb_->path() == path)
    return lookupRegionDb_.get();
  lookupRegionDb_.reset();
  checkedBlockTables_.clear();
  auto db = Connection::Open(path, /*readOnly=*/true);
  if (!db) {
    error = db.error();
    return nullptr;
  }
  lookupRegionDb_ = std::make_unique<Connection>(std::move(*db));
  return lookupRegionDb_.get();
}

Connection* AddressDatabase::LookupMainConnection(DbError& error) {
  if (lookupMainDb_ != nullptr && lookupMainDb_->path() == DatabasePath) {
    return lookupMainDb_.get();
  }
  lookupMainDb_.reset();
  lookupMainLogged_ = false;
  auto db = Connection::Open(DatabasePath);
  if (!db) {
    error = db.error();
    return nullptr;
  }
  lookupMainDb_ = std::make_unique<Connection>(std::move(*db));
  return lookupMainDb_.get();
}

void AddressDatabase::PrepareCountUpdates(Connection& db) {
  if (lookupMainLogged_)
    return;
  lookupMainLogged_ = true;
  // Every learning-dictionary hit stores its reference count. With the rollback journal each
  // of those commits waits for the disk twice (tens of milliseconds); with the write-ahead log
  // and synchronous=normal a commit is an append to the log, and the file stays consistent
  // after a crash or power cut (at most the last counts can be lost). The log is copied back
  // into the file when the last connection closes. Asked for at the first hit only, so that a
  // database whose dictionary never applies keeps its file as it is. Both settings are best
  // effort: a file that cannot take them (read-only, or a folder where the log cannot be
  // created) keeps working as it did, only slower.
  db.Execute("pragma journal_mode = wal");
  db.Execute("pragma synchronous = normal");
}

}  // namespace mok::db
