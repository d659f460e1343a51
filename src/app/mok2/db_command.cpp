#include <cstdio>

#include "commands.h"

namespace mok::app {

int RunDbCommand(const Args&) {
  std::fputs("mok2 db: not available yet\n", stderr);
  return 2;
}

}  // namespace mok::app
