// mok2conv: the desktop program (its windows are being built).
#include <cstdio>

int main() {
  std::fputs("mok2conv: not available yet\n", stderr);
  return 2;
}
