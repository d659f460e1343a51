// The converted fields of an output line, as the output settings choose them: prefecture,
// municipality, town with block number (one field or two), remainder, municipality code,
// coordinate system number, X/Y, latitude/longitude, the level of the point (位置レベル) and the
// conversion log.
#pragma once

#include <string>
#include <vector>

#include "engine/recognition/recognizer.h"
#include "startup/settings.h"

namespace mok::engine {

std::u16string ComposeOutputFields(const Settings& settings, const AddressParts& parts,
                                   const BlockPosition& position,
                                   const std::vector<std::u16string>& log);

}  // namespace mok::engine
