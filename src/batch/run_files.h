// The files of a run as the unconverted-address list and the address-field hint read them
// afterwards.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "text/encoding.h"

namespace mok::batch {

struct RunFiles {
  std::u16string inputPath;
  std::u16string outputPath;
  int32_t startRow = 1;                   // 1-based number of the first record of the input
  std::vector<int32_t> addressFields{0};  // 0-based indexes of the address fields, in order
  // The encodings the run read and wrote; nullopt (no run yet) lets the readers tell them.
  std::optional<text::Encoding> inputEncoding;
  std::optional<text::Encoding> outputEncoding;
};

}  // namespace mok::batch
