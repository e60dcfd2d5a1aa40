// The one line every benchmark prints per figure: the figure, the floor it is measured against in
// the same run, and their ratio, so that bench/run-all reads as one table; and where the
// benchmarks find what they start.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace koral::bench {

// A floor of zero has no ratio ("-").
inline void Figure(const char* what, double value, const char* unit, const char* floorName, double floor) {
  char ratio[16] = "     -";
  if (floor != 0) std::snprintf(ratio, sizeof ratio, "%6.2f", value / floor);
  std::printf("%-44s %10.2f %-5s | floor: %-44s %10.2f %-5s | ratio %s\n", what, value, unit, floorName, floor,
              unit, ratio);
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// A file of the build folder (bin\KORALpao.exe), from this benchmark's place in its bench folder.
inline std::string BuildFolder(const char* sibling) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  folder.erase(folder.find_last_of('\\'));      // ...\bench
  folder.erase(folder.find_last_of('\\') + 1);  // ...\ (the build folder)
  return folder + sibling;
}

}  // namespace koral::bench
