#include "startup/user_database_folder.h"

#include <system_error>

namespace mok {

namespace fs = std::filesystem;

namespace {

constexpr char kMainDatabase[] = "mok2.sqlite";

FolderPreparationResult Failure(const fs::path& path, const std::error_code& ec) {
  return {FolderPreparation::Failed, path.string() + ": " + ec.message()};
}

// A link in `userFolder` to each region database of `systemFolder` that the user folder lacks
// (a file or link of the same name, even a broken one, is kept).
FolderPreparationResult LinkRegionDatabases(const fs::path& userFolder,
                                            const fs::path& systemFolder) {
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(systemFolder, ec)) {
    const fs::path name = entry.path().filename();
    if (entry.path().extension() != ".sqlite" || name == kMainDatabase ||
        !entry.is_regular_file(ec))
      continue;
    const fs::path link = userFolder / name;
    if (fs::exists(fs::symlink_status(link, ec)))
      continue;
    fs::create_symlink(entry.path(), link, ec);
    if (ec)
      return Failure(link, ec);
  }
  if (ec)
    return Failure(systemFolder, ec);
  return {};
}

}  // namespace

FolderPreparationResult PrepareUserDatabaseFolder(const fs::path& userFolder,
                                                  const fs::path& systemFolder) {
  std::error_code ec;
  const fs::path mainDatabase = userFolder / kMainDatabase;
  if (fs::exists(fs::symlink_status(mainDatabase, ec)))
    return {};
  const fs::path systemMain = systemFolder / kMainDatabase;
  if (!fs::is_regular_file(systemMain, ec))
    return {FolderPreparation::NoSystemFiles, systemMain.string()};
  fs::create_directories(userFolder, ec);
  if (ec)
    return Failure(userFolder, ec);
  if (auto linked = LinkRegionDatabases(userFolder, systemFolder);
      linked.outcome != FolderPreparation::Ready)
    return linked;
  // The copy gets the user's ownership and the system file's read and write bits for its owner.
  const fs::path partial = userFolder / (std::string(kMainDatabase) + ".new");
  fs::copy_file(systemMain, partial, fs::copy_options::overwrite_existing, ec);
  if (!ec)
    fs::permissions(partial, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add,
                    ec);
  if (!ec)
    fs::rename(partial, mainDatabase, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(partial, ignored);
    return Failure(mainDatabase, ec);
  }
  return {};
}

}  // namespace mok
