// Pause keeps the program's windows served for the time asked, by elapsed time.
#include <gtest/gtest.h>

#include "ui/form.h"

namespace koral::ui {
namespace {

TEST(Pause, LastsItsSecondsAndServesTheWindowsMeanwhile) {
  Application app;
  struct Case {
    int Seconds;
    ULONGLONG AtLeast, Below;
  };
  for (const auto& c : {Case{0, 0, 300}, Case{1, 1000, 1600}}) {
    static int served = 0;
    served = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) { ++served; });
    const ULONGLONG start = GetTickCount64();
    app.Pause(c.Seconds);
    const ULONGLONG took = GetTickCount64() - start;
    KillTimer(nullptr, timer);
    EXPECT_GE(took, c.AtLeast) << c.Seconds;
    EXPECT_LT(took, c.Below) << c.Seconds;
    if (c.Seconds > 0) {
      EXPECT_GE(served, 5) << "timer messages were dispatched during the pause";
    }
  }
}

}  // namespace
}  // namespace koral::ui
