// Stands in for the companion program KORALPvr.exe, which lies outside the suite, so that the
// programs that start it and tell it to quit can be run and tested: it shows a small window with
// the show state it was started with, registers that window in the driver's companion slot
// (through the substitute driver's simulation code 0xFE050, keeping the orientation code the slot
// holds), and ends when it is sent WM_USER with wParam 0x200E, withdrawing the registration.
#include <windows.h>

#include "common/win/driver_link.h"
#include "tools/sim_client.h"

namespace {

constexpr char kClass[] = "KoralCompanionStandIn";
constexpr char kCaption[] = "Companion stand-in";

LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER && wParam == koral::device::kQuitCompanion) {
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = StandInProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClass;
  if (!RegisterClassA(&wc)) return 1;
  const HWND window = CreateWindowA(kClass, kCaption, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 240, 80, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);

  koral::sim::SimClient driver;
  if (!driver.Open(5000)) return 2;
  const int32_t handle = static_cast<int32_t>(reinterpret_cast<INT_PTR>(window));
  const auto slot = driver.CompanionSlot();
  const int16_t orientation = slot ? slot->State : 0;
  if (!driver.SetCompanionSlot(handle, orientation)) return 2;

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }

  // Only a registration that is still ours is withdrawn.
  const auto now = driver.CompanionSlot();
  if (now && now->Handle == handle) driver.SetCompanionSlot(koral::kNoWindow, now->State);
  return 0;
}
