// The calibration window's capture loop against the substitute driver: how many raw samples it
// reads per second, waiting for a touch and while a finger rests, and how long after the sample
// that completes a touch's count the driver hears ModeArg 5.
//
// The window runs in this process on the main thread; a second thread plays the panel through
// the simulation codes and watches the journal. The completion question is answered No, so the
// driver ends with the calibration it had.
//   scripts/wine-run build/windows/bench/calibration_capture.exe [runs]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "bench/figures.h"
#include "common/calibration/synthetic_panel.h"
#include "common/calibration/targets.h"
#include "common/win/driver_link.h"
#include "common/win/message_box.h"
#include "common/win/profile.h"
#include "common/win/trusted_folders.h"
#include "programs/panel/frmCalibration.h"
#include "tools/sim_client.h"
#include "ui/form.h"

namespace {

using namespace koral;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class AnswerNo final : public MessageBoxes {
 public:
  int Show(const std::string&, const std::string&, UINT) override { return IDNO; }
  void Beep(UINT) override {}
};

struct Summary {
  double median, low, high;
};

Summary Summarise(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return {values[values.size() / 2], values.front(), values.back()};
}

class Panel {
 public:
  explicit Panel(const calibration::frmCalibration& window) : window_(window) {}

  bool Open() { return driver_.Open(5000) && driver_.Reset(); }
  void Stop() { stop_ = true; }

  // Plays `runs` calibrations of four corner targets.
  void Play(int runs) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const calibration::SyntheticPanel panel{0, 40, 1000, 25, 965, width, height, 0};
    const calibration::TargetGeometry geometry = calibration::GeometryOf(width, height);
    for (int run = 0; run < runs && !stop_; ++run) {
      for (int target = 1; target <= 4 && !stop_; ++target) {
        const calibration::PixelPoint at = calibration::CrossMarkOf(target, geometry)->Centre();
        const calibration::PanelPoint raw = panel.Touch(at.X, at.Y);
        WaitForReads(10);  // the loop is waiting for this target
        idleRates_.push_back(ReadRate());
        // The first sample is read twice at least: once as the touch-down, once counting.
        driver_.PushSample(raw.X, raw.Y, true);
        WaitForReads(3);
        restingRates_.push_back(ReadRate());
        driver_.ReadJournal();
        const auto pushed = Clock::now();
        driver_.PushSample(raw.X, raw.Y, true);
        while (!stop_ && !Accepted()) {
        }
        delays_.push_back(std::chrono::duration<double, std::milli>(Clock::now() - pushed).count());
        driver_.PushSample(raw.X, raw.Y, false);
      }
    }
  }

  void Report(int runs, double bareRate) const {
    if (idleRates_.empty() || delays_.size() != idleRates_.size()) {
      std::printf("no complete measurement\n");
      return;
    }
    const Summary idle = Summarise(idleRates_);
    const Summary resting = Summarise(restingRates_);
    const Summary delay = Summarise(delays_);
    std::printf("capture loop against the substitute driver, %d runs x 4 targets\n", runs);
    bench::Figure("capture reads, no touch (read, messages)", idle.median, "/s", "bare raw-sample reads", bareRate);
    bench::Figure("capture reads, finger resting", resting.median, "/s", "bare raw-sample reads", bareRate);
    Line("driver reads per second, no touch (read, messages)", idle, "");
    Line("driver reads per second, finger resting (no pause)", resting, "");
    Line("third stable sample pushed -> ModeArg 5 journalled", delay, " ms");
  }

 private:
  static void Line(const char* what, const Summary& s, const char* unit) {
    const char* format = *unit ? "%-52s median %7.2f  min %7.2f  max %7.2f%s\n"
                               : "%-52s median %7.0f  min %7.0f  max %7.0f%s\n";
    std::printf(format, what, s.median, s.low, s.high, unit);
  }

  void WaitForReads(uint64_t count) {
    const uint64_t start = window_.SamplesRead();
    while (!stop_ && window_.SamplesRead() < start + count) std::this_thread::yield();
  }

  double ReadRate() {
    const uint64_t reads = window_.SamplesRead();
    const auto start = Clock::now();
    std::this_thread::sleep_for(250ms);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return static_cast<double>(window_.SamplesRead() - reads) / seconds;
  }

  bool Accepted() {
    for (const JournalEntry& e : driver_.ReadJournal()) {
      int32_t event = 0;
      std::memcpy(&event, e.Data, sizeof event);
      if (e.Code == kCalibrationEvent && event == kCalPointAccepted) return true;
    }
    return false;
  }

  const calibration::frmCalibration& window_;
  sim::SimClient driver_;
  std::atomic<bool> stop_{false};
  std::vector<double> idleRates_, restingRates_, delays_;
};

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  ui::Application app;
  device::DriverSession driver;
  device::Controller controller(driver);
  calibration::frmCalibration window(app, controller, ReadTrustedFolders().Install);
  Panel panel(window);
  if (!panel.Open() || !driver.Open()) {
    std::fprintf(stderr, "cannot open the driver; is it installed and started in this prefix?\n");
    return 1;
  }
  controller.ReadBlock();
  window.Mode(calibration::kCornerMode);

  // The same call the loop makes, with nothing around it: the ceiling of the loop's rate.
  constexpr int kBareReads = 2000;
  const auto bareStart = Clock::now();
  for (int i = 0; i < kBareReads; ++i) driver.ReadRawPoint();
  const double bareRate = kBareReads / std::chrono::duration<double>(Clock::now() - bareStart).count();
  AnswerNo boxes;
  InstallMessageBoxes(&boxes);

  std::thread player([&] { panel.Play(runs); });
  for (int run = 0; run < runs; ++run) {
    window.Show();
    app.Run();
  }
  panel.Stop();
  player.join();
  InstallMessageBoxes(nullptr);
  panel.Report(runs, bareRate);

  sim::SimClient cleanup;
  if (cleanup.Open()) cleanup.Reset();
  driver.Close();
  return 0;
}
