#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "startup/profile.h"
#include "startup/settings_location.h"
#include "support/temp_folder.h"

namespace mok {
namespace {

namespace fs = std::filesystem;

// An installed program in a folder of its own: <root>/usr/bin, the template in
// <root>/usr/share/mok2, the system's databases in <root>/var/lib/mok2, one user's home.
class InstalledProgram : public ::testing::Test {
 protected:
  InstalledProgram() {
    fs::create_directories(program);
    fs::create_directories(system);
    fs::create_directories(root / "usr/share/mok2");
    test::WriteCp932(Text(root / "usr/share/mok2/mok.ini"),
                     u"[MOK]\r\nDBDIR=" + Text(system) + u"\r\n[CURRENT]\r\nSelectPref=全国\r\n");
    for (const char* name : {"mok2.sqlite", "全国.sqlite", "東京都.sqlite", "notes.txt"})
      test::WriteBytes(Text(system / name), name);
  }
  static std::u16string Text(const fs::path& path) { return path.u16string(); }
  std::u16string Setting(const char16_t* section, const char16_t* key) const {
    return ReadProfileString(Text(settings), section, key, u"<none>");
  }
  SettingsLocation Locate() const { return LocateSettingsFile(program, home); }

  test::TempFolder root;
  const fs::path program = root / "usr/bin";
  const fs::path system = root / "var/lib/mok2";
  HomeFolders home{root / "home/.config", root / "home/.local/share"};
  const fs::path settings = root / "home/.config/mok2/mok.ini";
  const fs::path databases = root / "home/.local/share/mok2";
};

TEST_F(InstalledProgram, FirstStartMakesTheUsersSettingsAndDatabaseFolder) {
  const SettingsLocation location = Locate();
  EXPECT_EQ(location.settingsFile, Text(settings));
  EXPECT_EQ(location.problem, u"");
  EXPECT_EQ(Setting(u"MOK", u"DBDIR"), Text(databases));
  EXPECT_EQ(Setting(u"CURRENT", u"SelectPref"), u"全国");
  // The main database is the user's own copy; each region database is shared through a link.
  EXPECT_FALSE(fs::is_symlink(databases / "mok2.sqlite"));
  EXPECT_EQ(test::ReadBytes(Text(databases / "mok2.sqlite")), "mok2.sqlite");
  for (const char* region : {"全国.sqlite", "東京都.sqlite"})
    EXPECT_EQ(fs::read_symlink(databases / region), system / region) << region;
  EXPECT_FALSE(fs::exists(fs::symlink_status(databases / "notes.txt")));
  EXPECT_EQ(std::distance(fs::directory_iterator(settings.parent_path()), {}), 1);
}

TEST_F(InstalledProgram, LaterStartsKeepWhatTheUserHas) {
  Locate();
  WriteProfileString(Text(settings), u"CURRENT", u"SelectPref", u"東京都");
  test::WriteBytes(Text(databases / "mok2.sqlite"), "learned words");
  test::WriteBytes(Text(system / "大阪府.sqlite"), "");
  EXPECT_EQ(Locate().problem, u"");
  EXPECT_EQ(Setting(u"CURRENT", u"SelectPref"), u"東京都");
  EXPECT_EQ(test::ReadBytes(Text(databases / "mok2.sqlite")), "learned words");
  EXPECT_FALSE(fs::exists(databases / "大阪府.sqlite"));
  // A folder that lost only its main database gets it again and keeps the user's own region
  // database; a folder the user removed is made again; one the user chose instead is not.
  fs::remove(databases / "mok2.sqlite");
  fs::remove(databases / "東京都.sqlite");
  test::WriteBytes(Text(databases / "東京都.sqlite"), "the user's own");
  EXPECT_EQ(Locate().problem, u"");
  EXPECT_EQ(test::ReadBytes(Text(databases / "mok2.sqlite")), "mok2.sqlite");
  EXPECT_EQ(test::ReadBytes(Text(databases / "東京都.sqlite")), "the user's own");
  fs::remove_all(databases);
  EXPECT_EQ(Locate().problem, u"");
  EXPECT_TRUE(fs::exists(databases / "大阪府.sqlite"));
  fs::remove_all(databases);
  WriteProfileString(Text(settings), u"MOK", u"DBDIR", Text(root / "elsewhere"));
  EXPECT_EQ(Locate().problem, u"");
  EXPECT_FALSE(fs::exists(databases));
}

TEST_F(InstalledProgram, WhatKeepsTheUsersFilesFromBeingMadeIsSaid) {
  const std::string longName(130, 'x');
  struct Case {
    const char* what;
    HomeFolders home;
    std::optional<const char*> removeFromSystem;
    std::u16string settingsFile, dbDir, problemPart;
  } cases[] = {
      {"no home folder", {}, {}, Text(program / "mok.ini"), u"<none>", u"HOME"},
      {"no system databases", home, "mok2.sqlite", Text(settings), Text(databases),
       u"dpkg-reconfigure mok2"},
      {"a file where the folder belongs",
       {home.config, root / "home/file"},
       {},
       Text(settings),
       Text(root / "home/file/mok2"),
       u"用意できませんでした"},
      {"a folder too long for the file",
       {home.config, root / longName},
       {},
       Text(settings),
       Text(system),
       u"126バイト"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(root / "home");
    fs::create_directories(root / "home");
    test::WriteBytes(Text(root / "home/file"), "");
    if (c.removeFromSystem)
      fs::rename(system / *c.removeFromSystem, root / "removed");
    const SettingsLocation location = LocateSettingsFile(program, c.home);
    EXPECT_EQ(location.settingsFile, c.settingsFile);
    EXPECT_NE(location.problem.find(c.problemPart), std::u16string::npos);
    EXPECT_EQ(Setting(u"MOK", u"DBDIR"), c.dbDir);
    if (c.removeFromSystem)
      fs::rename(root / "removed", system / *c.removeFromSystem);
  }
}

TEST(SettingsLocation, AProgramNotInstalledKeepsItsSettingsBesideItself) {
  test::TempFolder root;
  fs::create_directories(root / "build/release");
  const HomeFolders home{root / "config", root / "data"};
  const SettingsLocation location = LocateSettingsFile(root / "build/release", home);
  EXPECT_EQ(location.settingsFile, (root / "build/release/mok.ini").u16string());
  EXPECT_EQ(location.problem, u"");
  EXPECT_FALSE(fs::exists(root / "config") || fs::exists(root / "data"));
}

TEST(SettingsLocation, HomeFoldersFollowTheXdgRules) {
  struct Case {
    const char *home, *config, *data;
    fs::path wantConfig, wantData;
  } cases[] = {
      {"/h", nullptr, nullptr, "/h/.config", "/h/.local/share"},
      {"/h", "/c", "/d", "/c", "/d"},
      {"/h", "relative", "", "/h/.config", "/h/.local/share"},  // not absolute: unset
      {nullptr, "/c", nullptr, "/c", ""},
  };
  const char* names[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"};
  std::optional<std::string> saved[3];
  for (int k = 0; k < 3; ++k) {
    if (const char* value = std::getenv(names[k]))
      saved[k] = value;
  }
  auto set = [&](int k, const char* value) {
    value ? setenv(names[k], value, 1) : unsetenv(names[k]);
  };
  for (const Case& c : cases) {
    set(0, c.home);
    set(1, c.config);
    set(2, c.data);
    const HomeFolders folders = HomeFoldersFromEnvironment();
    EXPECT_EQ(folders.config, c.wantConfig);
    EXPECT_EQ(folders.data, c.wantData);
  }
  for (int k = 0; k < 3; ++k)
    set(k, saved[k] ? saved[k]->c_str() : nullptr);
}

}  // namespace
}  // namespace mok
