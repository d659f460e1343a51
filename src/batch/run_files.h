// The files of a run as the unconverted-address list and the address-field hint read them
// afterwards.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "text/encoding.h"

namespace mok::batch {

struct RunFiles {
  std::u16string inputPath;
  std::u16string outputPath;
  int32_t startRow = 1;      // 1-based line number of the first record of the input
  int32_t addressField = 0;  // 0-based index of the address field
  // The encodings the run read and wrote; nullopt (no run yet) lets the readers tell them.
  std::optional<text::Encoding> inputEncoding;
  std::optional<text::Encoding> outputEncoding;
};

}  // namespace mok::batch
