// Whether the learning dictionary changed since the run last looked: another program (the desktop
// program's correction dialog or dictionary editor, another run, a script) registered, changed
// or removed a word. The run asks before it takes a worker's answer, so that a record is
// recognised against the dictionary as a run without workers would recognise it when it reaches
// the record. The question reads the version of the main database's file, which changes with
// every change another connection commits; it takes the file's lock, which the workers need too,
// so it is asked at most once per kInterval and the answer in between is "unchanged". A change
// thus applies to every record the run reaches kInterval after it was committed, and to none
// reached before it.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "db/address_database.h"

namespace mok::batch {

class DictionaryWatch {
 public:
  static constexpr std::chrono::milliseconds kInterval{10};

  // Takes the version as it is now.
  explicit DictionaryWatch(db::AddressDatabase& database) : database_(database) { Look(); }

  // True when the version moved since the last look (and when it cannot be read), looking again
  // when kInterval has passed since the last look.
  bool Changed();

 private:
  bool Look();

  db::AddressDatabase& database_;
  std::optional<int64_t> version_;
  std::chrono::steady_clock::time_point looked_;
};

}  // namespace mok::batch
