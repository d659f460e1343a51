// What a run remembers in mok.ini: the folders of its input and output (INPUTDIR, OUTPUTDIR in
// section MOK) and the main window's entries (section CURRENT), so that the next start shows them
// again.
#pragma once

#include <string>
#include <vector>

#include "batch/conversion_run.h"
#include "startup/settings.h"

namespace mok::batch {

void WriteRunSetting(const std::u16string& settingsFilePath, const std::u16string& key,
                     const std::u16string& value);

// Writes section CURRENT from the request's texts (the window's boxes) and the settings' paths.
// An entry that would not read back whole (a path of more than 126 bytes) is stored empty, so
// that a later run never takes its cut form for a file; those entries are given back.
std::vector<std::u16string> SaveRunWindowState(const std::u16string& settingsFilePath,
                                               const Settings& settings, const RunRequest& request);

}  // namespace mok::batch
