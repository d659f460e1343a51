// The settings record and the main window's last-used entries, read from and written to the
// settings file (sections "MOK" and "CURRENT" of mok.ini).
#pragma once

#include <array>
#include <optional>
#include <string>

#include "startup/prompter.h"
#include "startup/settings.h"

namespace mok {

inline constexpr char16_t kSettingsSection[] = u"MOK";
inline constexpr char16_t kCurrentSection[] = u"CURRENT";
inline constexpr char16_t kSettingsFileName[] = u"mok.ini";
inline constexpr int kMaxFixedTerms = 100;

// Fills every field of section "MOK" of `settings` from the file (missing keys take their
// defaults) and rebuilds FixedTerms; a malformed fixed name is reported through `prompter`.
void LoadSettings(Settings& settings, const std::u16string& settingsFilePath, Prompter& prompter);

// Writes the saved keys of section "MOK" in their fixed order. False when the file could not be
// written (the callers of the settings dialogs ignore it, as a failed write is silent).
bool SaveSettings(const Settings& settings, const std::u16string& settingsFilePath);

// Writes one key of section "MOK" (a run stores INPUTDIR and OUTPUTDIR this way).
bool WriteSetting(const std::u16string& settingsFilePath, const std::u16string& key,
                  const std::u16string& value);

// The main window's last-used entries (section "CURRENT").
struct CurrentState {
  std::u16string inputFilePath;
  std::u16string outputFilePath;
  std::u16string selectPref;
  std::u16string startRow = u"2";
  // AdrField1 to AdrField4: the address field boxes 住所１ to 住所４ (the first one "1" by default,
  // the others empty when unused).
  std::array<std::u16string, 4> adrFields{u"1"};
};

CurrentState LoadCurrentState(const std::u16string& settingsFilePath);
bool SaveCurrentState(const std::u16string& settingsFilePath, const CurrentState& state);

// A decimal integer in the 16-bit signed range (blanks around it allowed, full-width digits
// accepted), or nullopt for any other text.
std::optional<int16_t> ParseInt16(std::u16string_view text);

// The key of fixed-name entry n: "FIXEDTERM_" and n in four digits ("FIXEDTERM_0001").
std::u16string FixedTermKey(int n);

}  // namespace mok
