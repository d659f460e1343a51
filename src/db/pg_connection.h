// The server's database layer: a small move-only RAII wrapper over libpq, PostgreSQL's own client
// library, as connection.h is over SQLite. A PgConnection is one session with a server named by
// a postgresql:// address; a query gives its rows as PgRows, which frees them. Every failure comes
// back as a DbError carrying the server's message and SQLSTATE and naming the server, never as
// an exception.
//
// Values always go in as parameters ($1, $2 ...) in text form, never pasted into the SQL text.
// The password never comes from the address: libpq takes it from where it looks for one itself
// (~/.pgpass or the file PGPASSFILE names, a service file, the environment), so that the address
// can be kept in the settings file.
//
//   auto server = PgConnection::Connect(u"postgresql://db.example/mok");
//   if (!server) return Report(server.error());
//   auto rows = server->Query("select fldID from ＤＢ一覧 where fldDbName = $1", {PgText(name)});
//   for (int i = 0; rows && i < rows->Count(); ++i) rows->Int(i, 0);
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "result/db_result.h"

struct pg_conn;
struct pg_result;

namespace mok::db {

// A parameter in text form (UTF-8), or Null.
using PgValue = std::optional<std::string>;
PgValue PgText(std::u16string_view text);
PgValue PgInt(int64_t value);
template <class T>
PgValue PgOptionalInt(const std::optional<T>& value) {
  return value ? PgInt(static_cast<int64_t>(*value)) : std::nullopt;
}
inline PgValue PgOptionalText(const std::optional<std::u16string>& value) {
  return value ? PgText(*value) : std::nullopt;
}
// An array parameter ($1::text[], $2::bigint[]) holding `items`, Null ones included.
PgValue PgArray(const std::vector<PgValue>& items);

// The SQLSTATE of a connection that could not be made, and of one lost on the way.
inline constexpr char16_t kCannotConnect[] = u"08001";
inline constexpr char16_t kConnectionLost[] = u"08006";

// Whether `name` names a server ("postgresql://..." or "postgres://...", ASCII case ignored).
bool IsServerName(std::u16string_view name);
// Checks a server's address before it is used or stored: it must parse, and it must not hold a
// password (which belongs in ~/.pgpass).
DbStatus CheckServerAddress(const std::u16string& name);

// The rows a query gave (none for a statement that returns none).
class PgRows {
 public:
  int Count() const;
  bool IsNull(int row, int column) const;
  // The value's text; "" for Null.
  std::u16string Text(int row, int column) const;
  std::optional<std::u16string> OptionalText(int row, int column) const;
  // The value as an integer; 0 for Null.
  int64_t Int(int row, int column) const;
  std::optional<int64_t> OptionalInt(int row, int column) const;
  // How many rows an insert, update or delete changed.
  int64_t Changed() const;

 private:
  friend class PgConnection;
  struct Free {
    void operator()(pg_result* result) const;
  };
  explicit PgRows(pg_result* result) : result_(result) {}
  std::unique_ptr<pg_result, Free> result_;
};

class PgConnection {
 public:
  // Connects to the server named by `name`. An address that holds a password is refused (the
  // password belongs in ~/.pgpass): the address is stored in the settings file and shown in
  // messages.
  static DbResult<PgConnection> Connect(const std::u16string& name);

  PgConnection(PgConnection&&) noexcept = default;
  PgConnection& operator=(PgConnection&&) noexcept = default;
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;
  ~PgConnection() = default;

  // Runs one statement with its parameters.
  DbResult<PgRows> Query(const char* sql, const std::vector<PgValue>& params = {});
  // Runs one or more statements without parameters (schema, transactions).
  DbStatus Execute(const char* sql);
  // Whether the connection to the server is broken (the server stopped, the network failed).
  bool Lost() const;
  // Connects again over a broken connection.
  DbStatus Reconnect();

  const std::u16string& name() const { return name_; }

 private:
  struct Close {
    void operator()(pg_conn* conn) const;
  };
  PgConnection(std::u16string name, pg_conn* conn) : name_(std::move(name)), conn_(conn) {}
  DbError ErrorOf(const pg_result* result) const;

  std::u16string name_;
  std::unique_ptr<pg_conn, Close> conn_;
};

// Commits on Commit(); rolls back when it goes out of scope uncommitted.
class PgTransaction {
 public:
  // `begin` is the statement that opens it ("begin", "begin isolation level serializable").
  static DbResult<PgTransaction> Begin(PgConnection& server, const char* begin = "begin");
  PgTransaction(PgTransaction&& other) noexcept;
  PgTransaction& operator=(PgTransaction&&) = delete;
  PgTransaction(const PgTransaction&) = delete;
  PgTransaction& operator=(const PgTransaction&) = delete;
  ~PgTransaction();
  DbStatus Commit();

 private:
  explicit PgTransaction(PgConnection* server) : server_(server) {}
  PgConnection* server_ = nullptr;  // null once committed or rolled back
};

}  // namespace mok::db
