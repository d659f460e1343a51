// One text or blob column of a rowid table read row after row through one open blob handle. A
// statement is reset, bound, opened on the table and stepped for every row it reads; the handle
// stays open on the table and only moves to the next row, at about a third of the cost. It is a
// quicker way to a value, never the only one: a row it cannot read is asked of a statement.
//
// An open handle is a statement in progress and keeps the connection's read transaction: Close()
// it before the transaction is to end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "db/connection.h"

struct sqlite3_blob;

namespace mok::db {

class BlobReader {
 public:
  // `table` and `column` in UTF-8, as the file names them.
  BlobReader(const Connection& db, std::string table, std::string column);
  ~BlobReader();
  BlobReader(const BlobReader&) = delete;
  BlobReader& operator=(const BlobReader&) = delete;

  enum class Status {
    Found,   // value holds the row's value, until the next Read
    Absent,  // the table has no row `rowid`
    Failed,  // not read this way (no such table or column, a Null value, an I/O error): ask again
             // with a statement, which tells what it is
  };
  struct Value {
    Status status = Status::Failed;
    std::string_view value;
  };
  Value Read(int64_t rowid);
  void Close();

 private:
  const Connection& db_;
  std::string table_;
  std::string column_;
  sqlite3_blob* blob_ = nullptr;
  std::string buffer_;
};

}  // namespace mok::db
