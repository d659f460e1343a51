#include "batch/run_settings.h"

namespace mok::batch {

// Interim: the settings file writer is not available yet.
void WriteRunSetting(const std::u16string&, const std::u16string&, const std::u16string&) {}

void SaveRunWindowState(const std::u16string&, const Settings&, const RunRequest&) {}

}  // namespace mok::batch
