#include "batch/run_settings.h"

#include "startup/settings_file.h"

namespace mok::batch {

// A failed write of mok.ini is silent: the run does not depend on what it remembers.
void WriteRunSetting(const std::u16string& settingsFilePath, const std::u16string& key,
                     const std::u16string& value) {
  WriteSetting(settingsFilePath, key, value);
}

void SaveRunWindowState(const std::u16string& settingsFilePath, const Settings& settings,
                        const RunRequest& request) {
  CurrentState state;
  state.InputFilePath = settings.InputFilePath;
  state.OutputFilePath = settings.OutputFilePath;
  state.SelectPref = request.region;
  state.StartRow = request.startRow;
  state.AdrField1 = request.addressField;
  SaveCurrentState(settingsFilePath, state);
}

}  // namespace mok::batch
