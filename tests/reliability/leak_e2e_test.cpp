// Leak rounds: the control panel started and ended, each of its windows opened and closed, the
// right-button tool armed and cancelled, over and over, while the objects the processes hold are
// read from outside. CTest runs short rounds; scripts/leak-check sets KORAL_LEAK_ROUNDS=full for
// the long ones (300 starts, 300 openings of each window, 10,000 arm-and-cancel rounds).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "handles.h"
#include "resource_counts.h"
#include "suite_session.h"

namespace koral::reliability {
namespace {

bool FullRounds() {
  const char* rounds = std::getenv("KORAL_LEAK_ROUNDS");
  return rounds && std::string(rounds) == "full";
}
int Rounds(int full, int short_) { return FullRounds() ? full : short_; }

// A growth this small over any number of rounds is the platform settling (caches, the first use
// of a font), not a leak: a leak of one object a round passes it within the short rounds.
constexpr test::LeakBounds kBounds{.Handles = 12, .GuiObjects = 12, .Windows = 0, .PrivateKb = 6144};

// The figures a run reports, on lines of their own that scripts/leak-check collects.
void Report(const std::string& what, int rounds, const test::ResourceCounts& before,
            const test::ResourceCounts& after) {
  std::printf("leak figures: %s, %d rounds: %s\n", what.c_str(), rounds, test::Describe(before, after).c_str());
  std::fflush(stdout);
}

test::ResourceCounts MeasureProcess(DWORD id) {
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
  EXPECT_TRUE(process) << "cannot open process " << id;
  return test::Measure(process.get(), id);
}

using Leaks = SuiteSession;

// Wine runs kernel drivers in host processes of this name; Windows runs them in no process a
// test can read, and the driver's side is then left unmeasured.
constexpr char kDriverHost[] = "winedevice.exe";

test::ResourceCounts MeasureDriverHosts() {
  test::ResourceCounts total;
  total.Handles = 0;
  total.PrivateKb = 0;
  for (DWORD id : test::ProcessesOf(kDriverHost)) total = test::Sum(total, MeasureProcess(id));
  return total;
}

TEST_F(Leaks, ControlPanelStartedAndEnded) {
  // What the starts could leave behind lives outside the panel, which ends each time: in the
  // process that starts it and in the driver's host, which opens the device for each.
  const auto round = [&] {
    test::RunningProgram panel;
    const HWND main = StartPanel(panel, sim::SimClient::DefaultBlock());
    if (!main) return false;
    Click(Control(main, "cmdExit"));
    return panel.WaitForExit() == 0u;
  };
  ASSERT_TRUE(round() && round());
  const DWORD self = GetCurrentProcessId();
  const auto selfBefore = MeasureProcess(self);
  const auto hostBefore = MeasureDriverHosts();
  const int rounds = Rounds(300, 20);
  for (int i = 0; i < rounds; ++i) ASSERT_TRUE(round()) << "round " << i;
  const auto selfAfter = MeasureProcess(self);
  const auto hostAfter = MeasureDriverHosts();
  Report("the process that starts and ends the control panel", rounds, selfBefore, selfAfter);
  EXPECT_TRUE(selfBefore.Handles) << "the platform reports no handle count";
  EXPECT_EQ(test::Exceeded(selfBefore, selfAfter, kBounds), "");
  if (test::ProcessesOf(kDriverHost).empty()) return;
  Report("the driver's host processes meanwhile", rounds, hostBefore, hostAfter);
  EXPECT_EQ(test::Exceeded(hostBefore, hostAfter, kBounds), "");
}

// A shown window of the process other than its main window.
HWND OpenWindow(DWORD process) {
  std::pair<DWORD, HWND> search{process, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& [owner, found] = *reinterpret_cast<std::pair<DWORD, HWND>*>(param);
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        const std::string name = ui::NameOf(window);
        if (id != owner || !IsWindowVisible(window) || name.empty() || name == "frmMain") return TRUE;
        found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

TEST_F(Leaks, EachWindowOfTheControlPanelOpenedAndClosed) {
  test::RunningProgram panel;
  const HWND main = StartPanel(panel, sim::SimClient::DefaultBlock());
  ASSERT_NE(main, nullptr);
  struct Window {
    const char* Button;
    const char* Close;  // the button that closes it, or null for the window's own close
  };
  // The support button opens the vendor's picture or, without it, the about window; closing
  // the calibration window breaks the calibration off.
  const Window windows[] = {{"cmdMouseSpeed", "cmdCandel"}, {"cmdVirtualButton", "cmdCandel"},
                            {"cmdFeedbackSound", "cmdCandel"}, {"cmdSupport", "cmdOK"},
                            {"cmdCalibration", nullptr}};
  const auto round = [&](const Window& w) {
    Click(Control(main, w.Button));
    HWND form = nullptr;
    if (!test::WaitUntil([&] { return (form = OpenWindow(panel.Id())) != nullptr; })) return false;
    if (w.Close)
      Click(Control(form, w.Close));
    else
      PostMessageA(form, WM_CLOSE, 0, 0);
    return test::WaitUntil([&] { return !IsWindow(form) && IsWindowVisible(main); });
  };
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, panel.Id()));
  ASSERT_TRUE(process);
  const int rounds = Rounds(300, 15);
  for (const Window& w : windows) {
    SCOPED_TRACE(w.Button);
    // The first opening makes the window and whatever it keeps for good.
    ASSERT_TRUE(round(w) && round(w)) << "the window did not open and close";
    const auto before = test::Measure(process.get(), panel.Id());
    for (int i = 0; i < rounds; ++i) ASSERT_TRUE(round(w)) << "round " << i;
    const auto after = test::Measure(process.get(), panel.Id());
    Report(std::string("control panel, window of ") + w.Button, rounds, before, after);
    EXPECT_TRUE(before.Handles) << "the platform reports no handle count";
    EXPECT_EQ(test::Exceeded(before, after, kBounds), "");
  }
}

TEST_F(Leaks, RightButtonToolArmedAndCancelled) {
  ParamBlock block = sim::SimClient::DefaultBlock();
  block.VirtualButton = 3;
  block.RightButtonFunction = kRightButtonOn;
  ASSERT_TRUE(sim_.LoadBlock(block));
  test::RunningProgram tool;
  const ToolView view = StartTool(tool);
  ASSERT_NE(view.Window, nullptr);
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, tool.Id()));
  ASSERT_TRUE(process);
  const auto round = [&] { return view.Arm() && view.Cancel(); };
  ASSERT_TRUE(round() && round());
  const auto before = test::Measure(process.get(), tool.Id());
  const int rounds = Rounds(10000, 200);
  for (int i = 0; i < rounds; ++i) ASSERT_TRUE(round()) << "round " << i;
  const auto after = test::Measure(process.get(), tool.Id());
  Report("right-button tool armed and cancelled", rounds, before, after);
  EXPECT_TRUE(before.Handles) << "the platform reports no handle count";
  EXPECT_EQ(test::Exceeded(before, after, kBounds), "");
  EXPECT_EQ(sim_.RightButtonSlot()->State, kToolIdle);
}

}  // namespace
}  // namespace koral::reliability
