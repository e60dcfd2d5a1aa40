// panel_emulator: plays the touch panel with the mouse. While the left button is held, the
// pointer's screen position goes to the substitute driver as raw touched samples, one every
// poll as a controller reports them; releasing the button reports the lift. The raw values come
// from a synthetic panel of the chosen direction and picture turn, so that the calibration
// window can be tried without hardware.
// Exit status: 0 done, 1 failed, 2 wrong usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/calibration/pointer_mapping.h"
#include "common/calibration/synthetic_panel.h"
#include "tools/command_line.h"
#include "tools/sim_client.h"

namespace {

using koral::calibration::NewCalibration;
using koral::tools::ParseEdges;
using koral::tools::ParseNumber;
using koral::calibration::PanelPoint;
using koral::calibration::SyntheticPanel;

constexpr char kUsage[] =
    "usage: panel_emulator [OPTIONS]\n"
    "\n"
    "While the left mouse button is held, the pointer's position is a touch on the panel.\n"
    "\n"
    "  --direction N        panel direction code 0..7 (1 X mirrored, 2 Y mirrored,\n"
    "                       4 wires exchanged); default 0\n"
    "  --orientation N      the picture is turned on the panel: 0 not, 1 and 2 a quarter\n"
    "                       turn, 3 half; also given to the driver as the orientation code\n"
    "  --raw L,T,R,B        raw readings at the left, top, right and bottom screen edges,\n"
    "                       before the direction applies; default 40,25,1000,965\n"
    "  --rate HZ            samples per second while touched, 10..1000; default 200\n"
    "  --seconds S          end after S seconds; default: run until Ctrl+C\n"
    "  --quiet              do not print each touch and lift\n"
    "  --pointer            at each lift, put the pointer where the driver's calibration\n"
    "                       puts the touch\n";

struct Options {
  SyntheticPanel Panel;
  bool TellOrientation = false;
  long Rate = 200;
  long Seconds = 0;
  bool Quiet = false;
  bool Pointer = false;
};

bool Parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--quiet" || option == "--pointer") {
      (option == "--quiet" ? o.Quiet : o.Pointer) = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    long number = 0;
    bool valid = false;
    if (option == "--direction" && (valid = ParseNumber(value, 0, 7, number))) {
      o.Panel.Direction = static_cast<uint8_t>(number);
    } else if (option == "--orientation" && (valid = ParseNumber(value, 0, 3, number))) {
      o.Panel.Orientation = static_cast<int16_t>(number);
      o.TellOrientation = true;
    } else if (option == "--raw") {
      valid = ParseEdges(value, o.Panel);
    } else if (option == "--rate" && (valid = ParseNumber(value, 10, 1000, number))) {
      o.Rate = number;
    } else if (option == "--seconds" && (valid = ParseNumber(value, 1, 86400, number))) {
      o.Seconds = number;
    }
    if (!valid) return false;
  }
  return true;
}

// The calibration the driver holds; the last one read when the driver does not answer.
NewCalibration CalibrationInForce(koral::sim::SimClient& driver, const NewCalibration& last) {
  const auto b = driver.ReadBlock();
  if (!b) return last;
  return koral::calibration::CalibrationOf(*b);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  SyntheticPanel& panel = options.Panel;
  panel.Width = GetSystemMetrics(SM_CXSCREEN);
  panel.Height = GetSystemMetrics(SM_CYSCREEN);

  koral::sim::SimClient driver;
  if (!koral::tools::OpenDriver(driver, "panel_emulator")) return 1;
  if (options.TellOrientation && !driver.SetCompanionSlot(-1, panel.Orientation)) {
    std::fprintf(stderr, "panel_emulator: cannot give the driver the orientation (error %lu)\n",
                 driver.LastError());
    return 1;
  }
  koral::tools::StopOnConsoleEvents();
  std::printf("panel_emulator: %dx%d screen, direction %d, orientation %d, raw %g,%g,%g,%g, %ld samples/s\n",
              panel.Width, panel.Height, panel.Direction, panel.Orientation, panel.XLeft, panel.YTop,
              panel.XRight, panel.YBottom, options.Rate);
  std::fflush(stdout);

  const DWORD period = static_cast<DWORD>(1000 / options.Rate);
  const ULONGLONG end = options.Seconds ? GetTickCount64() + static_cast<ULONGLONG>(options.Seconds) * 1000 : 0;
  bool touching = false;
  PanelPoint last{0, 0};
  NewCalibration calibration{};
  while (!koral::tools::StopRequested() && (end == 0 || GetTickCount64() < end)) {
    const bool pressed = (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
    POINT at{};
    if (pressed && GetCursorPos(&at)) {
      if (options.Pointer && !touching) calibration = CalibrationInForce(driver, calibration);
      const PanelPoint raw = panel.Touch(at.x, at.y);
      driver.PushSample(raw.X, raw.Y, true);
      if (!options.Quiet && (!touching || raw.X != last.X || raw.Y != last.Y))
        std::printf("touch %ld,%ld -> raw %d,%d\n", at.x, at.y, raw.X, raw.Y);
      touching = true;
      last = raw;
    } else if (touching) {
      driver.PushSample(last.X, last.Y, false);
      if (!options.Quiet) std::printf("lift\n");
      // Only at the lift: a pointer moved while the mouse is the finger would move the finger.
      if (options.Pointer) {
        const auto p = koral::calibration::PixelOf(koral::calibration::MapToScreen(
            calibration, {double(last.X), double(last.Y)}, panel.Width, panel.Height));
        SetCursorPos(p.X, p.Y);
        if (!options.Quiet) std::printf("the driver puts it at %d,%d\n", p.X, p.Y);
      }
      touching = false;
    }
    std::fflush(stdout);
    Sleep(period);
  }
  if (touching) driver.PushSample(last.X, last.Y, false);
  if (options.TellOrientation) driver.SetCompanionSlot(-1, 0);
  return 0;
}
