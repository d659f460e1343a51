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

// A flag is set when its stored value is 1; a key that is missing or not a number takes its
// default.
bool GetFlag(const ProfileFile& profile, const char16_t* key, bool defaultValue) {
  return GetInt(profile, key, defaultValue ? 1 : 0) == 1;
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

// The key of address field box i (0-based): AdrField1, AdrField2, …
std::u16string AdrFieldKey(std::size_t i) {
  return u"AdrField" + std::u16string(1, static_cast<char16_t>(u'1' + i));
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
  // A file that cannot be read reads as an empty one, every entry at its default: the user is
  // told which file, so that the defaults (an empty DBDIR above all) are not taken for its own.
  if (!profile.Load(settingsFilePath) && profile.Problem() != ProfileProblem::None) {
    const bool unreadable = profile.Problem() == ProfileProblem::Unreadable;
    prompter.ShowMessage(
        u"設定ファイルを読めません" +
            std::u16string(unreadable ? u"。"
                                      : u"（Shift_JIS（CP932）でもUTF-8でもありません）。") +
            u"既定の設定で続けます。\r\n" + settingsFilePath,
        MessageIcon::None, kAppTitle);
  }
  auto str = [&](const char16_t* key, const char16_t* defaultValue) {
    return profile.Get(kSettingsSection, key, defaultValue);
  };
  Settings& s = settings;
  s.mapProgram = str(u"VELMORA", u"");
  s.tempDir = str(u"TEMPDIR", u"");
  s.dbDir = str(u"DBDIR", u"");
  s.mainDb = str(u"MAINDB", u"");
  s.inputDir = str(u"INPUTDIR", u"");
  s.outputDir = str(u"OUTPUTDIR", u"");
  s.delimiter = str(u"DELIMITER", u",");

  s.notOverwrite = GetFlag(profile, u"NOTOVERWRITE", false);
  s.unknownCheck = GetFlag(profile, u"UNKNOWN", false);
  s.unknownOut = GetFlag(profile, u"UNKNOWNOUT", false);
  s.csvOut = GetFlag(profile, u"CSVOUT", true);
  s.townCombine = GetFlag(profile, u"TOWNCONBINE", true);
  s.prefOut = GetFlag(profile, u"PREF", false);
  s.cityOut = GetFlag(profile, u"CITY", false);
  s.remainOut = GetFlag(profile, u"REMAIN", false);
  s.logOut = GetFlag(profile, u"LOG", false);
  s.monitor = GetFlag(profile, u"MONITOR", true);
  s.srcOut = GetFlag(profile, u"SRCOUT", true);
  s.cityCodeOut = GetFlag(profile, u"CITYCODE", true);
  s.coordNoOut = GetFlag(profile, u"COORDNO", true);
  s.xyOut = GetFlag(profile, u"XYCOORD", true);
  s.latLonOut = GetFlag(profile, u"LATITUDE", true);
  s.levelOut = GetFlag(profile, u"POSLEVEL", false);
  s.meshCodeOut = GetFlag(profile, u"MESHCODE", true);
  s.addLine = GetInt(profile, u"ADDLINE", 1);

  // Fixed names: numbered from 1 without gaps; the first missing number ends the list (later
  // entries, and any beyond the hundredth, are not read).
  s.fixedTerms.clear();
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
    s.fixedTerms.push_back({*code, pieces[1]});
  }

  s.completeMatch = GetFlag(profile, u"COMPLETEMATCH", false);
  s.extendedMatch = GetFlag(profile, u"MATCHMODE", false);
  s.jobs = GetInt(profile, u"JOBS", 0);
  s.outputEncoding = str(u"OUTPUTENCODING", u"");
  s.inputEncoding = str(u"INPUTENCODING", u"");
}

bool SaveSettings(const Settings& settings, const std::u16string& settingsFilePath) {
  ProfileFile profile;
  if (!profile.Load(settingsFilePath))
    return false;
  const Settings& s = settings;
  const std::pair<const char16_t*, std::u16string> texts[] = {
      {u"DBDIR", s.dbDir},
      {u"INPUTDIR", s.inputDir},
      {u"OUTPUTDIR", s.outputDir},
      {u"DELIMITER", s.delimiter},
  };
  const std::pair<const char16_t*, bool> flags[] = {
      {u"NOTOVERWRITE", s.notOverwrite},
      {u"UNKNOWN", s.unknownCheck},
      {u"UNKNOWNOUT", s.unknownOut},
      {u"CSVOUT", s.csvOut},
      {u"TOWNCONBINE", s.townCombine},
      {u"PREF", s.prefOut},
      {u"CITY", s.cityOut},
      {u"REMAIN", s.remainOut},
      {u"LOG", s.logOut},
      {u"MONITOR", s.monitor},
      {u"SRCOUT", s.srcOut},
      {u"CITYCODE", s.cityCodeOut},
      {u"COORDNO", s.coordNoOut},
      {u"XYCOORD", s.xyOut},
      {u"LATITUDE", s.latLonOut},
      {u"MESHCODE", s.meshCodeOut},
      {u"COMPLETEMATCH", s.completeMatch},
  };
  // A value that cannot be stored is skipped; the others are still written.
  bool allSet = true;
  for (const auto& [key, value] : texts)
    allSet = profile.Set(kSettingsSection, key, value) && allSet;
  for (const auto& [key, value] : flags) {
    // A stored value that already means the same is kept as it is, so that a value other than
    // 0/1 that another program wrote survives a save that did not change the flag.
    const std::optional<int16_t> stored = ParseInt16(profile.Get(kSettingsSection, key, u""));
    if (stored && (*stored == 1) == value)
      continue;
    allSet = profile.Set(kSettingsSection, key, value ? u"1" : u"0") && allSet;
  }
  // The server is written only when it changes what the file says, a missing key meaning the
  // folder's own main database: files of programs without it stay as they were.
  if (profile.Get(kSettingsSection, u"MAINDB", u"") != s.mainDb)
    allSet = profile.Set(kSettingsSection, u"MAINDB", s.mainDb) && allSet;
  // The matching mode and the level column are written only when they change what the file
  // says, a missing key meaning off: files of programs without them stay as they were.
  const std::pair<const char16_t*, bool> added[] = {{u"MATCHMODE", s.extendedMatch},
                                                    {u"POSLEVEL", s.levelOut}};
  for (const auto& [key, value] : added) {
    if ((GetInt(profile, key, 0) == 1) != value)
      allSet = profile.Set(kSettingsSection, key, value ? u"1" : u"0") && allSet;
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
  state.inputFilePath = profile.Get(kCurrentSection, u"InputFilePath", u"");
  state.outputFilePath = profile.Get(kCurrentSection, u"OutputFilePath", u"");
  state.selectPref = profile.Get(kCurrentSection, u"SelectPref", u"");
  state.startRow = profile.Get(kCurrentSection, u"StartRow", u"2");
  for (std::size_t i = 0; i < state.adrFields.size(); ++i)
    state.adrFields[i] = profile.Get(kCurrentSection, AdrFieldKey(i), i == 0 ? u"1" : u"");
  return state;
}

bool SaveCurrentState(const std::u16string& settingsFilePath, const CurrentState& state) {
  ProfileFile profile;
  if (!profile.Load(settingsFilePath))
    return false;
  bool allSet = profile.Set(kCurrentSection, u"InputFilePath", state.inputFilePath);
  allSet = profile.Set(kCurrentSection, u"OutputFilePath", state.outputFilePath) && allSet;
  allSet = profile.Set(kCurrentSection, u"SelectPref", state.selectPref) && allSet;
  allSet = profile.Set(kCurrentSection, u"StartRow", state.startRow) && allSet;
  for (std::size_t i = 0; i < state.adrFields.size(); ++i) {
    // The boxes after the first are written only when used (or to clear a stored one), so that a
    // file of one address field stays as it was.
    const std::u16string key = AdrFieldKey(i);
    if (i == 0 || !state.adrFields[i].empty() || !profile.Get(kCurrentSection, key, u"").empty())
      allSet = profile.Set(kCurrentSection, key, state.adrFields[i]) && allSet;
  }
  return profile.Save() && allSet;
}

}  // namespace mok
