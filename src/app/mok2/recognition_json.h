// The JSON form of a recognition that mok2 recognize --json prints: one object per address with
// the code, the output fields, every part of the result record, the level of the point and the
// conversion log.
//
//   {"code":0,"fields":"丸の内一丁目,...","prefecture":"東京都","cityParts":["千代田区",""],...,
//    "level":{"reached":"residence","exact":true,"block":""},"log":[]}
#pragma once

#include <string>

#include "engine/recognition/recognizer.h"

namespace mok::app {

std::string JsonLine(const engine::Recognition& recognition);

}  // namespace mok::app
