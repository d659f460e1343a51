#include "startup/new_settings.h"

#include <algorithm>
#include <filesystem>

#include "startup/profile.h"
#include "startup/settings_file.h"

namespace mok {

std::u16string FirstRegion(const std::u16string& remembered,
                           const std::vector<std::u16string>& regions) {
  if (!remembered.empty())
    return remembered;
  return std::find(regions.begin(), regions.end(), kNationwideRegion) != regions.end()
             ? kNationwideRegion
             : u"";
}

void StartAsNewUser(Settings& settings) {
  settings.extendedMatch = true;
}

bool CreateNewSettingsFile(const std::u16string& path) {
  std::error_code error;
  if (path.empty() || std::filesystem::exists(std::filesystem::path(path), error) || error)
    return false;
  return WriteProfileString(path, kSettingsSection, u"MATCHMODE", u"1") != 0;
}

}  // namespace mok
