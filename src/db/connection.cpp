#include "db/connection.h"

#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <utility>

#include "text/text.h"

namespace mok::db {

namespace {

// How long a statement waits for another program's lock before it reports the file as busy.
constexpr int kBusyTimeoutMs = 5000;

DbError ErrorOf(sqlite3* db, int rc) {
  DbError error = db == nullptr
                      ? MakeError(text::FromUtf8(sqlite3_errstr(rc)), rc)
                      : MakeError(text::FromUtf8(sqlite3_errmsg(db)), sqlite3_extended_errcode(db));
  error.fromEngine = true;
  return error;
}

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z')
      x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z')
      y = static_cast<char>(y - 'A' + 'a');
    if (x != y)
      return false;
  }
  return true;
}

// Configures the engine once, before its first connection: its memory statistics (which nothing
// here reads) would take one process-wide mutex on every allocation, so that connections used on
// different threads would wait for each other.
void ConfigureEngineOnce() {
  static const bool configured = [] {
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return sqlite3_initialize() == SQLITE_OK;
  }();
  (void)configured;
}

}  // namespace

// --- Statement ------------------------------------------------------------------------------

Statement::Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}

Statement::Statement(Statement&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)),
      stmt_(std::exchange(other.stmt_, nullptr)),
      bindRc_(std::exchange(other.bindRc_, 0)),
      columnNames_(std::move(other.columnNames_)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(stmt_);
    db_ = std::exchange(other.db_, nullptr);
    stmt_ = std::exchange(other.stmt_, nullptr);
    bindRc_ = std::exchange(other.bindRc_, 0);
    columnNames_ = std::move(other.columnNames_);
  }
  return *this;
}

Statement::~Statement() {
  sqlite3_finalize(stmt_);
}

DbError Statement::LastError() const {
  return ErrorOf(db_, SQLITE_ERROR);
}

void Statement::NoteBind(int rc) {
  if (rc != SQLITE_OK && bindRc_ == 0)
    bindRc_ = rc;
}

Statement& Statement::BindText(int index, std::u16string_view value) {
  // ASCII text (numbers, codes) goes in as the databases store it, UTF-8, which spares SQLite
  // a conversion at every comparison.
  if (!value.empty() && value.size() <= 64 &&
      std::all_of(value.begin(), value.end(), [](char16_t c) { return c < 0x80; })) {
    char narrow[64];
    std::copy(value.begin(), value.end(), narrow);
    NoteBind(
        sqlite3_bind_text(stmt_, index, narrow, static_cast<int>(value.size()), SQLITE_TRANSIENT));
    return *this;
  }
  // An empty view may have a null data pointer, which SQLite would bind as Null.
  static const char16_t kEmpty[] = u"";
  const char16_t* data = value.empty() ? kEmpty : value.data();
  NoteBind(sqlite3_bind_text16(stmt_, index, data, static_cast<int>(value.size() * 2),
                               SQLITE_TRANSIENT));
  return *this;
}

Statement& Statement::BindInt(int index, int64_t value) {
  NoteBind(sqlite3_bind_int64(stmt_, index, value));
  return *this;
}

Statement& Statement::BindNull(int index) {
  NoteBind(sqlite3_bind_null(stmt_, index));
  return *this;
}

DbResult<bool> Statement::Step() {
  if (stmt_ == nullptr)
    return MakeError(u"statement not prepared", SQLITE_MISUSE);
  if (bindRc_ != 0) {
    DbError error = MakeError(text::FromUtf8(sqlite3_errstr(bindRc_)), bindRc_);
    return error;
  }
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW)
    return true;
  if (rc == SQLITE_DONE)
    return false;
  return LastError();
}

DbStatus Statement::Run() {
  while (true) {
    auto row = Step();
    if (!row)
      return row.error();
    if (!*row)
      return {};
  }
}

void Statement::Reset() {
  if (stmt_ == nullptr)
    return;
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
  bindRc_ = 0;
}

int Statement::ColumnCount() const {
  return stmt_ ? sqlite3_column_count(stmt_) : 0;
}

int Statement::ColumnIndex(std::string_view name) const {
  if (stmt_ == nullptr)
    return -1;
  if (columnNames_.empty()) {
    const int n = sqlite3_column_count(stmt_);
    columnNames_.reserve(n);
    for (int i = 0; i < n; ++i) {
      const char* c = sqlite3_column_name(stmt_, i);
      columnNames_.emplace_back(c ? c : "");
    }
  }
  for (std::size_t i = 0; i < columnNames_.size(); ++i) {
    if (columnNames_[i] == name)
      return static_cast<int>(i);
  }
  for (std::size_t i = 0; i < columnNames_.size(); ++i) {
    if (EqualsAsciiNoCase(columnNames_[i], name))
      return static_cast<int>(i);
  }
  return -1;
}

bool Statement::IsNull(int column) const {
  if (stmt_ == nullptr || column < 0 || column >= sqlite3_column_count(stmt_))
    return true;
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

std::u16string Statement::Text(int column) const {
  if (IsNull(column))
    return {};
  // The databases are UTF-8: ASCII text (numbers, codes, coordinates) is widened here, which
  // costs a fraction of SQLite's conversion; other text goes through SQLite's.
  const auto* utf8 = sqlite3_column_text(stmt_, column);
  const int length = sqlite3_column_bytes(stmt_, column);
  if (utf8 != nullptr && std::all_of(utf8, utf8 + length, [](unsigned char c) { return c < 0x80; }))
    return std::u16string(utf8, utf8 + length);
  const void* p = sqlite3_column_text16(stmt_, column);
  if (p == nullptr)
    return {};
  const int bytes = sqlite3_column_bytes16(stmt_, column);
  return std::u16string(static_cast<const char16_t*>(p), static_cast<std::size_t>(bytes) / 2);
}

int64_t Statement::Int(int column) const {
  if (IsNull(column))
    return 0;
  return sqlite3_column_int64(stmt_, column);
}

bool Statement::IsInteger(int column) const {
  return column >= 0 && column < ColumnCount() &&
         sqlite3_column_type(stmt_, column) == SQLITE_INTEGER;
}

// --- Connection -----------------------------------------------------------------------------

DbResult<Connection> Connection::OpenWithFlags(const std::u16string& path, int flags) {
  // The engine reads an empty name as a new temporary database and ":memory:" as one in memory;
  // neither is a file the caller could have meant.
  if (path.empty() || path == u":memory:") {
    return MakeError(text::FromUtf8(sqlite3_errstr(SQLITE_CANTOPEN)), SQLITE_CANTOPEN);
  }
  ConfigureEngineOnce();
  sqlite3* handle = nullptr;
  // A connection serves one thread at a time (each worker has its own), so the engine's own
  // locking of every call is left out.
  const int rc =
      sqlite3_open_v2(text::ToUtf8(path).c_str(), &handle, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    DbError error = ErrorOf(handle, rc);
    sqlite3_close_v2(handle);
    return error;
  }
  sqlite3_extended_result_codes(handle, 1);
  sqlite3_busy_timeout(handle, kBusyTimeoutMs);
  Connection c;
  c.db_ = handle;
  c.path_ = path;
  // A file that exists but is not a database opens without complaint; reading the schema makes
  // the engine check it now, so the caller gets the failure at the open as it expects.
  if (auto st = c.Compile("select count(*) from sqlite_master"); !st)
    return st.error();
  return c;
}

DbResult<Connection> Connection::Open(const std::u16string& path, bool readOnly) {
  return OpenWithFlags(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
}

DbResult<Connection> Connection::Create(const std::u16string& path) {
  return OpenWithFlags(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

Connection::Connection(Connection&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)),
      path_(std::move(other.path_)),
      cache_(std::move(other.cache_)) {}

Connection& Connection::operator=(Connection&& other) noexcept {
  if (this != &other) {
    Close();
    db_ = std::exchange(other.db_, nullptr);
    path_ = std::move(other.path_);
    cache_ = std::move(other.cache_);
  }
  return *this;
}

Connection::~Connection() {
  Close();
}

void Connection::Close() {
  cache_.clear();  // statements are finalised before their connection
  if (db_ != nullptr) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
  }
}

DbError Connection::LastError() const {
  return ErrorOf(db_, SQLITE_ERROR);
}

DbStatus Connection::Execute(const std::string& sql) {
  if (db_ == nullptr)
    return MakeError(u"database not open", SQLITE_MISUSE);
  char* message = nullptr;
  const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message);
  if (rc != SQLITE_OK) {
    DbError error = MakeError(text::FromUtf8(message ? message : sqlite3_errstr(rc)),
                              sqlite3_extended_errcode(db_));
    error.fromEngine = true;
    sqlite3_free(message);
    return error;
  }
  return {};
}

DbStatus Connection::ExecuteUnlessBusy(const std::string& sql) {
  if (db_ != nullptr)
    sqlite3_busy_timeout(db_, 0);
  DbStatus done = Execute(sql);
  if (db_ != nullptr)
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  return done;
}

DbResult<Statement> Connection::Compile(const std::string& sql) {
  if (db_ == nullptr)
    return MakeError(u"database not open", SQLITE_MISUSE);
  sqlite3_stmt* stmt = nullptr;
  const int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(stmt);
    return LastError();
  }
  return Statement(db_, stmt);
}

DbResult<Statement*> Connection::Prepare(const std::string& sql) {
  if (auto it = cache_.find(sql); it != cache_.end()) {
    it->second->Reset();
    return it->second.get();
  }
  auto compiled = Compile(sql);
  if (!compiled)
    return compiled.error();
  auto owned = std::make_unique<Statement>(std::move(*compiled));
  Statement* raw = owned.get();
  cache_.emplace(sql, std::move(owned));
  return raw;
}

DbResult<bool> Connection::TableExists(std::u16string_view name) {
  auto st = Prepare("select 1 from sqlite_master where type = 'table' and name = ? collate nocase");
  if (!st)
    return st.error();
  (*st)->BindText(1, name);
  auto row = (*st)->Step();
  if (!row)
    return row.error();
  const bool found = *row;
  (*st)->Reset();
  return found;
}

int64_t Connection::LastInsertRowId() const {
  return db_ ? sqlite3_last_insert_rowid(db_) : 0;
}

int Connection::Changes() const {
  return db_ ? sqlite3_changes(db_) : 0;
}

// --- Transaction ----------------------------------------------------------------------------

DbResult<Transaction> Transaction::Begin(Connection& db) {
  if (auto s = db.Execute("begin"); !s)
    return s.error();
  return Transaction(&db);
}

DbResult<Transaction> Transaction::BeginWrite(Connection& db) {
  if (auto s = db.Execute("begin immediate"); !s)
    return s.error();
  return Transaction(&db);
}

Transaction::Transaction(Transaction&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}

Transaction::~Transaction() {
  if (db_ != nullptr)
    db_->Execute("rollback");
}

DbStatus Transaction::Commit() {
  if (db_ == nullptr)
    return MakeError(u"no transaction", SQLITE_MISUSE);
  DbStatus s = db_->Execute("commit");
  if (s)
    db_ = nullptr;
  return s;
}

// --- Read scope -----------------------------------------------------------------------------

ReadScope::ReadScope(Connection& db) {
  if (!db.isOpen() || sqlite3_get_autocommit(db.handle()) == 0)
    return;
  // "begin" is deferred: the shared lock comes with the first statement that reads. Should it
  // fail, the statements simply run on their own as before.
  auto st = db.Prepare("begin");
  if (st && (*st)->Run())
    db_ = &db;
}

ReadScope::~ReadScope() {
  End();
}

void ReadScope::End() {
  Connection* db = std::exchange(db_, nullptr);
  if (db == nullptr || sqlite3_get_autocommit(db->handle()) != 0)
    return;
  // Only reads ran: ending the transaction releases the lock and loses nothing.
  if (auto st = db->Prepare("commit"); !st || !(*st)->Run())
    db->Execute("rollback");
}

// --- Identifiers ----------------------------------------------------------------------------

std::string QuoteIdentifier(std::u16string_view name) {
  std::string utf8 = text::ToUtf8(name);
  std::string quoted = "\"";
  for (char c : utf8) {
    if (c == '"')
      quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

}  // namespace mok::db
