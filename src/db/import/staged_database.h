// A database file built from nothing under a temporary name (<target>.new) and moved into place
// only when it is complete, so that no program ever opens a half-made file and a failed build
// leaves the file it would replace as it was. While the file is built the engine keeps no
// rollback journal and does not wait for the disk (journal_mode=off, synchronous=off): a failure
// or a crash can only spoil the temporary file, which is thrown away.
//
//   StagedDatabase staged(dir / "東京都.sqlite");
//   ... fill staged.db() inside one transaction ...
//   staged.Finish();   // closes the file
//   staged.Install();  // renames it to 東京都.sqlite
#pragma once

#include <filesystem>

#include "db/connection.h"

namespace mok::db {

class StagedDatabase {
 public:
  // Creates the temporary file (removing one left over by an earlier failed build). Throws
  // ImportError.
  explicit StagedDatabase(std::filesystem::path target);
  // Removes the temporary file unless it was installed.
  ~StagedDatabase();
  StagedDatabase(const StagedDatabase&) = delete;
  StagedDatabase& operator=(const StagedDatabase&) = delete;

  Connection& db() { return db_; }
  const std::filesystem::path& target() const { return target_; }

  // Closes the connection: the temporary file is complete.
  void Finish();
  // Finishes when needed and moves the file into place, replacing an existing one. Throws
  // ImportError when the rename fails.
  void Install();

 private:
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  Connection db_;
  bool installed_ = false;
};

}  // namespace mok::db
