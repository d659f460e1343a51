// Section "MOK" of the settings file into the settings record and back, and section "CURRENT"
// (the main window's last-used entries).
//
// Besides the plain keys, the section carries the engine's fixed names as numbered entries
// "code,term" without gaps:
//   FIXEDTERM_0001=3,霞が関
//   FIXEDTERM_0002=3,大手町
// The first missing number ends the list; an entry that is not "code,term" ends it with a message.
#include "startup/settings_file.h"

#include <cstdio>

#include "startup/profile.h"
#include "text/text.h"

namespace mok {
namespace {

constexpr char16_t kFixedTermError[] = u"システム固定名称の読み込みに失敗しました。";

// A numeric key whose text is not a 16-bit decimal integer takes its default.
int16_t GetInt(const ProfileFile& profile, const char16_t* key, int16_t defaultValue) {
  const std::u16string text = profile.Get(kSettingsSection, key, u"");
  if (text.empty())
    return defaultValue;
  return ParseInt16(text).value_or(defaultValue);
}

std::u16string IntText(int value) {
  return text::FromUtf8(std::to_string(value));
}

std::vector<std::u16string> SplitAtComma(const std::u16string& text) {
  std::vector<std::u16string> pieces;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(u',', start);
    pieces.push_back(text.substr(start, comma - start));
    if (comma == std::u16string::npos)
      break;
    start = comma + 1;
  }
  return pieces;
}

}  // namespace

std::optional<int16_t> ParseInt16(std::u16string_view input) {
  const std::u16string text = text::Trim(text::ToNarrow(input));
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
    negative = text[i++] == u'-';
  if (i == text.size())
    return std::nullopt;
  long value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < u'0' || text[i] > u'9')
      return std::nullopt;
    value = value * 10 + (text[i] - u'0');
    if (value > 32768)
      return std::nullopt;
  }
  if (negative)
    value = -value;
  if (value < -32768 || value > 32767)
    return std::nullopt;
  return static_cast<int16_t>(value);
}

std::u16string FixedTermKey(int n) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "FIXEDTERM_%04d", n);
  return text::FromUtf8(buf);
}

void LoadSettings(Settings& settings, const std::u16string& settingsFilePath, Prompter& prompter) {
  ProfileFile profile;
  profile.Load(settingsFilePath);  // an unreadable file reads as an empty one: every default
  auto str = [&](const char16_t* key, const char16_t* defaultValue) {
    return profile.Get(kSettingsSection, key, defaultValue);
  };
  Settings& s = settings;
  s.MapProgram = str(u"VELMORA", u"");
  s.TempDir = str(u"TEMPDIR", u"");
  s.DbDir = str(u"DBDIR", u"");
  s.InputDir = str(u"INPUTDIR", u"");
  s.OutputDir = str(u"OUTPUTDIR", u"");
  s.Delimiter = str(u"DELIMITER", u",");

  s.NotOverwrite = GetInt(profile, u"NOTOVERWRITE", 0);
  s.UnknownCheck = GetInt(profile, u"UNKNOWN", 0);
  s.UnknownOut = GetInt(profile, u"UNKNOWNOUT", 0);
  s.CsvOut = GetInt(profile, u"CSVOUT", 1) == 1;
  s.TownCombine = GetInt(profile, u"TOWNCONBINE", 1) == 1;
  s.PrefOut = GetInt(profile, u"PREF", 0);
  s.CityOut = GetInt(profile, u"CITY", 0);
  s.RemainOut = GetInt(profile, u"REMAIN", 0);
  s.LogOut = GetInt(profile, u"LOG", 0);
  s.Monitor = GetInt(profile, u"MONITOR", 1);
  s.SrcOut = GetInt(profile, u"SRCOUT", 1);
  s.CityCodeOut = GetInt(profile, u"CITYCODE", 1);
  s.CoordNoOut = GetInt(profile, u"COORDNO", 1);
  s.XYOut = GetInt(profile, u"XYCOORD", 1);
  s.LatLonOut = GetInt(profile, u"LATITUDE", 1);
  s.MeshCodeOut = GetInt(profile, u"MESHCODE", 1);
  s.AddLine = GetInt(profile, u"ADDLINE", 1);

  // Fixed names: numbered from 1 without gaps; the first missing number ends the list (later
  // entries, and any beyond the hundredth, are not read).
  s.FixedTerms.clear();
  for (int n = 1; n <= kMaxFixedTerms; ++n) {
    const std::u16string entry = profile.Get(kSettingsSection, FixedTermKey(n), u"");
    if (entry.empty())
      break;
    const std::vector<std::u16string> pieces = SplitAtComma(entry);
    // "code,term": pieces after the second are ignored. An entry without a comma, or whose code
    // is not a number, is malformed.
    const std::optional<int16_t> code = pieces.size() >= 2 ? ParseInt16(pieces[0]) : std::nullopt;
    if (!code) {
      prompter.ShowMessage(kFixedTermError, MessageIcon::None, kAppTitle);
      break;
    }
    s.FixedTerms.push_back({*code, pieces[1]});
  }

  s.CompleteMatch = GetInt(profile, u"COMPLETEMATCH", 0);
}

bool SaveSettings(const Settings& settings, const std::u16string& settingsFilePath) {
  ProfileFile profile;
  if (!profile.Load(settingsFilePath))
    return false;
  const Settings& s = settings;
  const std::pair<const char16_t*, std::u16string> keys[] = {
      {u"DBDIR", s.DbDir},
      {u"INPUTDIR", s.InputDir},
      {u"OUTPUTDIR", s.OutputDir},
      {u"DELIMITER", s.Delimiter},
      {u"NOTOVERWRITE", IntText(s.NotOverwrite)},
      {u"UNKNOWN", IntText(s.UnknownCheck)},
      {u"UNKNOWNOUT", IntText(s.UnknownOut)},
      {u"CSVOUT", s.CsvOut ? u"1" : u"0"},
      {u"TOWNCONBINE", s.TownCombine ? u"1" : u"0"},
      {u"PREF", IntText(s.PrefOut)},
      {u"CITY", IntText(s.CityOut)},
      {u"REMAIN", IntText(s.RemainOut)},
      {u"LOG", IntText(s.LogOut)},
      {u"MONITOR", IntText(s.Monitor)},
      {u"SRCOUT", IntText(s.SrcOut)},
      {u"CITYCODE", IntText(s.CityCodeOut)},
      {u"COORDNO", IntText(s.CoordNoOut)},
      {u"XYCOORD", IntText(s.XYOut)},
      {u"LATITUDE", IntText(s.LatLonOut)},
      {u"MESHCODE", IntText(s.MeshCodeOut)},
      {u"COMPLETEMATCH", IntText(s.CompleteMatch)},
  };
  bool allSet = true;
  for (const auto& [key, value] : keys) {
    // A value that cannot be stored is skipped; the others are still written.
    allSet = profile.Set(kSettingsSection, key, value) && allSet;
  }
  return profile.Save() && allSet;
}

bool WriteSetting(const std::u16string& settingsFilePath, const std::u16string& key,
                  const std::u16string& value) {
  return WriteProfileString(settingsFilePath, kSettingsSection, key, value) != 0;
}

CurrentState LoadCurrentState(const std::u16string& settingsFilePath) {
  ProfileFile profile;
  profile.Load(settingsFilePath);
  CurrentState state;
  state.InputFilePath = profile.Get(kCurrentSection, u"InputFilePath", u"");
  state.OutputFilePath = profile.Get(kCurrentSection, u"OutputFilePath", u"");
  state.SelectPref = profile.Get(kCurrentSection, u"SelectPref", u"");
  state.StartRow = profile.Get(kCurrentSection, u"StartRow", u"2");
  state.AdrField1 = profile.Get(kCurrentSection, u"AdrField1", u"1");
  return state;
}

bool SaveCurrentState(const std::u16string& settingsFilePath, const CurrentState& state) {
  ProfileFile profile;
  if (!profile.Load(settingsFilePath))
    return false;
  bool allSet = profile.Set(kCurrentSection, u"InputFilePath", state.InputFilePath);
  allSet = profile.Set(kCurrentSection, u"OutputFilePath", state.OutputFilePath) && allSet;
  allSet = profile.Set(kCurrentSection, u"SelectPref", state.SelectPref) && allSet;
  allSet = profile.Set(kCurrentSection, u"StartRow", state.StartRow) && allSet;
  allSet = profile.Set(kCurrentSection, u"AdrField1", state.AdrField1) && allSet;
  return profile.Save() && allSet;
}

}  // namespace mok
