// Why most records of a run may have failed: the address field names a field that holds no
// address (an ID, a telephone number, surnames such as 中村 or 木村), or only part of one. Read
// from the run's input, the records tell which fields do look like addresses
// (address_field_proposal.h), so the message can name both.
//
// Example: with the input "ID,顧客名,住所,電話" /
// "0001,渡辺商店,東京都武蔵村山市中央３－２７－３,…" and the address field 1, field 1 holds nothing
// address-like and field 3 does: the hint names field 1 (見出し「ID」) as the likely cause and
// field 3 (見出し「住所」) as the likely address.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "batch/address_field_proposal.h"
#include "batch/run_files.h"

namespace mok::batch {

// "3番目のフィールド（見出し「住所」）", without the heading when the input has none; several
// fields joined by と.
std::u16string FieldsName(const std::vector<int32_t>& fields,
                          const std::vector<std::u16string>& headings);

// The hint for a run most of whose records failed, or nullopt when the address fields of `run`
// are the ones the records propose, or hold address-like text while no other field does better
// (or the input cannot be read).
std::optional<std::u16string> AddressFieldHint(const RunFiles& run, const AddressSigns& signs);

}  // namespace mok::batch
