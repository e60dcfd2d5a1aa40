// Prints the double-click time, width and height that Windows uses, as a newly started program
// sees them: "<milliseconds> <width> <height>". A running process may keep the values it read
// first (Wine does), so tests ask a fresh one what another program set.
#include <windows.h>

#include <cstdio>

int main() {
  std::printf("%u %d %d\n", GetDoubleClickTime(), GetSystemMetrics(SM_CXDOUBLECLK), GetSystemMetrics(SM_CYDOUBLECLK));
  return 0;
}
