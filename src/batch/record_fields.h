// The fields of a record of the system's text files, split in this one place, as Excel writes
// them (RFC 4180): fields are separated by the delimiter (the literal "," for input and output
// records, whatever the DELIMITER setting says); a field that begins with a double quote is quoted
// up to its closing quote, so that the delimiter and line breaks inside it are text and a doubled
// quote "" is one quote. A quote anywhere else is an ordinary character, so a file without quoted
// fields splits at every delimiter, and consecutive delimiters give empty fields.
//
// Example: the record 1,"丸の内1-1-1 ビル1F, 受付","A ""B""" has the fields 1,
// 丸の内1-1-1 ビル1F, 受付 and A "B"; the line "1, 東京都千代田区 ,x" has the fields "1",
// " 東京都千代田区 " and "x", and its address field 2 (index 1) is "東京都千代田区", trimmed.
//
// Written here rather than taken from a library: Debian's libcsv parses bytes through callbacks
// and ends a record at every LF, while a lone LF stays inside a line of the system's files, and
// the fast C++ CSV parser (fccp) needs the number of columns when it is compiled.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mok::batch {

// The values of a record's fields: quotes removed, doubled quotes single (an empty delimiter does
// not split; an empty record has one empty field).
std::vector<std::u16string> SplitFields(std::u16string_view line, std::u16string_view delimiter);
// The fields as they are written, quotes and all.
std::vector<std::u16string_view> SplitRawFields(std::u16string_view line,
                                                std::u16string_view delimiter);
// Number of fields of a record split at `delimiter`; an empty record has 0.
int32_t CountFields(std::u16string_view line, std::u16string_view delimiter);

// Whether a record that ends with `line` (bytes of CP932 or UTF-8, or text) leaves a quoted field
// of "," separated fields open, so that the record goes on on the next line. `open`: a quoted
// field was open before `line`.
bool EndsInsideQuotes(std::string_view line, bool open = false);

// A value as a field of a written record: in quotes, with its quotes doubled, when it holds a
// comma, a quote or a line break; as it is otherwise.
std::u16string QuoteField(std::u16string_view value);

// The field at the 0-based `index` of a record split at ",", trimmed of half- and full-width
// spaces; nullopt when the record has no such field (a negative index names none either).
std::optional<std::u16string> FieldAt(std::u16string_view line, int32_t index);

// The address of a record: its address fields (0-based), each trimmed, joined in order (see
// JoinAddressParts). An empty record is an empty address; a record without one of the fields gives
// the whole record, marked as not found.
struct AddressText {
  std::u16string address;
  bool found = false;
};
AddressText AddressOf(std::u16string_view line, const std::vector<int32_t>& addressFields);

// Parts of an address as a clerk reads them one after the other: nothing between them
// (足立区 + 中川3-29-24 -> 足立区中川3-29-24), except a space where the two sides are letters or
// digits that would otherwise run together (中川3-29-24 + 101 -> 中川3-29-24 101). Empty parts are
// left out.
std::u16string JoinAddressParts(const std::vector<std::u16string>& parts);

// The display form of an address or a line: its ","-separated parts trimmed, empty parts after
// the first one dropped. " a , ,b" -> "a,b"; " ,x" -> ",x".
std::u16string CompactFields(std::u16string_view text);

}  // namespace mok::batch
