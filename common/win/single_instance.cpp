#include "common/win/single_instance.h"

#include "common/core/messages.h"
#include "common/win/handles.h"
#include "common/win/message_box.h"

namespace koral {

bool PreviousInstanceRunning(const std::string& program) {
  static UniqueHandle mutex;
  static bool previous = false;
  if (!mutex) {
    // One per session: users logged on side by side each run their own.
    const std::string name = "Local\\KoralTouchSuite." + program;
    mutex.reset(CreateMutexA(nullptr, FALSE, name.c_str()));
    previous = GetLastError() == ERROR_ALREADY_EXISTS;
  }
  return previous;
}

HWND FindRunningInstance(const std::string& caption, HWND own) {
  for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window; window = GetWindow(window, GW_HWNDNEXT)) {
    if (window == own || GetParent(window)) continue;
    const auto instance = static_cast<ULONG_PTR>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    if ((instance & 0xFFFF) != 0) continue;
    char title[129] = {};
    const int length = GetWindowTextA(window, title, 128);
    if (length > 0 && caption == std::string(title, static_cast<size_t>(length))) return window;
  }
  return nullptr;
}

void ActivatePreviousInstance(const std::string& caption, HWND own) {
  if (const HWND running = FindRunningInstance(caption, own)) {
    SetForegroundWindow(running);
    BringWindowToTop(running);
    return;
  }
  ErrorBox(kAlreadyRunningText, caption);
}

}  // namespace koral
