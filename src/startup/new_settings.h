// What a new user starts with: a settings file made with the extended matching, which finds the
// right town where the standard matching finds none or a wrong one (八王子市堀之内3-2-2), and the
// region 全国 when the nationwide databases are there. An existing settings file keeps what it
// says.
#pragma once

#include <string>
#include <vector>

#include "startup/settings.h"

namespace mok {

inline constexpr char16_t kNationwideRegion[] = u"全国";

// The region to show: the remembered one, else 全国 when the region list holds it, else none.
std::u16string FirstRegion(const std::u16string& remembered,
                           const std::vector<std::u16string>& regions);

// The settings of a settings file not made yet: the extended matching.
void StartAsNewUser(Settings& settings);

// Creates the settings file when it does not exist, with MATCHMODE=1 in section MOK; true when it
// made it. An existing file (or one that cannot be made) is left alone.
bool CreateNewSettingsFile(const std::u16string& path);

}  // namespace mok
