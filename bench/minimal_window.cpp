// The floor of a windowed program's start: a window class, one window with one button, a message
// loop, nothing else. Built and linked as the suite's programs are (static, stripped).
//   minimal_window.exe              the window; closing it ends the program
//   minimal_window.exe CONTROLS     its button opens a second plain window with these controls
//                                   and hides the first, as the control panel opens a dialog.
//                                   CONTROLS counts them by kind: B buttons, L drop-down lists,
//                                   C drop-down lists with a field, H scroll bars, S static
//                                   texts, e.g. B12C4S9
//   minimal_window.exe /main CONTROLS  the first window itself carries these controls (the floor
//                                   of a main window with as many child windows as the panel's)
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr char kClass[] = "MinimalWindow";
constexpr int kOpenButton = 100;
const char* g_controls = "";
HWND g_main = nullptr;

struct Kind {
  char Letter;
  const char* Class;
  DWORD Style;
};
constexpr Kind kKinds[] = {
    {'B', "BUTTON", BS_PUSHBUTTON},
    {'L', "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL},
    {'C', "COMBOBOX", CBS_DROPDOWN | WS_VSCROLL},
    {'H', "SCROLLBAR", SBS_HORZ},
    {'S', "STATIC", SS_LEFT},
};

void AddControls(HWND window, const char* controls) {
  int made = 0;
  for (const char* p = controls; *p;) {
    const char letter = *p++;
    char* end = nullptr;
    const long count = std::strtol(p, &end, 10);
    p = end;
    for (const Kind& kind : kKinds) {
      if (kind.Letter != letter) continue;
      for (long i = 0; i < count; ++i, ++made)
        CreateWindowExA(0, kind.Class, "Text", WS_CHILD | WS_VISIBLE | kind.Style, 8 + (made % 4) * 110,
                        8 + (made / 4) * 30, 100, 26, window, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
  }
}

void OpenDialog() {
  const HWND dialog = CreateWindowExA(0, kClass, "Minimal Dialog", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                      CW_USEDEFAULT, CW_USEDEFAULT, 480, 400, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
  AddControls(dialog, g_controls);
  ShowWindow(dialog, SW_SHOW);
  ShowWindow(g_main, SW_HIDE);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kOpenButton && *g_controls) OpenDialog();
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      if (window != g_main) ShowWindow(g_main, SW_SHOW);
      return 0;
    case WM_DESTROY:
      if (window == g_main) PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
  g_controls = arguments ? arguments : "";
  constexpr char kMainSwitch[] = "/main ";
  const bool controlsInMain = std::strncmp(g_controls, kMainSwitch, sizeof kMainSwitch - 1) == 0;
  if (controlsInMain) g_controls += sizeof kMainSwitch - 1;
  WNDCLASSA cls{};
  cls.lpfnWndProc = WindowProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = kClass;
  if (!RegisterClassA(&cls)) return 1;
  g_main = CreateWindowExA(0, kClass, "Minimal Window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 320, 200,
                           nullptr, nullptr, instance, nullptr);
  CreateWindowExA(0, "BUTTON", "Open", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 100, 30, g_main,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOpenButton)), instance, nullptr);
  if (controlsInMain) {
    SetWindowPos(g_main, nullptr, 0, 0, 480, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    AddControls(g_main, g_controls);
    g_controls = "";
  }
  ShowWindow(g_main, SW_SHOW);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
