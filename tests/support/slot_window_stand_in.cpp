// Stands in, copied under the right-button tool's or the companion's name into an installation
// folder of a test's own, for the window a driver slot names:
//
//   slot_window_stand_in.exe tool|companion [hang]
//   slot_window_stand_in.exe                      as the programs start it: leaves "<its own
//                                                 path>.ran" behind and ends (marker_program)
//
// It makes a window (the right-button tool's class and caption for "tool", a class and caption of
// its own for "companion"), puts its handle into that slot (the tool's with 0xF3020, the
// companion's with the simulation code), appends the wParam of every WM_USER it is sent to
// "<its own path>.log" (one hexadecimal number a line) and ends when told to quit (0x100E or
// 0x200E). With "hang" it stops answering messages as soon as it is registered, as a program that
// has locked up; the test ends it.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/core/titles.h"
#include "common/win/driver_link.h"
#include "common/win/right_button.h"
#include "tools/sim_client.h"

namespace {

char g_log[MAX_PATH + 8] = {};

void Log(WPARAM code) {
  if (FILE* file = std::fopen(g_log, "a")) {
    std::fprintf(file, "%llx\n", static_cast<unsigned long long>(code));
    std::fclose(file);
  }
}

LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) {
    Log(wParam);
    if (wParam == koral::device::kQuitTool || wParam == koral::device::kQuitCompanion) DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
  const bool tool = std::strncmp(arguments, "tool", 4) == 0;
  const bool hang = std::strstr(arguments, "hang") != nullptr;
  GetModuleFileNameA(nullptr, g_log, MAX_PATH);
  if (!tool && std::strncmp(arguments, "companion", 9) != 0) {
    std::strcat(g_log, ".ran");
    if (FILE* file = std::fopen(g_log, "w")) std::fclose(file);
    return 0;
  }
  std::strcat(g_log, ".log");

  WNDCLASSA wc{};
  wc.lpfnWndProc = StandInProc;
  wc.hInstance = instance;
  wc.lpszClassName = tool ? koral::kFormWindowClass : "KoralSlotStandIn";
  if (!RegisterClassA(&wc)) return 1;
  const HWND window = CreateWindowA(wc.lpszClassName, tool ? koral::kRightButtonToolCaption : "Slot stand-in",
                                    WS_OVERLAPPED, 0, 0, 60, 60, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  const int32_t handle = static_cast<int32_t>(reinterpret_cast<INT_PTR>(window));

  koral::sim::SimClient driver;
  if (!driver.Open(5000)) return 2;
  if (tool) {
    koral::WindowSlot buffer{handle, koral::kToolIdle, {}};
    if (!driver.Exchange(koral::kSetRightButtonSlot, &buffer, sizeof buffer)) return 2;
  } else if (!driver.SetCompanionSlot(handle, 0)) {
    return 2;
  }
  if (hang) Sleep(INFINITE);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
