// Where a program keeps its settings file when none is named on its command line.
//
// A program run from the folder it was built in (or copied to) keeps mok.ini beside itself. An
// installed program (its shared files in <program folder>/../share/mok2, with the settings
// template mok.ini there) cannot write beside itself under /usr/bin and is used by several people
// on a shared PC, so each user gets a settings file of their own, $XDG_CONFIG_HOME/mok2/mok.ini
// (~/.config/mok2/mok.ini), made from the template at their first start with DBDIR naming their
// own database folder (see user_database_folder.h). The template's DBDIR names the system's
// database folder that the package built at install.
#pragma once

#include <filesystem>
#include <string>

namespace mok {

// The user's base folders of the XDG rules: settings and data. Empty when the home folder is
// unknown.
struct HomeFolders {
  std::filesystem::path config;  // $XDG_CONFIG_HOME, else $HOME/.config
  std::filesystem::path data;    // $XDG_DATA_HOME, else $HOME/.local/share
};

// The folders from the environment. Written here rather than taken from a library: two variables
// with a fallback each (a relative path counts as unset, as the XDG rules say), and the only
// library for it (libxdg-basedir) would be one more run-time dependency of both programs.
HomeFolders HomeFoldersFromEnvironment();

// The installed program's shared folder, <program folder>/../share/mok2, when it holds the
// settings template; empty for a program that is not installed.
std::filesystem::path InstalledShareFolder(const std::filesystem::path& programDir);

struct SettingsLocation {
  std::u16string settingsFile;
  // Why the user's settings file or database folder could not be made ("" when all is well); the
  // program shows it and goes on with what there is.
  std::u16string problem;
};

// The settings file of a program in `programDir`: mok.ini beside it, or for an installed program
// the user's own, made from the template when missing (an existing one is never changed), with
// the user's database folder prepared when the settings name it and it has no main database yet.
SettingsLocation LocateSettingsFile(const std::filesystem::path& programDir,
                                    const HomeFolders& home);

}  // namespace mok
