#include "utilities.h"

#include <windows.h>

#include "handles.h"

namespace koral {

bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  // Shared for reading and writing, so that a file another program holds open still counts.
  const UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

void HideMouseCursor() {
  while (ShowCursor(FALSE) >= 0) {
  }
}

void ShowMouseCursor() {
  while (ShowCursor(TRUE) < 0) {
  }
}

}  // namespace koral
