#include "common/win/utilities.h"

#include <windows.h>

#include <string>

#include "common/core/bitmap_file.h"
#include "common/win/handles.h"

namespace koral {

bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  // Shared for reading and writing, so that a file another program holds open still counts.
  const UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

HGDIOBJ LoadCompleteBitmap(const std::string& path) {
  if (path.empty()) return nullptr;
  const UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > static_cast<LONGLONG>(kLargestBitmapFile))
    return nullptr;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  if (!bytes.empty() && (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
                         got != bytes.size()))
    return nullptr;
  if (!BitmapFileIsComplete(bytes)) return nullptr;
  return LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
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
