#include "startup/settings_location.h"

#include <cstdlib>
#include <system_error>

#include "startup/paths.h"
#include "startup/profile.h"
#include "startup/settings_file.h"
#include "startup/user_database_folder.h"

namespace mok {

namespace fs = std::filesystem;

namespace {

constexpr char16_t kDbDirKey[] = u"DBDIR";

fs::path BaseFolder(const char* variable, const char* besideHome) {
  const char* value = std::getenv(variable);
  if (value && *value && fs::path(value).is_absolute())
    return value;
  const char* home = std::getenv("HOME");
  if (!home || !*home)
    return {};
  return fs::path(home) / besideHome;
}

std::u16string Text(const fs::path& path) {
  return path.u16string();
}

// The settings file made from the template: a copy under a temporary name whose DBDIR names the
// user's database folder, renamed into place. When the folder's name cannot be written into the
// file, the copy keeps the template's folder (the system's databases, which convert but keep no
// learned word) and the answer says why.
std::u16string MakeSettingsFile(const fs::path& templateFile, const fs::path& settingsFile,
                                const fs::path& userFolder) {
  const std::u16string cannotMake =
      u"設定ファイル " + Text(settingsFile) +
      u" を作れませんでした。フォルダーに書き込めるか確かめてください。";
  std::error_code ec;
  fs::create_directories(settingsFile.parent_path(), ec);
  if (ec)
    return cannotMake;
  const fs::path partial = fs::path(settingsFile).concat(".new");
  fs::copy_file(templateFile, partial, fs::copy_options::overwrite_existing, ec);
  if (!ec)
    fs::permissions(partial, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add,
                    ec);
  std::u16string problem;
  if (!ec && !WriteProfileString(Text(partial), kSettingsSection, kDbDirKey, Text(userFolder))) {
    problem = u"データベースのフォルダー " + Text(userFolder) +
              u" は設定ファイルに書けない名前です（シフトJISで126バイトまで）。"
              u"環境設定でデータベースのフォルダーを選んでください。";
  }
  if (!ec)
    fs::rename(partial, settingsFile, ec);
  if (ec) {
    fs::remove(partial, ec);
    return cannotMake;
  }
  return problem;
}

// What the clerk is told when the user's database folder cannot be made.
std::u16string PreparationProblem(const FolderPreparationResult& result) {
  const std::u16string detail = fs::path(result.detail).u16string();
  switch (result.outcome) {
    case FolderPreparation::Ready:
      return u"";
    case FolderPreparation::NoSystemFiles:
      return u"全国のデータベース " + detail +
             u" がありません。管理者が「sudo dpkg-reconfigure mok2」で作り直してください。";
    case FolderPreparation::Failed:
      break;
  }
  return u"データベースのフォルダーを用意できませんでした（" + detail +
         u"）。フォルダーに書き込めるか、ディスクに空きがあるか確かめてください。";
}

}  // namespace

HomeFolders HomeFoldersFromEnvironment() {
  return {BaseFolder("XDG_CONFIG_HOME", ".config"), BaseFolder("XDG_DATA_HOME", ".local/share")};
}

fs::path InstalledShareFolder(const fs::path& programDir) {
  const fs::path share = programDir.parent_path() / "share" / "mok2";
  std::error_code ec;
  return fs::is_regular_file(share / "mok.ini", ec) ? share : fs::path();
}

SettingsLocation LocateSettingsFile(const fs::path& programDir, const HomeFolders& home) {
  const std::u16string beside = JoinPath(Text(programDir), kSettingsFileName);
  const fs::path share = InstalledShareFolder(programDir);
  if (share.empty())
    return {beside, u""};
  if (home.config.empty() || home.data.empty())
    return {beside,
            u"ホームフォルダーが分からないため、利用者ごとの設定ファイルを作れません。"
            u"環境変数 HOME を設定してから起動してください。"};
  const fs::path templateFile = share / "mok.ini";
  const fs::path settingsFile = home.config / "mok2" / "mok.ini";
  const fs::path userFolder = home.data / "mok2";
  std::error_code ec;
  if (!fs::exists(settingsFile, ec)) {
    if (auto problem = MakeSettingsFile(templateFile, settingsFile, userFolder); !problem.empty())
      return {Text(settingsFile), problem};
  }
  // A user who chose another database folder keeps it: the default folder is made only while the
  // settings name it.
  const std::u16string dbDir =
      ReadProfileString(Text(settingsFile), kSettingsSection, kDbDirKey, u"");
  if (AddPathSeparator(dbDir) != AddPathSeparator(Text(userFolder)))
    return {Text(settingsFile), u""};
  const fs::path systemFolder =
      ReadProfileString(Text(templateFile), kSettingsSection, kDbDirKey, u"");
  return {Text(settingsFile),
          PreparationProblem(PrepareUserDatabaseFolder(userFolder, systemFolder))};
}

}  // namespace mok
