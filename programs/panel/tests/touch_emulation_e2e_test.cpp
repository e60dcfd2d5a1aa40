// The loop closed: the touch emulator moves the pointer as the driver's calibration says, the
// real control panel calibrates an emulated panel of every direction through its window, and
// touches afterwards land where the finger was. The right-button tool's armed state and the
// touch-down mode are seen by a window of this test, as any program would see them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "common/core/titles.h"
#include "common/win/driver_link.h"
#include "common/win/profile.h"
#include "common/win/right_button.h"
#include "common/win/trusted_folders.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tests/support/right_button_tools.h"
#include "tests/support/touch_loop.h"
#include "ui/names.h"

namespace koral::calibration {
namespace {

using namespace std::chrono_literals;

constexpr char kPanel[] = "KORALpcp.exe";

// A plain window of this process covering a part of the screen that records the mouse button
// messages it receives.
class TargetWindow {
 public:
  explicit TargetWindow(RECT place) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      if (m == WM_LBUTTONDOWN || m == WM_LBUTTONUP || m == WM_RBUTTONDOWN || m == WM_RBUTTONUP)
        Received().push_back(m);
      return DefWindowProcA(w, m, wp, lp);
    };
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KoralTouchTarget";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&wc);  // fails harmlessly when registered before
    window_ = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "touch target", WS_POPUP | WS_VISIBLE,
                              place.left, place.top, place.right - place.left, place.bottom - place.top,
                              nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(window_);
    Received().clear();
  }
  ~TargetWindow() { DestroyWindow(window_); }
  TargetWindow(const TargetWindow&) = delete;
  TargetWindow& operator=(const TargetWindow&) = delete;

  static std::vector<UINT>& Received() {
    static std::vector<UINT> received;
    return received;
  }

 private:
  HWND window_ = nullptr;
};

class TouchEmulation : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
    ASSERT_TRUE(test::WriteDevelopmentProfile(test::ProgramFolder()));
    ASSERT_TRUE(emulator_.emplace().Start("touch_emulator.exe", "--quiet", test::ToolFolder()));
    ASSERT_TRUE(test::WaitForTouchEmulator(sim_)) << "the touch emulator does not move the pointer";
    width_ = GetSystemMetrics(SM_CXSCREEN);
    height_ = GetSystemMetrics(SM_CYSCREEN);
  }
  void TearDown() override {
    if (panel_.Running()) {
      PostMessageA(main_, WM_CLOSE, 0, 0);
      panel_.WaitForExit(5s);
    }
    emulator_.reset();
    test::ReleaseMouseButtons();
    sim_.Reset();
  }

  static void SetCalibrationMode(int32_t mode) {
    ModelKeyStore store;
    ASSERT_TRUE(store.WriteNumber(kCalibrationModeName, mode));
  }

  void StartPanel() {
    ASSERT_TRUE(panel_.Start(kPanel));
    main_ = test::WaitForVisibleWindow(kControlPanelTitle);
    ASSERT_NE(main_, nullptr) << "the main window did not appear";
  }

  void ClosePanel() {
    PostMessageA(main_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(panel_.WaitForExit());
  }

  // A block whose calibration fits the panel exactly, loaded without a calibration run.
  void LoadCalibrated(const SyntheticPanel& panel, uint8_t touchMode) {
    const CalibrationResult r = ComputeCalibration(MarksTouched(panel, kCornerMode));
    ASSERT_TRUE(r.Succeeded()) << r.Reason;
    ParamBlock block = sim::SimClient::DefaultBlock();
    block.CalXLeft = r.Calibration.CalXLeft;
    block.CalXCenter = r.Calibration.CalXCenter;
    block.CalXRight = r.Calibration.CalXRight;
    block.CalYTop = r.Calibration.CalYTop;
    block.CalYCenter = r.Calibration.CalYCenter;
    block.CalYBottom = r.Calibration.CalYBottom;
    block.PanelDirection = r.Calibration.PanelDirection;
    block.VirtualButton = touchMode;
    ASSERT_TRUE(sim_.LoadBlock(block));
  }

  // Touches at a pixel, waits until the pointer is there, and lifts.
  void Tap(test::Finger& finger, int x, int y) {
    const PanelPoint raw = finger.Reading(x, y);
    ASSERT_TRUE(finger.Down(raw));
    POINT at{};
    EXPECT_TRUE(test::WaitUntil([&] { return GetCursorPos(&at) && std::abs(at.x - x) <= 2 && std::abs(at.y - y) <= 2; }))
        << "the pointer did not come to " << x << "," << y;
    ASSERT_TRUE(finger.Lift(raw));
  }

  sim::SimClient sim_;
  std::optional<test::RunningProgram> emulator_;
  test::RunningProgram panel_;
  HWND main_ = nullptr;
  int width_ = 0, height_ = 0;
};

TEST_F(TouchEmulation, AfterACalibrationInEveryDirectionTouchesLandWithinTwoPixels) {
  for (int32_t mode : {kCornerMode, kEdgeMode}) {
    ASSERT_NO_FATAL_FAILURE(SetCalibrationMode(mode));
    for (uint8_t direction = 0; direction < 8; ++direction) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << " direction " << int(direction));
      // Each run starts from the block's calibration as the driver has it, not from the last run.
      ASSERT_TRUE(sim_.Reset());
      const SyntheticPanel panel{direction, 40, 1000, 25, 965, width_, height_, 0};
      test::Finger finger(sim_, panel, 0, direction);
      ASSERT_NO_FATAL_FAILURE(StartPanel());
      const std::string failure = test::CalibrateThroughWindow(sim_, panel_.Id(), main_, finger);
      ASSERT_EQ(failure, "");
      ASSERT_NO_FATAL_FAILURE(ClosePanel());
      const auto block = sim_.ReadBlock();
      ASSERT_TRUE(block);
      EXPECT_EQ(block->PanelDirection, direction);

      for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 5; ++j) {
          const int x = i * (width_ - 1) / 4, y = j * (height_ - 1) / 4;
          const auto seen = finger.TouchAndRead(x, y);
          ASSERT_TRUE(seen) << "the finger could not touch";
          EXPECT_LE(std::abs(seen->x - x), 2) << "touched at " << x << "," << y << ", pointer at " << seen->x;
          EXPECT_LE(std::abs(seen->y - y), 2) << "touched at " << x << "," << y << ", pointer at " << seen->y;
        }
      }
    }
  }
}

TEST_F(TouchEmulation, TheArmedRightButtonMakesTheNextTouchARightClick) {
  ASSERT_EQ(test::RightButtonToolProcesses(), 0) << "a tool from elsewhere is running";
  const SyntheticPanel panel{5, 40, 1000, 25, 965, width_, height_, 0};
  ASSERT_NO_FATAL_FAILURE(LoadCalibrated(panel, kStreamMode));
  // The tool runs from the programs' folder, which this process takes for the installation's.
  const std::string folder = test::ProgramFolder();
  ASSERT_TRUE(device::StartRightButtonTool(folder));
  HWND tool = nullptr;
  ASSERT_TRUE(test::WaitUntil([&] {
    const auto slot = sim_.RightButtonSlot();
    if (!slot || !IsRightButtonToolWindow(slot->Handle, folder)) return false;
    tool = reinterpret_cast<HWND>(static_cast<INT_PTR>(slot->Handle));
    return IsWindowVisible(tool) != 0;
  })) << "the right-button tool did not register";
  const HWND button = ui::FindNamedChild(tool, "cmdAction");
  PostMessageA(button, BM_CLICK, 0, 0);
  ASSERT_TRUE(test::WaitUntil([&] {
    const auto slot = sim_.RightButtonSlot();
    return slot && slot->State == kToolArmed && !IsWindowVisible(button);
  })) << "the tool did not arm the driver";

  const TargetWindow target({100, 100, 500, 400});
  test::Finger finger(sim_, panel, 0, 1);
  ASSERT_NO_FATAL_FAILURE(Tap(finger, 300, 250));
  EXPECT_TRUE(test::WaitUntil([] { return TargetWindow::Received().size() >= 2; }));
  EXPECT_EQ(TargetWindow::Received(), (std::vector<UINT>{WM_RBUTTONDOWN, WM_RBUTTONUP}));
  EXPECT_TRUE(test::WaitUntil([&] {
    const auto slot = sim_.RightButtonSlot();
    return slot && slot->State == kToolIdle && IsWindowVisible(button);
  })) << "the tool's button did not come back";

  // Used once: the touch after it is an ordinary one again.
  TargetWindow::Received().clear();
  ASSERT_NO_FATAL_FAILURE(Tap(finger, 200, 150));
  EXPECT_TRUE(test::WaitUntil([] { return TargetWindow::Received().size() >= 2; }));
  EXPECT_EQ(TargetWindow::Received(), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
  EXPECT_TRUE(test::QuitRightButtonTools());
}

TEST_F(TouchEmulation, InTouchDownModeATouchClicksOnce) {
  const SyntheticPanel panel{2, 40, 1000, 25, 965, width_, height_, 0};
  ASSERT_NO_FATAL_FAILURE(LoadCalibrated(panel, kTouchDownMode));
  const TargetWindow target({100, 100, 500, 400});
  test::Finger finger(sim_, panel, 0, 1);

  // Down, resting, sliding within the window, then lifted: one click, where the finger landed.
  const PanelPoint landed = finger.Reading(300, 250);
  ASSERT_TRUE(finger.Down(landed));
  ASSERT_TRUE(test::WaitUntil([] { return TargetWindow::Received().size() >= 2; })) << "no click";
  ASSERT_TRUE(finger.Down(landed));
  const PanelPoint slid = finger.Reading(350, 300);
  ASSERT_TRUE(finger.Down(slid));
  POINT at{};
  EXPECT_TRUE(test::WaitUntil([&] { return GetCursorPos(&at) && std::abs(at.x - 350) <= 2 && std::abs(at.y - 300) <= 2; }));
  ASSERT_TRUE(finger.Lift(slid));
  // A touch outside the window shows that the lift has been dealt with.
  ASSERT_NO_FATAL_FAILURE(Tap(finger, 800, 600));
  EXPECT_EQ(TargetWindow::Received(), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

}  // namespace
}  // namespace koral::calibration
