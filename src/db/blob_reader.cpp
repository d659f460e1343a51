#include "db/blob_reader.h"

#include <sqlite3.h>

#include <utility>

namespace mok::db {

BlobReader::BlobReader(const Connection& db, std::string table, std::string column)
    : db_(db), table_(std::move(table)), column_(std::move(column)) {}

BlobReader::~BlobReader() {
  Close();
}

void BlobReader::Close() {
  if (blob_ != nullptr)
    sqlite3_blob_close(blob_);
  blob_ = nullptr;
}

BlobReader::Value BlobReader::Read(int64_t rowid) {
  if (blob_ == nullptr) {
    // Opening fails alike for a missing row and a missing table: the caller's statement tells.
    if (sqlite3_blob_open(db_.handle(), "main", table_.c_str(), column_.c_str(), rowid, 0,
                          &blob_) != SQLITE_OK) {
      Close();
      return {};
    }
  } else if (const int rc = sqlite3_blob_reopen(blob_, rowid); rc != SQLITE_OK) {
    // The handle reads no more after a failed move; the table and column were found when it was
    // opened, so an error here is a missing row (or a Null value).
    Close();
    return {rc == SQLITE_ERROR ? Status::Absent : Status::Failed, {}};
  }
  buffer_.resize(static_cast<std::size_t>(sqlite3_blob_bytes(blob_)));
  if (sqlite3_blob_read(blob_, buffer_.data(), static_cast<int>(buffer_.size()), 0) != SQLITE_OK) {
    Close();
    return {};
  }
  return {Status::Found, buffer_};
}

}  // namespace mok::db
