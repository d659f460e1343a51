// Why a run may have failed on every record: the address field names a field that holds no
// address at all (an ID, a name, a telephone number). Read from the run's input, the records'
// fields tell which field does look like addresses, so the message can name both.
//
// Example: with the input "ID,顧客名,住所,電話" /
// "0001,渡辺商店,東京都武蔵村山市中央３－２７－３,…" and the address field 1, field 1 holds nothing
// address-like and field 3 does: the hint names field 1 (見出し「ID」) as the likely cause and
// field 3 (見出し「住所」) as the likely address.
#pragma once

#include <optional>
#include <string>

#include "batch/run_files.h"

namespace mok::batch {

// Whether a field's text looks like a Japanese address: it holds a prefecture or municipality
// ending (都道府県市区町村郡).
bool LooksLikeAddress(std::u16string_view text);

// The hint for a run whose records all failed, or nullopt when the address field of `run` does
// hold address-like text in its first records (or the input cannot be read).
std::optional<std::u16string> AddressFieldHint(const RunFiles& run);

}  // namespace mok::batch
