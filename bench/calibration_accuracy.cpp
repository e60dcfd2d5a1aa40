// How well a calibration made through the control panel's window places the pointer: an emulated
// panel (direction, picture turn, raw range, noise) is calibrated by touching the marks the real
// control panel shows, then a 5 x 5 grid is touched and the pointer, moved by the touch emulator,
// is read back. Beside each figure the floor: the same grid with the block's calibration before
// the run, what a user lives with who does not calibrate.
//   scripts/wine-run build/windows/bench/calibration_accuracy.exe [--direction N]
//       [--orientation N] [--raw L,T,R,B] [--noise N] [--seed N] [--misplaced TOLERANCE]
//
// With --misplaced it measures instead what the misplaced-touch safeguard buys: one of the four
// marks touched a number of pixels off (every mark, eight ways, on the screen), the run played in this process
// by the calibration session the window runs, once without the safeguard and once with it at
// the given tolerance (the touch asked again is then made on the mark); for each offset the
// largest error of the 5 x 5 grid at 1024 x 768, in both modes. It needs no driver.
// It needs the driver and the profile of the prefix (scripts/test-prefix, scripts/dev-profile),
// starts the control panel and the touch emulator itself, and puts back the screen size and the
// stored calibration mode. It measures at 1024 x 768 and 1920 x 1080 (a screen size the display
// cannot take is reported and skipped), corner and edge mode, without noise and with it.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "common/calibration/pointer_mapping.h"
#include "common/calibration/session_player.h"
#include "common/core/titles.h"
#include "common/win/profile.h"
#include "tests/support/programs.h"
#include "tests/support/touch_loop.h"
#include "tools/command_line.h"

namespace {

using namespace koral;
using namespace koral::calibration;

struct Options {
  SyntheticPanel Panel{5, 40, 1000, 25, 965, 0, 0, 0};
  int Noise = 3;
  uint32_t Seed = 18;
  int MisplacedTolerance = 0;  // 0: the measurement through the window
};

bool Parse(int argc, char** argv, Options& o) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    const char* value = argv[i + 1];
    long n = 0;
    if (option == "--direction" && tools::ParseNumber(value, 0, 7, n)) {
      o.Panel.Direction = static_cast<uint8_t>(n);
    } else if (option == "--orientation" && tools::ParseNumber(value, 0, 3, n)) {
      o.Panel.Orientation = static_cast<int16_t>(n);
    } else if (option == "--noise" && tools::ParseNumber(value, 1, 50, n)) {
      o.Noise = static_cast<int>(n);
    } else if (option == "--seed" && tools::ParseNumber(value, 0, 1000000, n)) {
      o.Seed = static_cast<uint32_t>(n);
    } else if (option == "--misplaced" &&
               tools::ParseNumber(value, kLeastTouchTolerance, kGreatestTouchTolerance, n)) {
      o.MisplacedTolerance = static_cast<int>(n);
    } else if (option != "--raw" || !tools::ParseEdges(value, o.Panel)) {
      return false;
    }
  }
  return argc % 2 == 1;
}

// The build folder's subfolder beside this program's (bench).
std::string Folder(const char* sibling) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  folder.erase(folder.find_last_of('\\'));
  folder.erase(folder.find_last_of('\\') + 1);
  return folder + sibling;
}

bool SetScreen(int width, int height) {
  if (GetSystemMetrics(SM_CXSCREEN) == width && GetSystemMetrics(SM_CYSCREEN) == height) return true;
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  mode.dmPelsWidth = static_cast<DWORD>(width);
  mode.dmPelsHeight = static_cast<DWORD>(height);
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  return ChangeDisplaySettingsExA(nullptr, &mode, nullptr, CDS_FULLSCREEN, nullptr) == DISP_CHANGE_SUCCESSFUL &&
         GetSystemMetrics(SM_CXSCREEN) == width && GetSystemMetrics(SM_CYSCREEN) == height;
}

struct Errors {
  double Mean = 0;
  double Largest = 0;
  bool Complete = false;
};

// The grid spans the whole screen, its outer points on the edge pixels.
Errors TouchGrid(test::Finger& finger, int width, int height) {
  Errors e;
  int count = 0;
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 5; ++j) {
      const int x = i * (width - 1) / 4, y = j * (height - 1) / 4;
      const auto seen = finger.TouchAndRead(x, y);
      if (!seen) return e;
      const double error = std::hypot(seen->x - x, seen->y - y);
      e.Mean += error;
      e.Largest = std::max(e.Largest, error);
      ++count;
    }
  }
  e.Mean /= count;
  e.Complete = true;
  return e;
}

// The control panel reads the mode from the model key as it starts.
bool StoreCalibrationMode(int32_t mode) {
  ModelKeyStore store;
  return store.WriteNumber(kCalibrationModeName, mode);
}

// One calibration run and the grids before and after it; false when the run could not be made.
bool Measure(sim::SimClient& driver, const Options& o, int width, int height, int32_t mode, int noise,
             Errors& before, Errors& after) {
  SyntheticPanel panel = o.Panel;
  panel.Width = width;
  panel.Height = height;
  if (!driver.Reset()) return false;
  ParamBlock block = sim::SimClient::DefaultBlock();
  block.ResolutionX = static_cast<int16_t>(width);
  block.ResolutionY = static_cast<int16_t>(height);
  if (!driver.LoadBlock(block) || !driver.SetCompanionSlot(kNoWindow, panel.Orientation)) return false;
  test::Finger finger(driver, panel, noise, o.Seed + static_cast<uint32_t>(mode * 10 + noise));
  before = TouchGrid(finger, width, height);

  if (!StoreCalibrationMode(mode)) return false;
  test::RunningProgram control;
  if (!control.Start("KORALpcp.exe", {}, Folder("bin"))) return false;
  const HWND main = test::WaitForVisibleWindow(kControlPanelTitle);
  if (!main) return false;
  const std::string failure = test::CalibrateThroughWindow(driver, control.Id(), main, finger);
  PostMessageA(main, WM_CLOSE, 0, 0);
  control.WaitForExit();
  if (!failure.empty()) {
    std::fprintf(stderr, "calibration_accuracy: %s\n", failure.c_str());
    return false;
  }
  after = TouchGrid(finger, width, height);
  return before.Complete && after.Complete;
}

// The largest grid error of the calibration a played run leaves in the driver (the old one,
// when it sent none).
double LargestGridError(const SyntheticPanel& panel, const NewCalibration& c) {
  double largest = 0;
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 5; ++j) {
      const double x = i * (panel.Width - 1) / 4, y = j * (panel.Height - 1) / 4;
      const PanelPoint raw = panel.Touch(x, y);
      const ScreenPixel seen = PixelOf(MapToScreen(c, {double(raw.X), double(raw.Y)}, panel.Width, panel.Height));
      largest = std::max(largest, std::hypot(seen.X - x, seen.Y - y));
    }
  }
  return largest;
}

// One run, mark `target` touched `dx`, `dy` pixels off the first time; the largest grid error
// afterwards and how many touches were asked again.
double PlayedRun(const SyntheticPanel& panel, int32_t mode, std::optional<int16_t> tolerance, int16_t target,
                 double dx, double dy, int& retouched) {
  PanelPlayer device(panel);
  RecordingView view;
  CalibrationSession session(device, view);
  const NewCalibration old{};
  session.Start({mode, static_cast<int16_t>(panel.Width), static_cast<int16_t>(panel.Height), old, {tolerance, {}}});
  TouchOffsets offsets(kLastTarget + 1);
  offsets[static_cast<size_t>(target)] = {{dx, dy}};
  TouchAsAsked(session, device, offsets);
  session.Answer(SessionReply::kYes);
  retouched += static_cast<int>(std::count(device.Commands.begin(), device.Commands.end(), "event 5")) - 4;
  return LargestGridError(panel, device.Writes.empty() ? old : device.Writes.front());
}

int MeasureMisplaced(const Options& o) {
  SyntheticPanel panel = o.Panel;
  panel.Width = 1024;
  panel.Height = 768;
  std::printf("panel direction %d, orientation %d, raw %g,%g,%g,%g; 1024 x 768, grid 5 x 5; tolerance %d raw units\n",
              panel.Direction, panel.Orientation, panel.XLeft, panel.YTop, panel.XRight, panel.YBottom,
              o.MisplacedTolerance);
  std::printf("%-8s  %-26s  %-26s\n", "offset", "corner: largest off / on", "edge: largest off / on");
  const double kDiagonal = std::sqrt(0.5);
  const double kWays[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {kDiagonal, kDiagonal}, {-kDiagonal, kDiagonal},
                              {kDiagonal, -kDiagonal}, {-kDiagonal, -kDiagonal}};
  for (int offset : {0, 5, 10, 20, 40, 80, 160}) {
    std::printf("%4d px ", offset);
    for (int32_t mode : {kCornerMode, kEdgeMode}) {
      double off = 0, on = 0;
      int retouched = 0, ignored = 0;
      const int16_t first = mode == kCornerMode ? kFirstCornerTarget : kFirstEdgeTarget;
      for (int16_t target = first; target < first + 4; ++target) {
        const PixelPoint centre = CrossMarkOf(target, GeometryOf(panel.Width, panel.Height))->Centre();
        for (const auto& way : kWays) {
          const double dx = way[0] * offset, dy = way[1] * offset;
          // A finger cannot touch beside the screen.
          const double x = centre.X + dx, y = centre.Y + dy;
          if (x < 0 || y < 0 || x > panel.Width - 1 || y > panel.Height - 1) continue;
          off = std::max(off, PlayedRun(panel, mode, std::nullopt, target, dx, dy, ignored));
          on = std::max(on, PlayedRun(panel, mode, static_cast<int16_t>(o.MisplacedTolerance), target, dx, dy,
                                      retouched));
        }
      }
      std::printf("  %8.2f / %6.2f px (%2d again)", off, on, retouched);
    }
    std::printf("\n");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, options)) {
    std::fputs("usage: calibration_accuracy [--direction N] [--orientation N] [--raw L,T,R,B] [--noise N] [--seed N]"
               " [--misplaced TOLERANCE]\n",
               stderr);
    return 2;
  }
  if (options.MisplacedTolerance) return MeasureMisplaced(options);
  sim::SimClient driver;
  if (!driver.Open(5000)) {
    std::fputs("calibration_accuracy: the driver is not running in this prefix\n", stderr);
    return 1;
  }
  ModelKeyStore store;
  InstallationProfile profile;
  if (!LoadProfile(store, profile)) {
    std::fputs("calibration_accuracy: no profile in the model key (scripts/dev-profile)\n", stderr);
    return 1;
  }
  // Without a stored mode the control panel starts with 0; that is what is left behind then.
  int32_t storedMode = kCornerMode;
  if (!store.ReadNumber(kCalibrationModeName, storedMode)) storedMode = kCornerMode;
  const int startWidth = GetSystemMetrics(SM_CXSCREEN), startHeight = GetSystemMetrics(SM_CYSCREEN);
  const SyntheticPanel& p = options.Panel;
  std::printf("panel direction %d, orientation %d, raw %g,%g,%g,%g; grid 5 x 5 over the whole screen\n",
              p.Direction, p.Orientation, p.XLeft, p.YTop, p.XRight, p.YBottom);
  std::printf("%-10s %-6s %-5s  %-28s  %s\n", "screen", "mode", "noise", "new calibration: mean/largest",
              "before the run (floor): mean/largest");

  double largest[2] = {0, 0};
  bool measured[2] = {false, false};
  int status = 0;
  constexpr int kScreens[][2] = {{1024, 768}, {1920, 1080}};
  for (const auto& [w, h] : kScreens) {
    if (!SetScreen(w, h)) {
      std::printf("%dx%d: the display does not take this size; skipped\n", w, h);
      continue;
    }
    test::RunningProgram emulator;
    if (!emulator.Start("touch_emulator.exe", "--quiet", Folder("tools")) || !test::WaitForTouchEmulator(driver)) {
      std::fputs("calibration_accuracy: cannot start the touch emulator\n", stderr);
      status = 1;
      break;
    }
    for (int32_t mode : {kCornerMode, kEdgeMode}) {
      for (int noisy = 0; noisy < 2; ++noisy) {
        const int noise = noisy ? options.Noise : 0;
        Errors before, after;
        const char* modeName = mode == kCornerMode ? "corner" : "edge";
        if (!Measure(driver, options, w, h, mode, noise, before, after)) {
          std::printf("%dx%-5d %-6s %-5d  failed\n", w, h, modeName, noise);
          status = 1;
          continue;
        }
        std::printf("%dx%-5d %-6s %-5d  %8.2f px / %6.2f px        %8.2f px / %7.2f px\n", w, h, modeName, noise,
                    after.Mean, after.Largest, before.Mean, before.Largest);
        std::fflush(stdout);
        largest[noisy] = std::max(largest[noisy], after.Largest);
        measured[noisy] = true;
      }
    }
  }
  test::ReleaseMouseButtons();
  SetScreen(startWidth, startHeight);
  StoreCalibrationMode(storedMode);
  driver.Reset();
  if (!measured[0] || !measured[1]) return 1;
  std::printf("largest error without noise: %.2f px, with noise: %.2f px\n", largest[0], largest[1]);
  return status;
}
