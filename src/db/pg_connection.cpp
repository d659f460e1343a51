#include "db/pg_connection.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <utility>

#include "text/text.h"

namespace mok::db {

namespace {

// The server's message on one line: libpq ends it with a line break and may continue it on
// indented lines.
std::u16string OneLine(const char* message) {
  std::string line;
  for (const char* c = message; c != nullptr && *c != '\0'; ++c) {
    if (*c == '\n' || *c == '\r' || *c == '\t') {
      if (!line.empty() && line.back() != ' ')
        line += ' ';
    } else {
      line += *c;
    }
  }
  while (!line.empty() && line.back() == ' ')
    line.pop_back();
  return text::FromUtf8(line);
}

DbError ServerError(std::u16string description, std::u16string state, const std::u16string& name) {
  DbError error = MakeError(std::move(description), 0);
  error.fromEngine = true;
  error.sqlState = std::move(state);
  error.file = name;
  return error;
}

bool EqualsAsciiNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'A' && x <= u'Z')
      x = static_cast<char16_t>(x - u'A' + u'a');
    if (y >= u'A' && y <= u'Z')
      y = static_cast<char16_t>(y - u'A' + u'a');
    if (x != y)
      return false;
  }
  return true;
}

}  // namespace

DbStatus CheckServerAddress(const std::u16string& name) {
  const std::string address = text::ToUtf8(name);
  char* message = nullptr;
  PQconninfoOption* options = PQconninfoParse(address.c_str(), &message);
  if (options == nullptr) {
    DbError error = ServerError(OneLine(message), kCannotConnect, name);
    PQfreemem(message);
    return error;
  }
  bool password = false;
  for (const PQconninfoOption* option = options; option->keyword != nullptr; ++option) {
    if (std::string_view(option->keyword) == "password" && option->val != nullptr &&
        *option->val != '\0')
      password = true;
  }
  PQconninfoFree(options);
  // The address is not repeated in the message: it holds the password.
  if (password) {
    return MakeError(
        u"メインデータベースのサーバーの名前にパスワードが書かれています。パスワードは設定に書かず"
        u"、"
        u"~/.pgpass（または PGPASSFILE の名前のファイル）に書いて下さい。",
        0);
  }
  return {};
}

namespace {

// Notices (a table that exists already, and the like) are for a person at a terminal of the
// server, not for the users of this program: they are dropped.
void IgnoreNotice(void*, const char*) {}

}  // namespace

PgValue PgText(std::u16string_view text) {
  return text::ToUtf8(text);
}

PgValue PgInt(int64_t value) {
  return std::to_string(value);
}

PgValue PgArray(const std::vector<PgValue>& items) {
  // The array's text form, written here because libpq has no builder for it: every element in
  // double quotes with its quotes and backslashes escaped, or NULL.
  std::string literal = "{";
  for (const PgValue& item : items) {
    if (literal.size() > 1)
      literal += ',';
    if (!item) {
      literal += "NULL";
      continue;
    }
    literal += '"';
    for (char c : *item) {
      if (c == '"' || c == '\\')
        literal += '\\';
      literal += c;
    }
    literal += '"';
  }
  return literal + "}";
}

bool IsServerName(std::u16string_view name) {
  static constexpr std::u16string_view kSchemes[] = {u"postgresql://", u"postgres://"};
  for (std::u16string_view scheme : kSchemes) {
    if (name.size() >= scheme.size() && EqualsAsciiNoCase(name.substr(0, scheme.size()), scheme))
      return true;
  }
  return false;
}

// --- PgRows -----------------------------------------------------------------------------------

void PgRows::Free::operator()(pg_result* result) const {
  PQclear(result);
}

int PgRows::Count() const {
  return PQntuples(result_.get());
}

bool PgRows::IsNull(int row, int column) const {
  return PQgetisnull(result_.get(), row, column) != 0;
}

std::u16string PgRows::Text(int row, int column) const {
  return text::FromUtf8(PQgetvalue(result_.get(), row, column));
}

std::optional<std::u16string> PgRows::OptionalText(int row, int column) const {
  if (IsNull(row, column))
    return std::nullopt;
  return Text(row, column);
}

int64_t PgRows::Int(int row, int column) const {
  return std::strtoll(PQgetvalue(result_.get(), row, column), nullptr, 10);
}

std::optional<int64_t> PgRows::OptionalInt(int row, int column) const {
  if (IsNull(row, column))
    return std::nullopt;
  return Int(row, column);
}

int64_t PgRows::Changed() const {
  return std::strtoll(PQcmdTuples(result_.get()), nullptr, 10);
}

// --- PgConnection -----------------------------------------------------------------------------

void PgConnection::Close::operator()(pg_conn* conn) const {
  PQfinish(conn);
}

DbResult<PgConnection> PgConnection::Connect(const std::u16string& name) {
  if (auto checked = CheckServerAddress(name); !checked)
    return checked.error();
  // The defaults come first so that the address may set them otherwise: a server that does not
  // answer is given up after 10 s, and one that stops acknowledging what is sent after 30 s,
  // rather than after the system's TCP timeout of many minutes.
  const std::string address = text::ToUtf8(name);
  const char* keywords[] = {"connect_timeout", "tcp_user_timeout", "application_name", "dbname",
                            nullptr};
  const char* values[] = {"10", "30000", "mok2", address.c_str(), nullptr};
  PGconn* conn = PQconnectdbParams(keywords, values, 1);
  PgConnection server(name, conn);
  if (conn == nullptr)
    return ServerError(u"out of memory", kCannotConnect, name);
  if (PQstatus(conn) != CONNECTION_OK)
    return ServerError(OneLine(PQerrorMessage(conn)), kCannotConnect, name);
  PQsetNoticeProcessor(conn, IgnoreNotice, nullptr);
  // Texts go both ways in UTF-8, whatever the server's own encoding.
  if (PQsetClientEncoding(conn, "UTF8") != 0)
    return ServerError(OneLine(PQerrorMessage(conn)), kCannotConnect, name);
  return server;
}

DbError PgConnection::ErrorOf(const pg_result* result) const {
  const char* state = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  const char* message = result != nullptr ? PQresultErrorMessage(result) : nullptr;
  if (message == nullptr || *message == '\0')
    message = PQerrorMessage(conn_.get());
  std::u16string sqlState = state != nullptr ? text::FromUtf8(state) : u"";
  // A connection that broke without the server saying why (it was stopped, the network failed).
  if (sqlState.empty() && Lost())
    sqlState = kConnectionLost;
  return ServerError(OneLine(message), sqlState, name_);
}

DbResult<PgRows> PgConnection::Query(const char* sql, const std::vector<PgValue>& params) {
  std::vector<const char*> values;
  values.reserve(params.size());
  for (const PgValue& param : params)
    values.push_back(param ? param->c_str() : nullptr);
  PgRows rows(PQexecParams(conn_.get(), sql, static_cast<int>(values.size()), nullptr,
                           values.data(), nullptr, nullptr, 0));
  const ExecStatusType status = PQresultStatus(rows.result_.get());
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
    return ErrorOf(rows.result_.get());
  return rows;
}

DbStatus PgConnection::Execute(const char* sql) {
  PgRows rows(PQexec(conn_.get(), sql));
  const ExecStatusType status = PQresultStatus(rows.result_.get());
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
    return ErrorOf(rows.result_.get());
  return {};
}

bool PgConnection::Lost() const {
  return PQstatus(conn_.get()) == CONNECTION_BAD;
}

DbStatus PgConnection::Reconnect() {
  PQreset(conn_.get());
  if (Lost())
    return ServerError(OneLine(PQerrorMessage(conn_.get())), kCannotConnect, name_);
  PQsetClientEncoding(conn_.get(), "UTF8");
  return {};
}

// --- PgTransaction ----------------------------------------------------------------------------

DbResult<PgTransaction> PgTransaction::Begin(PgConnection& server, const char* begin) {
  if (auto begun = server.Execute(begin); !begun)
    return begun.error();
  return PgTransaction(&server);
}

PgTransaction::PgTransaction(PgTransaction&& other) noexcept
    : server_(std::exchange(other.server_, nullptr)) {}

PgTransaction::~PgTransaction() {
  if (server_ != nullptr && !server_->Lost())
    server_->Execute("rollback");
}

DbStatus PgTransaction::Commit() {
  PgConnection* server = std::exchange(server_, nullptr);
  if (server == nullptr)
    return MakeError(u"no transaction", 0);
  return server->Execute("commit");
}

}  // namespace mok::db
