#include "batch/dictionary_watch.h"

namespace mok::batch {

bool DictionaryWatch::Changed() {
  if (std::chrono::steady_clock::now() - looked_ < kInterval)
    return false;
  return Look();
}

bool DictionaryWatch::Look() {
  looked_ = std::chrono::steady_clock::now();
  const auto version = database_.DictionaryVersion();
  if (!version) {
    version_.reset();
    return true;
  }
  const bool changed = version_ != *version;
  version_ = *version;
  return changed;
}

}  // namespace mok::batch
