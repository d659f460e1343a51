#include "db/import/build_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "db/import/import_error.h"
#include "db/import/import_support.h"

namespace mok::db {

BuildLock::BuildLock(const std::filesystem::path& dir) {
  MakeFolder(dir);
  const std::filesystem::path file = dir / "build.lock";
  fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    throw ImportError(u"cannot open the lock file " + PathText(file) + u": " +
                      text::FromUtf8(std::strerror(errno)));
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
    return;
  const int error = errno;
  ::close(fd_);
  if (error == EWOULDBLOCK) {
    throw ImportError(u"another build is running in " + PathText(dir) +
                      u"; wait until it ends and start this one again");
  }
  throw ImportError(u"cannot lock " + PathText(file) + u": " +
                    text::FromUtf8(std::strerror(error)));
}

BuildLock::~BuildLock() {
  ::close(fd_);  // releases the lock
}

}  // namespace mok::db
