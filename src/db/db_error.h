// The failure value of the database layer: the engine's description and number, shown to the
// user as description + "(" + number + ")".
#pragma once

#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace mok::db {

// A failure of the database engine: its description and number, shown as
// description + "(" + number + ")".
struct DbError {
  std::u16string description;
  int number = 0;
  std::u16string Text() const;  // description + "(" + number + ")"
};

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

}  // namespace mok::db
