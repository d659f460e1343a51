#include <cstdio>

#include "commands.h"

namespace mok::app {

int RunRecognizeCommand(const Args&) {
  std::fputs("mok2 recognize: not available yet\n", stderr);
  return 2;
}

}  // namespace mok::app
