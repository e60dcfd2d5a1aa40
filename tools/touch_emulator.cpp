// touch_emulator: does with the substitute driver's raw samples what a driver for the block does
// with a controller's: each touched sample moves the Windows pointer to where the calibration
// held by the driver puts it, the touch mode in force presses and releases the buttons, an
// armed right-button tool makes the next touch a right click (and is cleared, as the driver
// does), and the feedback sound is played with the system's beep (silent where the machine
// cannot sound) and printed.
// The samples come from whoever plays the panel: tests, benchmarks, `korctl push`, or the panel
// emulator. The block and the right-button state are read as each touch comes down.
// Exit status: 0 done, 1 failed, 2 wrong usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/calibration/touch_emulation.h"
#include "driver/logic/driver_logic.h"
#include "tools/command_line.h"
#include "tools/sim_client.h"

namespace {

using namespace koral::calibration;
using koral::tools::ParseNumber;

constexpr char kUsage[] =
    "usage: touch_emulator [OPTIONS]\n"
    "\n"
    "Moves the pointer and presses its buttons as the driver's raw samples say.\n"
    "\n"
    "  --rate HZ            samples read per second, 10..1000; default 500\n"
    "  --seconds S          end after S seconds; default: run until Ctrl+C\n"
    "  --quiet              do not print each touch, lift and beep\n";

struct Options {
  long Rate = 500;
  long Seconds = 0;
  bool Quiet = false;
};

bool Parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--quiet") {
      o.Quiet = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    if (!(option == "--rate" && ParseNumber(value, 10, 1000, o.Rate)) &&
        !(option == "--seconds" && ParseNumber(value, 1, 86400, o.Seconds)))
      return false;
  }
  return true;
}

void SendButton(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

struct Sound {
  DWORD Hertz;
  DWORD Milliseconds;
};

// The speaker call blocks for the sound's length; it gets a thread of its own so that the
// pointer keeps following the finger meanwhile.
DWORD WINAPI PlayBeep(void* parameter) {
  const Sound* sound = static_cast<Sound*>(parameter);
  Beep(sound->Hertz, sound->Milliseconds);
  delete sound;
  return 0;
}

class Emulator {
 public:
  Emulator(koral::sim::SimClient& driver, bool quiet) : driver_(driver), quiet_(quiet) {}

  void Sample(const koral::RawPoint& raw) {
    const bool touched = (raw.Status & koral::kTouchedBit) != 0;
    if (touched && !emulation_.Touching()) {
      ReadSettings();
      const ScreenPixel at = Where(raw);
      Say("touch raw %d,%d -> %d,%d%s\n", raw.X, raw.Y, at.X, at.Y,
          settings_.RightArmed ? " (right click)" : "");
      Carry(emulation_.Down(at, settings_));
    } else if (touched) {
      Carry(emulation_.Move(Where(raw)));
    } else if (emulation_.Touching()) {
      Say("lift\n");
      Carry(emulation_.Lift());
    }
  }

  void End() { Carry(emulation_.Lift()); }

 private:
  template <typename... Args>
  void Say(const char* format, Args... args) {
    if (quiet_) return;
    std::printf(format, args...);
    std::fflush(stdout);
  }

  // What the driver holds now; a failed read keeps what was read last.
  void ReadSettings() {
    if (const auto block = driver_.ReadBlock()) {
      block_ = *block;
      calibration_ = CalibrationOf(block_);
      settings_.TouchMode = block_.VirtualButton;
      settings_.FeedbackSound = block_.FeedbackSound;
    }
    const auto slot = driver_.RightButtonSlot();
    settings_.RightArmed = slot && slot->State == koral::kToolArmed;
  }

  ScreenPixel Where(const koral::RawPoint& raw) const {
    return PixelOf(MapToScreen(calibration_, {double(raw.X), double(raw.Y)},
                               GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
  }

  void Carry(const std::vector<PointerStep>& steps) {
    for (const PointerStep& step : steps) {
      switch (step.Action) {
        case PointerAction::kMove: SetCursorPos(step.At.X, step.At.Y); break;
        case PointerAction::kLeftDown: SendButton(MOUSEEVENTF_LEFTDOWN); break;
        case PointerAction::kLeftUp: SendButton(MOUSEEVENTF_LEFTUP); break;
        case PointerAction::kRightDown: SendButton(MOUSEEVENTF_RIGHTDOWN); break;
        case PointerAction::kRightUp: SendButton(MOUSEEVENTF_RIGHTUP); break;
        case PointerAction::kRightDone: driver_.RightClickDone(); break;
        case PointerAction::kBeep: Play(); break;
      }
    }
  }

  void Play() {
    const koral::logic::Beep beep = koral::logic::BeepOf(block_.FeedbackTone, block_.FeedbackDuration);
    if (beep.Hertz == 0) return;
    HANDLE thread = CreateThread(nullptr, 0, PlayBeep, new Sound{beep.Hertz, beep.Milliseconds}, 0, nullptr);
    if (thread) CloseHandle(thread);
    Say("beep %lu Hz for %lu ms\n", static_cast<unsigned long>(beep.Hertz),
        static_cast<unsigned long>(beep.Milliseconds));
  }

  koral::sim::SimClient& driver_;
  bool quiet_;
  TouchEmulation emulation_;
  TouchSettings settings_;
  koral::ParamBlock block_ = koral::sim::SimClient::DefaultBlock();
  NewCalibration calibration_ = CalibrationOf(block_);
};

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  koral::sim::SimClient driver;
  if (!koral::tools::OpenDriver(driver, "touch_emulator")) return 1;
  koral::tools::StopOnConsoleEvents();
  if (!options.Quiet) {
    std::printf("touch_emulator: %dx%d screen, %ld samples/s\n", GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN), options.Rate);
    std::fflush(stdout);
  }

  Emulator emulator(driver, options.Quiet);
  const DWORD period = static_cast<DWORD>(1000 / options.Rate);
  const ULONGLONG end = options.Seconds ? GetTickCount64() + static_cast<ULONGLONG>(options.Seconds) * 1000 : 0;
  // The sample already there when we start is old: only a new one counts.
  int16_t counter = 0;
  if (const auto first = driver.ReadRawPoint()) counter = first->Counter;
  while (!koral::tools::StopRequested() && (end == 0 || GetTickCount64() < end)) {
    const auto raw = driver.ReadRawPoint();
    if (raw && raw->Counter != counter) {
      counter = raw->Counter;
      emulator.Sample(*raw);
    }
    Sleep(period);
  }
  emulator.End();
  return 0;
}
