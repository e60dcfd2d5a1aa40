// Keeps the test prefix's desktop open between test programs. Under Wine a desktop that no
// program uses is closed, and the next program that shows a window starts the desktop's process
// again and waits for it: with the null display driver that process cannot make its own windows
// and ends, so every test program paid that start (about half a second) before its first window.
// scripts/test-prefix starts one keeper per prefix; it holds one hidden, uncaptioned window, which
// no test looks for, and ends with the prefix's server.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // One keeper a prefix: a second start ends at once.
  CreateMutexA(nullptr, FALSE, "KoralDesktopKeeper");
  if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = "KoralDesktopKeeper";
  if (!RegisterClassA(&wc)) return 1;
  if (!CreateWindowA(wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr)) return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
