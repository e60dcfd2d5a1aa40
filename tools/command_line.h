// What the tools' and benchmarks' command lines share: numbers within limits, the raw edges of
// an emulated panel, opening the driver with a message, and ending on Ctrl+C.
#pragma once

#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "common/calibration/synthetic_panel.h"
#include "tools/sim_client.h"

namespace koral::tools {

// A whole decimal number within low..high and nothing after it.
inline bool ParseNumber(const char* text, long low, long high, long& value) {
  errno = 0;
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

// "L,T,R,B": the panel's raw readings at the left, top, right and bottom screen edges.
inline bool ParseEdges(const char* text, calibration::SyntheticPanel& panel) {
  double edges[4];
  int used = 0;
  if (std::sscanf(text, "%lf,%lf,%lf,%lf%n", &edges[0], &edges[1], &edges[2], &edges[3], &used) != 4 ||
      text[used] != '\0')
    return false;
  panel.XLeft = edges[0];
  panel.YTop = edges[1];
  panel.XRight = edges[2];
  panel.YBottom = edges[3];
  return true;
}

// Opens the driver, waiting a while for it; says on standard error why when it cannot.
inline bool OpenDriver(sim::SimClient& driver, const char* program) {
  if (driver.Open(5000)) return true;
  std::fprintf(stderr, "%s: cannot open the driver (error %lu); is it started in this prefix?\n", program,
               GetLastError());
  return false;
}

// Set once Ctrl+C or Ctrl+Break arrives, after StopOnConsoleEvents; the loops check it.
inline std::atomic<bool>& StopRequested() {
  static std::atomic<bool> stop{false};
  return stop;
}

inline void StopOnConsoleEvents() {
  SetConsoleCtrlHandler([](DWORD) -> BOOL {
    StopRequested() = true;
    return TRUE;
  }, TRUE);
}

}  // namespace koral::tools
