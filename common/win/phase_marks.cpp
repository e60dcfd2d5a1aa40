#include "common/win/phase_marks.h"

#include <windows.h>

#include <cstdio>

#include "common/win/handles.h"

namespace koral {
namespace {

// The file, opened at the first mark; null when marks are off.
HANDLE PhaseFile() {
  static const UniqueHandle file = [] {
    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(kPhaseFileVariable, path, sizeof path);
    if (length == 0 || length >= sizeof path) return UniqueHandle();
    return UniqueHandle(CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  }();
  return file.get();
}

}  // namespace

void MarkPhase(const char* name) {
  const HANDLE file = PhaseFile();
  if (!file) return;
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  char line[128];
  const int length = std::snprintf(line, sizeof line, "%s %lld\n", name, static_cast<long long>(now.QuadPart));
  if (length <= 0 || length >= static_cast<int>(sizeof line)) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
}

}  // namespace koral
