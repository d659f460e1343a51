// The database engine layer: a small move-only RAII wrapper over the SQLite C API.
//
// A Connection is one open database file; a Statement is one compiled SQL statement that
// finalises itself. Every failure comes back as a DbError carrying the engine's description
// (sqlite3_errmsg) and extended error number, never as an exception.
//
// Values always go into SQL as bound parameters (Bind*), never pasted into the SQL text; table
// names that come from data go through QuoteIdentifier after TableExists has confirmed them.
//
//   auto db = Connection::Open(path);
//   if (!db) return Report(db.error());
//   auto st = db->Prepare("select fldID from ＤＢ一覧 where fldDbName = ?");
//   st->BindText(1, name);
//   while (true) { auto row = st->Step(); if (!row) ...; if (!*row) break; st->Int("fldID"); }
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "result/db_result.h"

struct sqlite3;
struct sqlite3_stmt;

namespace mok::db {

class Connection;

class Statement {
 public:
  Statement() = default;
  Statement(Statement&&) noexcept;
  Statement& operator=(Statement&&) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement();

  // Parameters are numbered from 1. A failing bind is remembered and returned by the next Step.
  Statement& BindText(int index, std::u16string_view value);
  Statement& BindInt(int index, int64_t value);
  Statement& BindNull(int index);

  // Advances to the next row: true when a row is available, false when the statement is done.
  DbResult<bool> Step();
  // Runs a statement that returns no rows (or ignores them) to its end.
  DbStatus Run();
  // Rewinds the statement and clears its bindings, so that it can run again.
  void Reset();

  // The current row. Columns are numbered from 0; a name is matched as SQLite matches column
  // names (ASCII letters without regard to case). An unknown column name reads as Null: select
  // the columns by name in the SQL so that the engine reports a missing column when preparing.
  int ColumnCount() const;
  int ColumnIndex(std::string_view name) const;  // -1 when the statement has no such column
  bool IsNull(int column) const;
  bool IsNull(std::string_view name) const { return IsNull(ColumnIndex(name)); }
  // The value's text form (numbers through their decimal text); "" for Null.
  std::u16string Text(int column) const;
  std::u16string Text(std::string_view name) const { return Text(ColumnIndex(name)); }
  // The value as an integer (text converted as the engine converts it); 0 for Null.
  int64_t Int(int column) const;
  // Whether the stored value is an integer (not Null, text, a real or a blob).
  bool IsInteger(int column) const;
  int64_t Int(std::string_view name) const { return Int(ColumnIndex(name)); }

  bool valid() const { return stmt_ != nullptr; }
  sqlite3_stmt* handle() const { return stmt_; }

 private:
  friend class Connection;
  Statement(sqlite3* db, sqlite3_stmt* stmt);
  DbError LastError() const;
  void NoteBind(int rc);

  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  int bindRc_ = 0;                                // first failing bind since the last reset
  mutable std::vector<std::string> columnNames_;  // filled on first lookup by name
};

// Steps `st` through its rows and calls `each` for every one; `each` may return a DbStatus, whose
// failure ends the walk. Returns the first failure.
template <typename Each>
DbStatus EachRow(Statement& st, Each each) {
  while (true) {
    auto row = st.Step();
    if (!row)
      return row.error();
    if (!*row)
      return {};
    if constexpr (std::is_void_v<std::invoke_result_t<Each>>) {
      each();
    } else if (DbStatus taken = each(); !taken) {
      return taken;
    }
  }
}

class Connection {
 public:
  // Opens an existing database file; a missing file is an error, never a new empty database.
  static DbResult<Connection> Open(const std::u16string& path, bool readOnly = false);
  // Opens the file, creating it when missing (the data tool only).
  static DbResult<Connection> Create(const std::u16string& path);

  Connection() = default;
  Connection(Connection&&) noexcept;
  Connection& operator=(Connection&&) noexcept;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection();

  // Runs one or more statements without parameters (schema, pragmas, transactions).
  DbStatus Execute(const std::string& sql);
  // The same without waiting for another program's lock: busy at once when the file is in use.
  DbStatus ExecuteUnlessBusy(const std::string& sql);
  // A statement of the connection's cache, rewound and with its bindings cleared. The pointer
  // stays valid while the connection lives; do not run the same SQL twice at once through it.
  DbResult<Statement*> Prepare(const std::string& sql);
  // A statement of its own, outside the cache.
  DbResult<Statement> Compile(const std::string& sql);

  // Whether a table of this name exists (names compared as SQLite does, ignoring ASCII case).
  DbResult<bool> TableExists(std::u16string_view name);

  int64_t LastInsertRowId() const;
  int Changes() const;
  const std::u16string& path() const { return path_; }
  bool isOpen() const { return db_ != nullptr; }
  sqlite3* handle() const { return db_; }

  // Drops the cached statements and closes the file; also done by the destructor.
  void Close();

 private:
  static DbResult<Connection> OpenWithFlags(const std::u16string& path, int flags);
  DbError LastError() const;

  sqlite3* db_ = nullptr;
  std::u16string path_;
  std::map<std::string, std::unique_ptr<Statement>, std::less<>> cache_;
};

// Rewinds a cached statement when it goes out of scope, so that no half-read statement keeps the
// file's read lock while another connection wants to write.
class ScopedReset {
 public:
  explicit ScopedReset(Statement* statement) : statement_(statement) {}
  ~ScopedReset() {
    if (statement_ != nullptr)
      statement_->Reset();
  }
  ScopedReset(const ScopedReset&) = delete;
  ScopedReset& operator=(const ScopedReset&) = delete;

 private:
  Statement* statement_;
};

// Commits on Commit(); rolls back when it goes out of scope uncommitted.
class Transaction {
 public:
  static DbResult<Transaction> Begin(Connection& db);
  // Takes the file's write lock at once (waiting for other programs as any statement does), so
  // that what the transaction reads stays true until it commits.
  static DbResult<Transaction> BeginWrite(Connection& db);
  Transaction(Transaction&&) noexcept;
  Transaction& operator=(Transaction&&) = delete;
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  ~Transaction();
  DbStatus Commit();

 private:
  explicit Transaction(Connection* db) : db_(db) {}
  Connection* db_ = nullptr;  // null once committed or rolled back
};

// Holds one read transaction over several statements of a read-only lookup, so that the engine
// takes the file's shared lock and looks for a left-over journal once for them all instead of
// around every statement. Nothing is held after the scope: another program may write the file
// between two lookups. Inside a transaction the caller already opened, it does nothing.
class ReadScope {
 public:
  explicit ReadScope(Connection& db);
  ~ReadScope();
  ReadScope(const ReadScope&) = delete;
  ReadScope& operator=(const ReadScope&) = delete;
  // Ends the transaction now, e.g. before a message waits for the user.
  void End();

 private:
  Connection* db_ = nullptr;  // null when no transaction was begun here
};

// The identifier in double quotes with inner double quotes doubled, as UTF-8 for SQL text.
std::string QuoteIdentifier(std::u16string_view name);

}  // namespace mok::db
