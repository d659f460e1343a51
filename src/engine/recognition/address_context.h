// What one recognition works with besides the shared Recognizer: the store it reads (the calling
// thread's own) and what its steps hand each other, the address's field list, the conversion log
// and the failures met so far. Made afresh for every address, so nothing of one address can reach
// the next, and never shared between threads.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/address_store.h"
#include "engine/recognition/recognizer.h"
#include "engine/rules/address_fields.h"
#include "result/db_result.h"

namespace mok::engine {

struct AddressContext {
  explicit AddressContext(AddressStore& addressStore) : store(addressStore) {}

  AddressStore& store;
  AddressFields fields;
  std::vector<std::u16string> log;
  std::vector<DbError> errors;
  // The first failure to count the use of a learned word.
  std::optional<DbError> uncountedUse;

  // Adds a log entry; an address may have kMaxLogEntries, one more fails it.
  bool AddLog(std::u16string entry) {
    if (log.size() >= kMaxLogEntries) {
      Fail(MakeError(u"Subscript out of range (more than 10 conversion log entries)", 9));
      return false;
    }
    log.push_back(std::move(entry));
    return true;
  }
  void Fail(DbError error) { errors.push_back(std::move(error)); }
};

}  // namespace mok::engine
