// What the main window tells about its input before a run: the file's encoding, and what the
// address field holds there (the heading of its column and the first record's text), so that the
// user sees at once whether the field is the one with the addresses.
//
// Example: for "ID,顧客名,住所,電話" / "0001,渡辺商店,東京都武蔵村山市中央３－２７－３,…" with
// start row 2 and address field 3 (index 2): UTF-8 or CP932, heading 住所, first value
// 東京都武蔵村山市….
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "text/encoding.h"

namespace mok::batch {

struct InputSummary {
  std::optional<text::Encoding> encoding;    // nullopt when the file cannot be read
  std::u16string heading;                    // the field in the line before the start row, or ""
  std::optional<std::u16string> firstValue;  // the field in the first record; nullopt when the
                                             // record has no such field (or there is no record)
};

// `startRow` is 1-based, `addressField` 0-based, as the run takes them.
// `encoding`: the one the run reads the input in (INPUTENCODING), nullopt to tell it from the
// bytes.
InputSummary SummarizeInput(const std::u16string& path, int32_t startRow, int32_t addressField,
                            std::optional<text::Encoding> encoding = std::nullopt);

}  // namespace mok::batch
