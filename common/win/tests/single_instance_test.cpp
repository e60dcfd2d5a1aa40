#include "common/win/single_instance.h"

#include <gtest/gtest.h>

#include "common/core/messages.h"
#include "common/win/handles.h"
#include "tests/support/fake_boxes.h"

namespace koral {
namespace {

constexpr char kTitle[] = " TouchScreen Control Panel #KR-PS2";

// Top-level windows of this process, destroyed at the end of the test.
class Windows {
 public:
  ~Windows() {
    for (HWND window : windows_) DestroyWindow(window);
  }
  HWND Add(const char* caption, HWND owner = nullptr) {
    const HWND window = CreateWindowExA(0, "STATIC", caption, WS_POPUP, 0, 0, 10, 10, owner, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
    windows_.push_back(window);
    return window;
  }

 private:
  std::vector<HWND> windows_;
};

TEST(SingleInstance, FindsTheFirstWindowWithExactlyTheCaption) {
  Windows windows;
  const HWND older = windows.Add(kTitle);
  windows.Add("TouchScreen Control Panel #KR-PS2");   // no leading blank
  windows.Add(" touchscreen control panel #kr-ps2");  // other case
  const HWND owned = windows.Add(kTitle, older);       // has an owner, so GetParent is not null
  const HWND own = windows.Add(kTitle);
  // The newest window is first in window order.
  SetWindowPos(own, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(owned, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  EXPECT_EQ(FindRunningInstance(kTitle, own), older);  // hidden windows count
  const HWND second = windows.Add(kTitle);
  SetWindowPos(second, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(FindRunningInstance(kTitle, own), second);
  EXPECT_EQ(FindRunningInstance("", own), nullptr);
  EXPECT_EQ(FindRunningInstance(" TouchScreen System Startup #KR-PS2", own), nullptr);
}

TEST(SingleInstance, SaysSoWhenTheRunningWindowCannotBeFound) {
  test::FakeMessageBoxes boxes;
  ActivatePreviousInstance(" TouchScreen Control Panel #none", nullptr);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].Text, kAlreadyRunningText);
  EXPECT_EQ(boxes.shown[0].Caption, " TouchScreen Control Panel #none");
  EXPECT_EQ(boxes.shown[0].Text.find("\r\r"), std::string("Application is running!").size());
}

TEST(SingleInstance, NoticesAnInstanceStartedBefore) {
  const UniqueHandle earlier(CreateMutexA(nullptr, FALSE, "Local\\KoralTouchSuite.KORALtest"));
  EXPECT_TRUE(PreviousInstanceRunning("KORALtest"));
  EXPECT_TRUE(PreviousInstanceRunning("KORALtest"));
}

}  // namespace
}  // namespace koral
