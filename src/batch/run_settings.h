// What a run remembers in mok.ini: the folders of its input and output (INPUTDIR, OUTPUTDIR in
// section MOK) and the main window's entries (section CURRENT), so that the next start shows them
// again.
#pragma once

#include <string>
#include <vector>

#include "batch/run_request.h"
#include "startup/settings.h"

namespace mok::batch {

void WriteRunSetting(const std::u16string& settingsFilePath, const std::u16string& key,
                     const std::u16string& value);

// The folders of the input and the output become INPUTDIR and OUTPUTDIR (in the settings and in
// mok.ini) where they differ; a path without a folder changes nothing.
void RememberFolders(const std::u16string& settingsFilePath, Settings& settings,
                     const std::u16string& inputPath, const std::u16string& outputPath);

// Writes section CURRENT from the request's texts (the window's boxes) and the settings' paths;
// without `rememberOutput` (an output the run refused) the output path remembered before stays.
// An entry that would not read back whole (a path of more than 126 bytes) is stored empty, so
// that a later run never takes its cut form for a file; those entries are given back.
std::vector<std::u16string> SaveRunWindowState(const std::u16string& settingsFilePath,
                                               const Settings& settings, const RunRequest& request,
                                               bool rememberOutput = true);

}  // namespace mok::batch
