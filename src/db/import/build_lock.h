// One build at a time per database folder: a build holds an exclusive lock (flock) on the file
// build.lock in the folder while it runs, so that a second build of the same folder is refused
// with a clear message instead of replacing the first one's unfinished files. The lock goes with
// the process (also a killed one); the file stays, empty.
//
//   const BuildLock lock(dir);   // throws ImportError while another build holds the folder
#pragma once

#include <filesystem>

namespace mok::db {

class BuildLock {
 public:
  // Creates the folder when missing and takes its lock. Throws ImportError.
  explicit BuildLock(const std::filesystem::path& dir);
  ~BuildLock();
  BuildLock(const BuildLock&) = delete;
  BuildLock& operator=(const BuildLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace mok::db
