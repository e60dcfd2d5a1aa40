// The real control panel: the touch test screen reached by the hidden gesture on Exit (the
// right button with Shift, Ctrl and Alt held, played on the keyboard and mouse), left and
// re-entered, and closed; the driver's journal shows which touch modes it was given.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "programs/panel/tests/panel_program.h"

namespace koral::panel {
namespace {

using namespace std::chrono_literals;
using namespace tests;

// The active window of the thread that owns the window.
HWND ActiveWindowOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndActive : nullptr;
}

// A window of the test's own process that the user can switch to.
class OtherWindow {
 public:
  OtherWindow() {
    window_ = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "another program", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  ~OtherWindow() { DestroyWindow(window_); }
  OtherWindow(const OtherWindow&) = delete;
  OtherWindow& operator=(const OtherWindow&) = delete;
  HWND hwnd() const { return window_; }

 private:
  HWND window_;
};

class DrawingScreenEndToEnd : public PanelProgram {
 protected:
  void TearDown() override {
    Keys({VK_MENU, VK_CONTROL, VK_SHIFT}, false);
    PanelProgram::TearDown();
  }

  // The touch modes of every 0xF2060 since the panel started; each carries the block as the
  // panel read it, but for the mode.
  std::vector<int> TouchModes() {
    for (const JournalEntry& e : sim_.ReadJournal()) {
      EXPECT_EQ(e.Code, kWriteVirtualButton);
      if (e.Code != kWriteVirtualButton) continue;
      ParamBlock sent{};
      std::memcpy(&sent, e.Data, sizeof sent);
      modes_.push_back(sent.VirtualButton);
      sent.VirtualButton = stored_.VirtualButton;
      EXPECT_EQ(std::memcmp(&sent, &stored_, sizeof sent), 0) << "only the touch mode changes";
    }
    return modes_;
  }

  void StartInMode(int mode) {
    stored_ = sim::SimClient::DefaultBlock();
    stored_.VirtualButton = static_cast<uint8_t>(mode);
    main_ = StartPanel(stored_);
    ASSERT_NE(main_, nullptr);
    exit_ = Control(main_, "cmdExit");
  }

  // The hidden gesture on Exit.
  void Gesture() {
    ASSERT_TRUE(test::RightPressWithAllShiftKeys(main_, exit_)) << "the main window did not come to the front";
  }

  ParamBlock stored_{};
  HWND main_ = nullptr;
  HWND exit_ = nullptr;
  std::vector<int> modes_;
};

TEST_F(DrawingScreenEndToEnd, TheGestureOpensItInDragAndDropModeAndClosingPutsBackTheUsersMode) {
  ASSERT_NO_FATAL_FAILURE(StartInMode(2));
  ASSERT_NO_FATAL_FAILURE(Gesture());
  const HWND screen = WaitForForm("frmTest");
  ASSERT_NE(screen, nullptr) << "the gesture did not open the test screen";
  EXPECT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(main_); }, 5s)) << "the main window stayed";
  EXPECT_TRUE(test::WaitUntil([&] { return TouchModes() == std::vector<int>{4}; }, 10s));
  EXPECT_EQ(sim_.ReadBlock()->VirtualButton, 4);
  sim_.ReadJournal();

  // The user switches to another program and back, twice: nothing more reaches the driver.
  const OtherWindow other;
  for (int round = 0; round < 2; ++round) {
    SetForegroundWindow(other.hwnd());
    ASSERT_TRUE(test::WaitUntil([&] { return GetForegroundWindow() == other.hwnd(); }, 5s));
    SetForegroundWindow(screen);
    ASSERT_TRUE(test::WaitUntil([&] { return GetForegroundWindow() == screen; }, 5s));
  }
  // Closing goes after the last activation in the panel's queue, so a mode saved again by it
  // would be the one put back.
  ASSERT_TRUE(test::WaitUntil([&] { return ActiveWindowOf(screen) == screen; }, 5s));
  EXPECT_EQ(TouchModes(), std::vector<int>{4}) << "an activation switched the mode again";

  Click(Control(screen, "cmdExit"));
  ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(screen) && IsWindowVisible(main_); }))
      << "Exit Test did not bring the main window back";
  EXPECT_EQ(TouchModes(), (std::vector<int>{4, 2})) << "the user's mode, lift off, is back";
  const auto held = sim_.ReadBlock();
  ASSERT_TRUE(held);
  EXPECT_EQ(held->VirtualButton, 2);
}

TEST_F(DrawingScreenEndToEnd, WithoutAllThreeKeysExitStaysExit) {
  ASSERT_NO_FATAL_FAILURE(StartInMode(3));
  SetForegroundWindow(main_);
  ASSERT_TRUE(test::WaitUntil([&] { return GetForegroundWindow() == main_; }, 5s));
  Keys({VK_SHIFT, VK_CONTROL}, true);
  MouseOn(exit_, MOUSEEVENTF_RIGHTDOWN);
  MouseOn(exit_, MOUSEEVENTF_RIGHTUP);
  Keys({VK_CONTROL, VK_SHIFT}, false);
  // The next click reaches Exit only if no test screen covers it.
  MouseOn(exit_, MOUSEEVENTF_LEFTDOWN);
  MouseOn(exit_, MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(panel_.WaitForExit()) << "a test screen took the click on Exit";
  EXPECT_TRUE(TouchModes().empty());
}

}  // namespace
}  // namespace koral::panel
