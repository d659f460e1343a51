// Shared pieces of the tests of the correction dialog, the unconverted list and the dictionary
// editor: finding controls by name, and reading the learning dictionary back from the file.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "db/connection.h"
#include "text/text.h"

namespace mok::test {

// A control by objectName; fails the test when it is missing.
template <class T>
T* Control(QWidget* window, const char* name) {
  T* control = window->findChild<T*>(QString::fromLatin1(name));
  if (!control)
    ADD_FAILURE() << "no control " << name;
  return control;
}

// One row of 学習 as stored.
struct LearnedRow {
  std::optional<int64_t> dbNo;
  std::optional<int64_t> type;
  std::optional<std::u16string> registered;
  std::optional<std::u16string> converted;
  std::optional<int64_t> count;

  bool operator==(const LearnedRow&) const = default;
};

inline void PrintTo(const LearnedRow& r, std::ostream* os) {
  auto num = [](const std::optional<int64_t>& v) {
    return v ? std::to_string(*v) : std::string("Null");
  };
  auto txt = [](const std::optional<std::u16string>& v) {
    return v ? "'" + text::ToUtf8(*v) + "'" : std::string("Null");
  };
  *os << "{" << num(r.dbNo) << ", " << num(r.type) << ", " << txt(r.registered) << ", "
      << txt(r.converted) << ", " << num(r.count) << "}";
}

// Every row of 学習 in the main database of `dbDir`, in table order.
inline std::vector<LearnedRow> ReadLearnedRows(const std::u16string& dbDir) {
  std::vector<LearnedRow> rows;
  auto db = db::Connection::Open(dbDir + u"/mok2.sqlite", true);
  if (!db) {
    ADD_FAILURE() << text::ToUtf8(db.error().Text());
    return rows;
  }
  auto st = db->Compile(
      "select fldDbNo, fldType, fld登録字句, fld変換字句, fld参照回数 from 学習 order by rowid");
  if (!st) {
    ADD_FAILURE() << text::ToUtf8(st.error().Text());
    return rows;
  }
  while (true) {
    auto more = st->Step();
    if (!more || !*more)
      break;
    LearnedRow r;
    if (!st->IsNull(0))
      r.dbNo = st->Int(0);
    if (!st->IsNull(1))
      r.type = st->Int(1);
    if (!st->IsNull(2))
      r.registered = st->Text(2);
    if (!st->IsNull(3))
      r.converted = st->Text(3);
    if (!st->IsNull(4))
      r.count = st->Int(4);
    rows.push_back(r);
  }
  return rows;
}

}  // namespace mok::test
