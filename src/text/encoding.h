// The encodings of the text files the system reads and writes: CP932 (Shift_JIS as Windows
// writes it, the system's own) and UTF-8 with or without a byte-order mark (what spreadsheet
// programs and most tools export today).
//
// A file's encoding is told from its bytes (encoding_judge.h): a UTF-8 byte-order mark says
// UTF-8; otherwise a text whose first characters that only one encoding reads are UTF-8 is UTF-8;
// everything else (also pure ASCII) is CP932. Example: the bytes EF BB BF "ID" are UTF-8 with a
// mark; E6 9D B1 E4 BA AC ("東京" in UTF-8) followed by E3 81 82 ("あ") decode as UTF-8 but not
// as CP932, so they are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mok::text {

enum class Encoding {
  Cp932,
  Utf8,
  Utf8Bom,  // UTF-8 whose file starts with the byte-order mark EF BB BF
};

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The encoding of a text given whole.
Encoding DetectEncoding(std::string_view bytes);

// Decoding and encoding of one line in `encoding` (the mark is not part of a line). A byte
// sequence that does not decode, or a character that cannot be written, gives std::nullopt and,
// when `error` is given, a message naming the position.
std::optional<std::u16string> Decode(std::string_view bytes, Encoding encoding,
                                     std::string* error = nullptr);
std::optional<std::string> Encode(std::u16string_view text, Encoding encoding,
                                  std::string* error = nullptr);

// The name a user reads: "Shift_JIS（CP932）", "UTF-8", "UTF-8（BOM付き）".
std::u16string EncodingName(Encoding encoding);
// The names of the settings file and the command line: "cp932", "utf8", "utf8-bom" (letter case
// and "-"/"_" ignored, "sjis"/"shift_jis" and "utf-8" accepted); nullopt for anything else.
std::optional<Encoding> ParseEncoding(std::u16string_view name);
std::u16string EncodingKey(Encoding encoding);

}  // namespace mok::text
