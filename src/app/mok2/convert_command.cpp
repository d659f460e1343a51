#include <cstdio>

#include "commands.h"

namespace mok::app {

int RunConvertCommand(const Args&) {
  std::fputs("mok2 convert: not available yet\n", stderr);
  return 2;
}

}  // namespace mok::app
