#include "batch/run_settings.h"

#include "batch/input_reader.h"
#include "startup/profile.h"
#include "startup/settings_file.h"

namespace mok::batch {

// A failed write of mok.ini is silent: the run does not depend on what it remembers.
void WriteRunSetting(const std::u16string& settingsFilePath, const std::u16string& key,
                     const std::u16string& value) {
  WriteSetting(settingsFilePath, key, value);
}

void RememberFolders(const std::u16string& settingsFilePath, Settings& settings,
                     const std::u16string& inputPath, const std::u16string& outputPath) {
  if (const auto folder = FolderOf(inputPath); folder && *folder != settings.inputDir) {
    settings.inputDir = *folder;
    WriteRunSetting(settingsFilePath, u"INPUTDIR", *folder);
  }
  if (const auto folder = FolderOf(outputPath); folder && *folder != settings.outputDir) {
    settings.outputDir = *folder;
    WriteRunSetting(settingsFilePath, u"OUTPUTDIR", *folder);
  }
}

std::vector<std::u16string> SaveRunWindowState(const std::u16string& settingsFilePath,
                                               const Settings& settings, const RunRequest& request,
                                               bool rememberOutput) {
  CurrentState state;
  state.inputFilePath = settings.inputFilePath;
  state.outputFilePath =
      rememberOutput ? settings.outputFilePath : LoadCurrentState(settingsFilePath).outputFilePath;
  state.selectPref = request.region;
  state.startRow = request.startRow;
  for (std::size_t i = 0; i < state.adrFields.size(); ++i)
    state.adrFields[i] = i < request.addressFields.size() ? request.addressFields[i] : u"";
  std::vector<std::u16string> forgotten;
  std::vector<std::u16string*> entries = {&state.inputFilePath, &state.outputFilePath,
                                          &state.selectPref, &state.startRow};
  for (std::u16string& field : state.adrFields)
    entries.push_back(&field);
  for (std::u16string* entry : entries) {
    if (!ReadsBackWhole(*entry)) {
      forgotten.push_back(*entry);
      entry->clear();
    }
  }
  SaveCurrentState(settingsFilePath, state);
  return forgotten;
}

}  // namespace mok::batch
