// Nullable values in and out of a statement of the file engine, for the tables whose columns may
// hold Null (the main database's): a Null reads as nullopt and nullopt binds as Null. A number
// column read as a number must hold one: a text there is refused rather than read as 0.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "db/connection.h"

namespace mok::db {

inline std::optional<std::u16string> OptionalText(const Statement& st, int column) {
  if (st.IsNull(column))
    return std::nullopt;
  return st.Text(column);
}

// `column` of `table.column` (for the message) as a number that fits T, or nullopt for Null.
template <class T = int64_t>
DbResult<std::optional<T>> OptionalInteger(const Statement& st, int column,
                                           std::u16string_view where) {
  if (st.IsNull(column))
    return std::optional<T>();
  if (!st.IsInteger(column))
    return MakeError(u"Type mismatch (" + std::u16string(where) + u")", 13);
  const int64_t value = st.Int(column);
  if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max())
    return MakeError(u"Overflow (" + std::u16string(where) + u")", 6);
  return std::optional<T>(static_cast<T>(value));
}

inline void BindOptionalText(Statement& st, int index, const std::optional<std::u16string>& value) {
  if (value) {
    st.BindText(index, *value);
  } else {
    st.BindNull(index);
  }
}

template <class T>
void BindOptionalInt(Statement& st, int index, const std::optional<T>& value) {
  if (value) {
    st.BindInt(index, static_cast<int64_t>(*value));
  } else {
    st.BindNull(index);
  }
}

}  // namespace mok::db
