#include "tests/support/touch_loop.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "common/calibration/targets.h"
#include "tests/support/programs.h"
#include "ui/names.h"

namespace koral::test {
namespace {

using namespace std::chrono_literals;
using calibration::PanelPoint;

constexpr char kQuestionCaption[] = "TouchScreen Calibration";

size_t PointsTaken(sim::SimClient& driver, size_t& taken) {
  for (const JournalEntry& e : driver.ReadJournal()) {
    int32_t event = 0;
    std::memcpy(&event, e.Data, sizeof event);
    if (e.Code == kCalibrationEvent && event == kCalPointAccepted) ++taken;
  }
  return taken;
}

}  // namespace

PanelPoint Finger::Reading(double x, double y) {
  const PanelPoint exact = panel_.Touch(x, y);
  if (noise_ == 0) return exact;
  std::uniform_int_distribution<int> off(-noise_, noise_);
  auto unit = [](int v) { return static_cast<int16_t>(std::clamp(v, 0, 1023)); };
  return {unit(exact.X + off(random_)), unit(exact.Y + off(random_))};
}

testing::AssertionResult Finger::NewTouch(calibration::PanelPoint raw) {
  // The driver keeps only the latest sample: a lift followed at once by the next touch may never
  // be read, and the emulator would take the touch for a slide of the last one, with the settings
  // of that one. The emulator reads the right-button slot as each touch comes down, so the
  // journal tells whether this one was seen as new; if not, the lift is given more time.
  for (auto pause = 4ms; pause <= 512ms; pause *= 2) {
    const auto lifted = std::chrono::steady_clock::now();
    WaitUntil([&] { return std::chrono::steady_clock::now() - lifted >= pause; }, pause + 100ms);
    driver_.ReadJournal();
    if (!Down(raw)) return testing::AssertionFailure() << "the driver refused the sample: " << ErrorText(driver_.LastError());
    const bool seen = WaitUntil([&] {
      for (const JournalEntry& e : driver_.ReadJournal())
        if (e.Code == kGetRightButtonSlot) return true;
      return false;
    }, 500ms);
    if (seen) return testing::AssertionSuccess();
    Lift(raw);
  }
  return testing::AssertionFailure() << "the touch emulator never read the right-button slot for a new touch, "
                                        "however long the finger was lifted before it (up to 512 ms)";
}

std::optional<POINT> Finger::TouchAndRead(int x, int y) {
  const POINT away{x < panel_.Width / 2 ? panel_.Width - 1 : 0, y < panel_.Height / 2 ? panel_.Height - 1 : 0};
  SetCursorPos(away.x, away.y);
  const PanelPoint raw = Reading(x, y);
  if (!NewTouch(raw)) return std::nullopt;
  POINT at{};
  WaitUntil([&] { return GetCursorPos(&at) && (at.x != away.x || at.y != away.y); }, 1500ms);
  Lift(raw);
  if (!GetCursorPos(&at)) return std::nullopt;
  return at;
}

testing::AssertionResult WaitForTouchEmulator(sim::SimClient& driver) {
  // Two places far apart, so that wherever the touch maps the pointer leaves one of them.
  const POINT corners[] = {{0, 0}, {GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1}};
  int tries = 0;
  const auto moved = WaitUntil("the pointer to follow a touch in the middle of the panel", [&] {
    const POINT from = corners[tries++ % 2];
    SetCursorPos(from.x, from.y);
    driver.PushSample(512, 512, true);
    POINT at{};
    return WaitUntil([&] { return GetCursorPos(&at) && (at.x != from.x || at.y != from.y); }, 200ms);
  });
  driver.PushSample(512, 512, false);
  return moved;
}

void ReleaseMouseButtons() {
  const std::pair<int, DWORD> buttons[] = {{VK_LBUTTON, MOUSEEVENTF_LEFTUP}, {VK_RBUTTON, MOUSEEVENTF_RIGHTUP}};
  for (const auto& [key, up] : buttons) {
    if ((GetAsyncKeyState(key) & 0x8000) == 0) continue;
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = up;
    SendInput(1, &input, sizeof input);
  }
}

std::string CalibrateThroughWindow(sim::SimClient& driver, DWORD panelProcess, HWND mainWindow,
                                   Finger& finger) {
  driver.ReadJournal();
  size_t taken = 0;
  PostMessageA(ui::FindNamedChild(mainWindow, "cmdCalibration"), BM_CLICK, 0, 0);
  HWND window = nullptr;
  if (!WaitUntil([&] { return (window = FindForm(panelProcess, "frmCalibration")) != nullptr; }))
    return "the calibration window did not appear";
  const HWND surface = ui::FindNamedChild(window, "picCalibration");
  const HWND prompt = ui::FindNamedChild(window, "lblMesg2");

  // Corner mode prompts TOP-LEFT first, edge mode TOP; the window asks, the finger follows.
  for (int touched = 0; touched < 4; ++touched) {
    int target = 0;
    const bool asked = WaitUntil([&] {
      if (!IsWindowVisible(prompt)) return false;
      const std::string text = ControlText(prompt);
      for (int t = calibration::kFirstCornerTarget; t <= calibration::kLastTarget; ++t) {
        if (text == "show on the " + std::string(calibration::kTargetNames[static_cast<size_t>(t)]) + " of the screen")
          target = t;
      }
      return target != 0;
    });
    if (!asked) return "no prompt for mark " + std::to_string(touched + 1);
    RECT inner{};
    GetClientRect(surface, &inner);
    const auto mark = calibration::CrossMarkOf(target, calibration::GeometryOf(inner.right, inner.bottom));
    POINT at{mark->Centre().X, mark->Centre().Y};
    ClientToScreen(surface, &at);
    const PanelPoint raw = finger.Reading(at.x, at.y);
    const size_t before = taken;
    const bool wasTaken = WaitUntil([&] {
      finger.Down(raw);
      return PointsTaken(driver, taken) > before;
    });
    finger.Lift(raw);
    if (!wasTaken) return "the touch on " + std::string(calibration::kTargetNames[static_cast<size_t>(target)]) + " was not taken";
  }
  const auto box = WaitForMessageBox(kQuestionCaption);
  if (!box) return "no completion question (the direction may not have been recognised)";
  AnswerMessageBox(box->Box, IDYES);
  if (!WaitUntil([&] { return !IsWindow(window) && IsWindowVisible(mainWindow); }))
    return "the calibration window did not close";
  return {};
}

}  // namespace koral::test
