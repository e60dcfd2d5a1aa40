// The startup program's splash run, whole: from its start to its end, as Windows runs it at each
// start. Its one-second pause is most of it; beside it the floor, a minimal program's start to end
// measured in the same run, so what is left over is the program's own work.
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
#include <vector>

#include "driver_link.h"

namespace {

constexpr double kPauseSeconds = 1.0;
constexpr DWORD kLimitMs = 30000;

std::string Folder(const char* sibling) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  folder.erase(folder.find_last_of('\\'));          // ...\bench
  folder.erase(folder.find_last_of('\\') + 1);      // ...\ (the build folder)
  return folder + sibling;
}

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

void Report(const char* name, const Stats& s) {
  std::printf("%-38s median %7.3f s   min %7.3f s   max %7.3f s\n", name, s.median, s.min, s.max);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  if (!koral::device::OpenDevice()) {
    std::fprintf(stderr, "cannot open the driver; is it installed and started in this prefix?\n");
    return 1;
  }
  koral::device::ReadBlock();
  koral::device::CloseDevice();
  if (koral::device::Link().Block.DetectedPort == 0) {
    std::fprintf(stderr, "the driver reports no controller: the program would stop at its message\n");
    return 1;
  }

  const std::string splash = Folder("bin\\KORALpao.exe");
  const std::string floor = Folder("tools\\marker_program.exe");
  std::printf("startup program, %d runs each\n", runs);
  Stats minimal{}, whole{};
  const bool floorRan = Measure(floor, runs, minimal);
  DeleteFileA((floor + ".ran").c_str());  // the mark it leaves
  if (!floorRan) {
    std::fprintf(stderr, "%s did not run\n", floor.c_str());
    return 1;
  }
  if (!Measure(splash, runs, whole)) {
    std::fprintf(stderr, "%s did not end within %lu s (a message box?)\n", splash.c_str(), kLimitMs / 1000);
    return 1;
  }
  Report("floor: a minimal program, start to end", minimal);
  std::printf("%-38s        %7.3f s\n", "the splash run's pause", kPauseSeconds);
  Report("splash run, start to end", whole);
  const double beyond = whole.median - kPauseSeconds - minimal.median;
  std::printf("%-38s        %7.3f s\n", "beyond pause and floor (median)", beyond);
  return 0;
}
