// How the system tells, reading an output back next to its input, whether a record was
// converted: a converted output line carries more fields than its input line (the converted
// fields follow the source fields), an unconverted one exactly as many (or none at all). Both
// lines are split at the DELIMITER setting; an empty line has no field.
#pragma once

#include <string>
#include <string_view>

#include "batch/record_fields.h"

namespace mok::batch {

// Unprocessed-only run: the earlier output line was converted when its field count differs from
// the input line's and it is not empty.
inline bool WasConvertedBefore(std::u16string_view inputLine, std::u16string_view outputLine,
                               std::u16string_view delimiter) {
  const int32_t g = CountFields(inputLine, delimiter);
  const int32_t h = CountFields(outputLine, delimiter);
  return h != g && h != 0;
}

// Unconverted-address list: the row is listed when the output line has as many fields as the
// input line, none, or one more while the log is written (an empty address converts with no
// fields and one log entry).
inline bool IsListedAsUnconverted(std::u16string_view inputLine, std::u16string_view outputLine,
                                  std::u16string_view delimiter, bool logOut) {
  const int32_t g = CountFields(inputLine, delimiter);
  const int32_t h = CountFields(outputLine, delimiter);
  return h == g || h == 0 || (h == g + 1 && logOut);
}

}  // namespace mok::batch
