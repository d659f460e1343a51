// The fields of a line of the system's text files, split in this one place: at every occurrence of
// the delimiter, which for input and output records is the literal "," whatever the DELIMITER
// setting says. There is no quoting: a comma inside double quotes still separates fields, and
// consecutive commas give empty fields.
//
// Example: the line "1, 東京都千代田区 ,x" has the fields "1", " 東京都千代田区 " and "x"; its
// address field 2 (index 1) is "東京都千代田区", trimmed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mok::batch {

// Splits at every occurrence of `delimiter` (an empty delimiter does not split).
std::vector<std::u16string> SplitFields(std::u16string_view line, std::u16string_view delimiter);
// Number of fields of a line split at `delimiter`; an empty line has 0.
int32_t CountFields(std::u16string_view line, std::u16string_view delimiter);

// The field at the 0-based `index` of a line split at ",", trimmed of half- and full-width
// spaces; nullopt when the line has no such field (a negative index names none either).
std::optional<std::u16string> FieldAt(std::u16string_view line, int32_t index);

// The address of a record's line: the field at `addressField`, trimmed. An empty line is an empty
// address; a line without that field gives the whole line, marked as not found.
struct AddressText {
  std::u16string address;
  bool found = false;
};
AddressText AddressOf(std::u16string_view line, int32_t addressField);

// The display form of an address or a line: its ","-separated parts trimmed, empty parts after
// the first one dropped. " a , ,b" -> "a,b"; " ,x" -> ",x".
std::u16string CompactFields(std::u16string_view text);

}  // namespace mok::batch
