// The database folder of one user of an installed program, $XDG_DATA_HOME/mok2
// (~/.local/share/mok2).
//
// The package builds the nationwide databases once, at install, into a system folder
// (/var/lib/mok2) that only the administrator writes. Region databases are only read, so every
// user shares them: the user's folder holds a symbolic link to each. The main database
// (mok2.sqlite) holds the learning dictionary, which each user writes when registering words, so
// the user gets a copy of the system's own, which starts with the same region list and region
// numbers. A region database the user imports or rebuilds later replaces its link with a file
// of the user's own (the data tool renames new files into place).
#pragma once

#include <filesystem>
#include <string>

namespace mok {

enum class FolderPreparation {
  Ready,          // the folder already had its main database, or now has it
  NoSystemFiles,  // the system folder has no main database to start from
  Failed,         // a folder, link or copy could not be made
};

struct FolderPreparationResult {
  FolderPreparation outcome = FolderPreparation::Ready;
  std::string detail;  // the path and the system's reason of a failure
};

// Makes `userFolder` from `systemFolder` when it has no mok2.sqlite yet: a link to every region
// database (*.sqlite) of the system folder that the user folder does not have, then a copy of the
// system's mok2.sqlite, written under a temporary name and renamed into place last, so that a
// folder with a main database is complete. A folder that has its main database is left alone.
FolderPreparationResult PrepareUserDatabaseFolder(const std::filesystem::path& userFolder,
                                                  const std::filesystem::path& systemFolder);

}  // namespace mok
