// The startup program's splash run, whole: from its start to its end, as Windows runs it at each
// start, less its one-second pause. Beside it the floor measured in the same run: a minimal
// program's start to end plus the driver calls the splash run made (read from the driver's
// journal), made bare from this process; what is left over is the program's own work.
//   scripts/wine-run build/windows/bench/startup_splash.exe [runs]
// It runs in the prefix's state: the driver must report a controller and the model key hold the
// profile (scripts/test-prefix and scripts/dev-profile). Each run applies the stored double-click
// settings and stores them (500, 32, 32 when none are stored), as the program always does.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <optional>
#include <vector>

#include "bench/figures.h"
#include "common/win/driver_link.h"
#include "tools/sim_client.h"

namespace {

constexpr double kPauseSeconds = 1.0;
constexpr DWORD kLimitMs = 30000;

// Seconds from the start of the program to its end; negative when it did not end in time.
double RunOnce(const std::string& program) {
  std::string command = "\"" + program + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  const auto start = std::chrono::steady_clock::now();
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return -1;
  const bool ended = WaitForSingleObject(info.hProcess, kLimitMs) == WAIT_OBJECT_0;
  const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!ended) TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return ended ? took : -1;
}

struct Stats {
  double min, median, max;
};

bool Measure(const std::string& program, int runs, Stats& stats) {
  std::vector<double> seconds;
  for (int i = 0; i < runs; ++i) {
    const double took = RunOnce(program);
    if (took < 0) return false;
    seconds.push_back(took);
  }
  std::sort(seconds.begin(), seconds.end());
  stats = {seconds.front(), seconds[seconds.size() / 2], seconds.back()};
  return true;
}

// The driver calls of one splash run as the journal lists them, made bare: open, each call, close.
// Returns the seconds taken; codes the suite never sends at start are counted in `unknown`.
double BareCalls(const std::vector<uint32_t>& codes, int* unknown) {
  using namespace koral;
  const auto start = std::chrono::steady_clock::now();
  device::DriverSession driver;
  device::Controller controller(driver);
  driver.Open();
  for (uint32_t code : codes) {
    switch (code) {
      case kReadBlock: controller.ReadBlock(); break;
      case kWriteWholeBlock: controller.Write(device::Group::WholeBlock, controller.Block()); break;
      case kGetRightButtonSlot: driver.RightButtonSlot(); break;
      case kGetCompanionSlot: driver.CompanionSlot(); break;
      default: ++*unknown; break;
    }
  }
  driver.Close();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  koral::device::DriverSession driver;
  if (!driver.Open()) {
    std::fprintf(stderr, "cannot open the driver; is it installed and started in this prefix?\n");
    return 1;
  }
  const std::optional<koral::ParamBlock> block = driver.ReadBlock();
  driver.Close();
  if (!block || block->DetectedPort == 0) {
    std::fprintf(stderr, "the driver reports no controller: the program would stop at its message\n");
    return 1;
  }

  const std::string splash = koral::bench::BuildFolder("bin\\KORALpao.exe");
  const std::string floor = koral::bench::BuildFolder("tools\\marker_program.exe");
  std::printf("startup program, %d runs each\n", runs);
  Stats minimal{}, whole{};
  koral::sim::SimClient journal;
  if (!journal.Open()) return 1;
  const bool floorRan = Measure(floor, runs, minimal);
  DeleteFileA((floor + ".ran").c_str());  // the mark it leaves
  if (!floorRan) {
    std::fprintf(stderr, "%s did not run\n", floor.c_str());
    return 1;
  }
  journal.ReadJournal();
  if (!Measure(splash, runs, whole)) {
    std::fprintf(stderr, "%s did not end within %lu s (a message box?)\n", splash.c_str(), kLimitMs / 1000);
    return 1;
  }
  // Each run sends the same calls: the last run's are the journal's last `runs`-th part.
  std::vector<uint32_t> codes;
  for (const koral::JournalEntry& e : journal.ReadJournal()) codes.push_back(e.Code);
  codes.erase(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(codes.size() - codes.size() / runs));
  int unknown = 0;
  std::vector<double> bare;
  for (int i = 0; i < runs; ++i) bare.push_back(BareCalls(codes, &unknown));
  const double calls = koral::bench::Median(bare);
  std::printf("splash run: %zu driver calls; minimal program start to end: median %.1f ms (min %.1f, max %.1f)\n",
              codes.size(), minimal.median * 1000, minimal.min * 1000, minimal.max * 1000);
  if (unknown) std::printf("(%d calls of codes this benchmark does not replay are left out of the floor)\n", unknown / runs);
  koral::bench::Figure("startup program splash run, less its pause", (whole.median - kPauseSeconds) * 1000, "ms",
                       "minimal program + its driver calls bare", (minimal.median + calls) * 1000);
  return 0;
}
