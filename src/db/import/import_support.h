// What every importer shares: the database paths of a data folder, turning database failures into
// ImportError, a progress line on the terminal, and the registration of a region in ＤＢ一覧.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "db/connection.h"
#include "db/import/import_error.h"

namespace mok::db {

// <dir>/mok2.sqlite and <dir>/<region>.sqlite.
std::filesystem::path MainDatabaseFile(const std::filesystem::path& dir);
std::filesystem::path RegionDatabaseFile(const std::filesystem::path& dir,
                                         std::u16string_view region);
// Throws ImportError when `region` cannot name a region database file (empty, a path separator,
// or the main database's own name).
void CheckRegionName(std::u16string_view region);

// Creates the folder `dir` with its parents when missing; throws ImportError when it cannot.
void MakeFolder(const std::filesystem::path& dir);

// Throws ImportError with `context` and the engine's message when the operation failed.
void Check(const DbStatus& status, std::u16string_view context);
template <class T>
T& Check(DbResult<T>& result, std::u16string_view context) {
  if (!result)
    Check(DbStatus(result.error()), context);
  return *result;
}

// Opens the main database of `dir`; throws ImportError (suggesting "mok2 db create") when there
// is none.
Connection OpenMainDatabaseFile(const std::filesystem::path& dir);

// The region database of an import: opened, or created with its tables when missing. When the
// import fails, Discard() removes a file that this import created, so a failed first import
// leaves no half-made database behind.
class RegionImportTarget {
 public:
  RegionImportTarget(const std::filesystem::path& dir, std::u16string_view region);
  Connection& db() { return db_; }
  bool created() const { return created_; }
  void Discard();

 private:
  std::filesystem::path path_;
  Connection db_;
  bool created_ = false;
};

// The frame of an import into a region database: `fill` writes into the region database (its
// tables created when missing) inside one transaction on it and one on the main database, which
// lists the region in ＤＢ一覧. After `fill` the lookup indexes are made and both transactions
// commit; when anything throws neither commits and a region database this import created is
// removed. Returns the region's fldID.
int64_t ImportIntoRegion(const std::filesystem::path& dir, std::u16string_view region,
                         const std::function<void(Connection& db)>& fill);

// Adds `region` to ＤＢ一覧 with the next free fldID unless it is listed already. Returns the
// region's fldID. Runs inside the caller's transaction on `mainDb`.
int64_t RegisterRegion(Connection& mainDb, std::u16string_view region);

// Numbered messages: "12,345".
std::u16string FormatCount(int64_t n);

// A percentage on standard error while an import runs, only when standard error is a terminal
// and the thread has not muted it.
class ImportProgress {
 public:
  ImportProgress(std::string label, std::uint64_t total);
  ~ImportProgress();
  void Update(std::uint64_t done);
  void Finish();

 private:
  std::string label_;
  std::uint64_t total_;
  int shown_ = -1;
  bool active_;
};

// Mutes the progress displays of the current thread while it lives: imports that run side by side
// on worker threads would overwrite each other's line.
class ProgressMute {
 public:
  ProgressMute();
  ~ProgressMute();
  ProgressMute(const ProgressMute&) = delete;
  ProgressMute& operator=(const ProgressMute&) = delete;

 private:
  bool before_;
};

}  // namespace mok::db
