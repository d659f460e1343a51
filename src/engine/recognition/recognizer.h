// The per-address recognition: turns one address text into a result code and the converted
// output fields, using the address database's lookups.
#pragma once

#include <cstdint>
#include <string>

#include "db/address_database.h"
#include "engine/rules/address_result.h"
#include "startup/settings.h"

namespace mok::engine {

// Result codes of RecognizeAddress.
enum ResultCode : int16_t {
  kConverted = 0,
  kNoPrefecture = 1,
  kNoCity = 2,
  kNoTown = 3,
  kEmptyAddress = 4,
  kNoBlock = 6,
  kFailure = -1,
};

class Recognizer {
 public:
  Recognizer(const Settings& settings, db::AddressDatabase& database);

  // Recognises `address`; `outputFields` is "" unless the code is 0.
  int16_t RecognizeAddress(const std::u16string& address, std::u16string& outputFields);

  // What the last call found (read before the next call).
  const AddressResult& Result() const { return result_; }

 private:
  const Settings& settings_;
  db::AddressDatabase& database_;
  AddressResult result_;
};

}  // namespace mok::engine
