// The failure value of the address data and the results that carry it. Both layers use them: the
// database layer makes them, and the recognition declares its store's queries with them and
// passes the failures met on an address on in its answer. They depend on nothing of either.
//
// A failure is shown to the user as description + "(" + number + ")", then the file.
#pragma once

#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

namespace mok {

// A failure of the database engine: its description and number, and the file it concerns when
// the layer that met it knows.
struct DbError {
  std::u16string description;
  int number = 0;
  std::u16string file;
  // The database engine itself failed (a damaged or missing file, a table that is not there,
  // a disk error), rather than a check of this program's on the data it read.
  bool fromEngine = false;
  // The five-character SQLSTATE of a failure a database server reported ("08006"), which stands
  // in for the number; "" for the file engine and the program's own checks.
  std::u16string sqlState;

  // description + "(" + number + ")", or description + "(SQLSTATE " + state + ")"
  std::u16string Text() const {
    if (!sqlState.empty())
      return description + u"(SQLSTATE " + sqlState + u")";
    const std::string digits = std::to_string(number);  // ASCII: widened one to one
    return description + u"(" + std::u16string(digits.begin(), digits.end()) + u")";
  }
  // The text a message box shows: Text(), a line break and the file.
  std::u16string Message() const { return Text() + u"\r\n" + file; }
};

// A failure that does not come from SQLite (a missing block table, a Null where a value must be,
// more log entries than an address may have), numbered as the desktop database engine numbered
// the same failure.
inline DbError MakeError(std::u16string description, int number) {
  return DbError{std::move(description), number, {}, false, {}};
}

// A required column that holds Null: the engine refuses it as the type mismatch it is.
inline DbError NullValueError(std::u16string_view table, std::u16string_view column) {
  return MakeError(
      u"Invalid use of Null (" + std::u16string(table) + u"." + std::u16string(column) + u")", 94);
}

// The error with the file it concerns.
inline DbError InFile(DbError error, const std::u16string& file) {
  error.file = file;
  return error;
}

// A value or the failure that prevented it (std::expected is not in C++20).
template <class T>
class DbResult {
 public:
  DbResult(T value) : state_(std::move(value)) {}        // NOLINT(google-explicit-constructor)
  DbResult(DbError error) : state_(std::move(error)) {}  // NOLINT(google-explicit-constructor)

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() { return std::get<0>(state_); }
  const T& value() const { return std::get<0>(state_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const DbError& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, DbError> state_;
};

// Success or a failure, for operations without a value.
class DbStatus {
 public:
  DbStatus() = default;
  DbStatus(DbError error) : error_(std::move(error)), failed_(true) {}  // NOLINT
  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  const DbError& error() const { return error_; }

 private:
  DbError error_;
  bool failed_ = false;
};

}  // namespace mok
