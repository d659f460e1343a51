// mok2 convert without -f: the address fields the input's records propose
// (batch/address_field_proposal.h), else the ones the request already holds (remembered), and the
// line that names them as the first line of the command's output.
#pragma once

#include <string>
#include <vector>

#include "batch/run_request.h"
#include "db/address_database.h"

namespace mok::app {

struct AddressFieldChoice {
  std::vector<std::u16string> fields;  // as the boxes take them: 1-based numbers
  std::string line;                    // names the fields; "" when the input cannot be read
};

// The proposal is read from the request's input from its start row, with the names of the
// request's region in `database`.
AddressFieldChoice ChooseAddressFields(const db::AddressDatabase& database,
                                       const batch::RunRequest& request);

}  // namespace mok::app
