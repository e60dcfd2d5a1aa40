// The real right-button tool against the real substitute driver, started as the other programs
// start it (the launcher, hidden show state) and commanded as they command it (WM_USER to the
// window the driver has registered). What counts is the driver's right-button slot and what the
// tool's windows show.
//
// While armed the tool reads its slot as fast as it can, so the driver's journal fills at once;
// these tests read the slot itself instead.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/core/launch_rules.h"
#include "common/core/titles.h"
#include "common/win/driver_link.h"
#include "common/win/profile.h"
#include "common/win/right_button.h"
#include "common/win/trusted_folders.h"
#include "tests/support/programs.h"
#include "tests/support/right_button_tools.h"
#include "tests/support/tool_window.h"
#include "tools/sim_client.h"
#include "ui/names.h"
#include "ui/twips.h"

namespace koral {
namespace {

using namespace std::chrono_literals;

constexpr char kTool[] = "KORALprb.exe";

HWND AsWindow(int32_t handle) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(handle)); }
int32_t AsHandle(HWND window) { return static_cast<int32_t>(reinterpret_cast<INT_PTR>(window)); }

// A running tool as the tests see it: its window and its process.
struct Tool {
  HWND Window = nullptr;
  UniqueHandle Process;

  HWND Button() const { return ui::FindNamedChild(Window, "cmdAction"); }
  bool Ended(std::chrono::milliseconds limit = test::kDefaultWait) const {
    return test::WaitUntil([&] { return WaitForSingleObject(Process.get(), 0) == WAIT_OBJECT_0; }, limit);
  }
};

class RightButtonTool : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
    ASSERT_EQ(test::RightButtonToolProcesses(), 0) << "a tool from elsewhere is running";
  }
  void TearDown() override {
    EXPECT_TRUE(test::QuitRightButtonTools()) << "a tool did not end when told to quit";
    sim_.Reset();
  }

  // The tools run from the programs' folder, which this process takes for the installation's.
  static std::string Folder() { return test::ProgramFolder(); }

  // The tool started as the control panel and the startup program start it: by the launcher,
  // from the installation folder, with the hidden show state. It counts as started once the
  // driver holds the handle of its visible window.
  Tool StartTool() {
    Tool tool;
    EXPECT_TRUE(device::StartRightButtonTool(Folder())) << "the launcher did not start " << kRightButtonProgram;
    EXPECT_TRUE(test::WaitUntil([&] {
      const HWND registered = AsWindow(Slot().Handle);
      if (!IsRightButtonToolWindow(Slot().Handle, Folder()) || !IsWindowVisible(registered)) return false;
      tool.Window = registered;
      return true;
    })) << "no tool window registered";
    DWORD id = 0;
    GetWindowThreadProcessId(tool.Window, &id);
    tool.Process.reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id));
    return tool;
  }

  WindowSlot Slot() { return sim_.RightButtonSlot().value_or(WindowSlot{0, -99, {}}); }
  void Register(int32_t handle) {
    WindowSlot slot{handle, kToolIdle, {}};
    ASSERT_TRUE(sim_.Exchange(kSetRightButtonSlot, &slot, sizeof slot));
  }
  static LRESULT Tell(const Tool& tool, WPARAM code) { return SendMessageA(tool.Window, WM_USER, code, 0); }

  // Presses the button and waits until the driver holds the armed state.
  void Arm(const Tool& tool) {
    PostMessageA(tool.Button(), BM_CLICK, 0, 0);
    ASSERT_TRUE(test::WaitUntil([&] { return Slot().State == kToolArmed && !IsWindowVisible(tool.Button()); }))
        << "the button did not arm the driver";
  }
  // Disarmed: the button is back and the registration holds the tool's window in the idle state.
  bool Disarmed(const Tool& tool, std::chrono::milliseconds limit = test::kDefaultWait) {
    return test::WaitUntil(
        [&] {
          const WindowSlot slot = Slot();
          return IsWindowVisible(tool.Button()) && slot.State == kToolIdle && slot.Handle == AsHandle(tool.Window);
        },
        limit);
  }

  sim::SimClient sim_;
};

TEST_F(RightButtonTool, StartedHiddenItStillAppearsRegisteredInTheCornerOnTop) {
  const Tool tool = StartTool();
  ASSERT_TRUE(tool.Window);
  EXPECT_EQ(Slot().State, kToolIdle);
  EXPECT_EQ(test::RightButtonToolWindows().size(), 1u);

  // The inner area is exactly the 600 x 600 twips button, and the window sits in the work
  // area's bottom-right corner, above all normal windows.
  RECT client{}, outer{}, work{};
  GetClientRect(tool.Window, &client);
  GetWindowRect(tool.Window, &outer);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(client.right, MulDiv(600, ui::DpiX(), 1440));
  EXPECT_EQ(client.bottom, MulDiv(600, ui::DpiY(), 1440));
  EXPECT_EQ(outer.right, work.right);
  EXPECT_EQ(outer.bottom, work.bottom);
  EXPECT_TRUE(GetWindowLongA(tool.Window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE((GetWindowLongA(tool.Window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) << "no title bar";

  const HWND button = tool.Button();
  ASSERT_TRUE(button);
  RECT place{};
  GetWindowRect(button, &place);
  MapWindowPoints(nullptr, tool.Window, reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.left, 0);
  EXPECT_EQ(place.top, 0);
  EXPECT_EQ(place.right, client.right);
  EXPECT_EQ(place.bottom, client.bottom);
  EXPECT_TRUE(IsWindowVisible(button));
  EXPECT_EQ(test::WindowText(button), "");
  EXPECT_TRUE(SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0)) << "the button shows a picture";
}

TEST_F(RightButtonTool, ASecondStartShowsTheRegisteredToolAndEnds) {
  const Tool first = StartTool();
  ASSERT_TRUE(first.Window);
  Tell(first, device::kHideTool);
  ASSERT_FALSE(IsWindowVisible(first.Window));

  test::RunningProgram second;
  ASSERT_TRUE(second.Start(kTool));
  EXPECT_EQ(second.WaitForExit(), 0u) << "the second tool did not end";
  EXPECT_TRUE(IsWindowVisible(first.Window)) << "the registered tool was not shown";
  EXPECT_EQ(test::RightButtonToolWindows().size(), 1u);
  EXPECT_EQ(Slot().Handle, AsHandle(first.Window));
  EXPECT_EQ(Tell(first, device::kHideTool), 0) << "the first tool still answers";
}

TEST_F(RightButtonTool, HidesShowsAndQuitsWhenTold) {
  const Tool tool = StartTool();
  ASSERT_TRUE(tool.Window);
  struct Case {
    WPARAM Code;
    bool Visible;
  };
  for (const Case& c : {Case{device::kHideTool, false}, Case{device::kHideTool, false}, Case{device::kShowTool, true},
                        Case{device::kShowTool, true}, Case{device::kHideTool, false}}) {
    EXPECT_EQ(Tell(tool, c.Code), 0);
    EXPECT_EQ(IsWindowVisible(tool.Window) != FALSE, c.Visible) << std::hex << c.Code;
    EXPECT_EQ(Slot().Handle, AsHandle(tool.Window));
  }

  EXPECT_EQ(Tell(tool, device::kQuitTool), 0);
  EXPECT_TRUE(tool.Ended()) << "the tool did not end";
  const WindowSlot slot = Slot();
  EXPECT_EQ(slot.Handle, kNoWindow) << "the registration was not withdrawn";
  EXPECT_EQ(slot.State, kToolIdle);
  EXPECT_FALSE(IsWindow(tool.Window));
}

TEST_F(RightButtonTool, PressingTheButtonArmsTheDriverUntilItHasMadeTheRightClick) {
  const Tool tool = StartTool();
  ASSERT_TRUE(tool.Window);
  ASSERT_NO_FATAL_FAILURE(Arm(tool));
  EXPECT_EQ(Slot().Handle, AsHandle(tool.Window));

  // Hidden and shown while armed: the wait goes on, and the button stays hidden.
  EXPECT_EQ(Tell(tool, device::kHideTool), 0);
  EXPECT_FALSE(IsWindowVisible(tool.Window));
  EXPECT_EQ(Slot().State, kToolArmed);
  EXPECT_EQ(Tell(tool, device::kShowTool), 0);
  EXPECT_TRUE(IsWindowVisible(tool.Window));
  EXPECT_FALSE(IsWindowVisible(tool.Button()));
  EXPECT_EQ(Slot().State, kToolArmed);

  ASSERT_TRUE(sim_.RightClickDone());
  EXPECT_TRUE(Disarmed(tool)) << "the button did not come back after the right click";

  // Armed again, it can still be told to quit; the registration goes with it.
  ASSERT_NO_FATAL_FAILURE(Arm(tool));
  EXPECT_EQ(Tell(tool, device::kQuitTool), 0);
  EXPECT_TRUE(tool.Ended());
  EXPECT_EQ(Slot().Handle, kNoWindow);
  EXPECT_EQ(Slot().State, kToolIdle);
}

TEST_F(RightButtonTool, AKeyOrALeftOrRightPressCancelsTheWaitAMiddlePressDoesNot) {
  const Tool tool = StartTool();
  ASSERT_TRUE(tool.Window);
  struct Case {
    const char* What;
    UINT Message;
    WPARAM wParam;
    bool Cancels;
  };
  const LPARAM inside = MAKELPARAM(5, 5);
  for (const Case& c : {Case{"a letter", WM_KEYDOWN, 'A', true}, Case{"Esc", WM_KEYDOWN, VK_ESCAPE, true},
                        Case{"Enter", WM_KEYDOWN, VK_RETURN, true}, Case{"left press", WM_LBUTTONDOWN, MK_LBUTTON, true},
                        Case{"right press", WM_RBUTTONDOWN, MK_RBUTTON, true},
                        Case{"middle press", WM_MBUTTONDOWN, MK_MBUTTON, false}}) {
    SCOPED_TRACE(c.What);
    ASSERT_NO_FATAL_FAILURE(Arm(tool));
    PostMessageA(tool.Window, c.Message, c.wParam, c.Message == WM_KEYDOWN ? 0 : inside);
    if (c.Cancels) {
      EXPECT_TRUE(Disarmed(tool)) << "the wait was not cancelled";
      continue;
    }
    // Messages are taken in order: once the hide posted after the press has been handled, so
    // has the press.
    PostMessageA(tool.Window, WM_USER, device::kHideTool, 0);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(tool.Window); }));
    EXPECT_EQ(Slot().State, kToolArmed) << "the wait was cancelled";
    Tell(tool, device::kShowTool);
    EXPECT_FALSE(IsWindowVisible(tool.Button()));
    ASSERT_TRUE(sim_.RightClickDone());
    EXPECT_TRUE(Disarmed(tool));
  }
}

TEST_F(RightButtonTool, AnUnknownCommandIsShownWithItsCodesAndTheToolCarriesOn) {
  const Tool tool = StartTool();
  ASSERT_TRUE(tool.Window);
  struct Case {
    WPARAM wParam;
    LPARAM lParam;
    const char* Text;
  };
  for (const Case& c : {Case{0x1002, 0, "RBF_WndProc Fail! wParam=1002h, lParam=0h"},
                        Case{0x200E, 0x1234ABCD, "RBF_WndProc Fail! wParam=200Eh, lParam=1234ABCDh"},
                        Case{0, -1, "RBF_WndProc Fail! wParam=0h, lParam=FFFFFFFFh"}}) {
    // Posted: a sender would wait until the box is answered.
    PostMessageA(tool.Window, WM_USER, c.wParam, c.lParam);
    const auto box = test::WaitForMessageBox(kRightButtonTitle);
    ASSERT_TRUE(box) << "no message box for " << c.Text;
    EXPECT_EQ(box->Text, c.Text);
    test::AnswerMessageBox(box->Box, IDOK);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(box->Box); }));
    EXPECT_EQ(Tell(tool, device::kHideTool), 0);
    EXPECT_FALSE(IsWindowVisible(tool.Window)) << "the tool no longer answers";
    Tell(tool, device::kShowTool);
  }
  EXPECT_EQ(Slot().Handle, AsHandle(tool.Window));
}

TEST_F(RightButtonTool, AStaleRegistrationDoesNotStopANewTool) {
  struct Case {
    const char* What;
    bool KillATool;       // the registration is a killed tool's
    const char* StandIn;  // else a window of this test with this caption is registered
    bool NewToolRegisters;
  };
  for (const Case& c : {Case{"a killed tool's window", true, nullptr, true},
                        Case{"another program's window", false, "Untitled - Notepad", true},
                        Case{"another program's window with the tool's caption", false, kRightButtonToolCaption,
                             true}}) {
    SCOPED_TRACE(c.What);
    std::optional<test::ToolWindow> standIn;
    if (c.KillATool) {
      const Tool killed = StartTool();
      ASSERT_TRUE(killed.Window);
      TerminateProcess(killed.Process.get(), 1);
      ASSERT_TRUE(killed.Ended());
      ASSERT_EQ(Slot().Handle, AsHandle(killed.Window)) << "the killed tool's registration is left behind";
    } else {
      standIn.emplace(c.StandIn);
      ASSERT_NO_FATAL_FAILURE(Register(standIn->Handle()));
    }
    const int32_t stale = Slot().Handle;

    test::RunningProgram next;
    ASSERT_TRUE(next.Start(kTool));
    if (c.NewToolRegisters) {
      HWND window = nullptr;
      EXPECT_TRUE(test::WaitUntil([&] {
        window = test::FindForm(next.Id(), "frmMain");
        return window && Slot().Handle == AsHandle(window);
      })) << "the new tool did not register";
      EXPECT_TRUE(next.Running());
      if (standIn) {
        EXPECT_TRUE(test::ToolWindow::Received().empty()) << "the stale window was messaged";
      }
    } else {
      EXPECT_EQ(next.WaitForExit(), 0u) << "the new tool did not end";
      EXPECT_EQ(Slot().Handle, stale);
      EXPECT_EQ(test::ToolWindow::Received(), std::vector<WPARAM>{device::kShowTool});
    }
    EXPECT_TRUE(test::QuitRightButtonTools()) << "a tool did not end when told to quit";
    sim_.Reset();
  }
}

// One tool a session: only the tool that holds the session's claim registers. A second tool finds
// the claim taken and ends without touching the registration, even when the slot is empty (an
// other program emptied it) or when tools start at the same moment.
TEST_F(RightButtonTool, OnlyOneToolRunsInASessionAndOnlyItRegisters) {
  const Tool first = StartTool();
  ASSERT_TRUE(first.Window);
  ASSERT_NO_FATAL_FAILURE(Register(kNoWindow));
  test::RunningProgram second;
  ASSERT_TRUE(second.Start(kTool));
  EXPECT_EQ(second.WaitForExit(), 0u) << "a second tool of the session did not end";
  EXPECT_EQ(Slot().Handle, kNoWindow) << "the second tool took the registration";
  EXPECT_EQ(test::RightButtonToolProcesses(), 1);
  EXPECT_TRUE(test::QuitRightButtonTools());

  std::vector<test::RunningProgram> tools(3);
  for (auto& tool : tools) ASSERT_TRUE(tool.Start(kTool));
  EXPECT_TRUE(test::WaitUntil([&] {
    int running = 0;
    for (auto& tool : tools) running += tool.Running() ? 1 : 0;
    return running == 1 && IsRightButtonToolWindow(Slot().Handle, Folder());
  })) << "not exactly one of three tools started at once stayed, registered";
  DWORD owner = 0;
  GetWindowThreadProcessId(AsWindow(Slot().Handle), &owner);
  for (auto& tool : tools)
    if (tool.Running()) EXPECT_EQ(tool.Id(), owner) << "the registration is the remaining tool's";
}

}  // namespace
}  // namespace koral
