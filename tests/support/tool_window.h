// A stand-in for the right-button tool or the companion: a window of the test process that
// records the wParam of every WM_USER message it is sent. Given the right-button tool's caption,
// it passes for a live tool.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace koral::test {

class ToolWindow {
 public:
  explicit ToolWindow(const char* caption = "tool") {
    WNDCLASSA wc{};
    wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      if (m == WM_USER) Received().push_back(wp);
      return DefWindowProcA(w, m, wp, lp);
    };
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KoralTestTool";
    RegisterClassA(&wc);  // fails harmlessly when a previous ToolWindow registered it
    window_ = CreateWindowA(wc.lpszClassName, caption, 0, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                            nullptr);
    Received().clear();
  }
  ~ToolWindow() { DestroyWindow(window_); }
  ToolWindow(const ToolWindow&) = delete;
  ToolWindow& operator=(const ToolWindow&) = delete;

  // The handle as the driver's WindowSlot carries it.
  int32_t Handle() const { return static_cast<int32_t>(reinterpret_cast<INT_PTR>(window_)); }
  static std::vector<WPARAM>& Received() {
    static std::vector<WPARAM> received;
    return received;
  }

 private:
  HWND window_ = nullptr;
};

}  // namespace koral::test
