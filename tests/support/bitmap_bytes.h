// The bytes of picture files for tests.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace koral::test {

// A 24-bit bitmap file of the size (a negative height is stored top down), cut after
// `keepBytes` bytes when that is shorter; pixel data beyond 1 MB is left out.
inline std::string BitmapBytes(int32_t width, int32_t height, size_t keepBytes = SIZE_MAX) {
  const int stride = (width * 3 + 3) & ~3;
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = static_cast<DWORD>(stride * (height < 0 ? -height : height));
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + info.biSizeImage;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  bytes.append(std::min<size_t>(info.biSizeImage, 1'000'000), '\x40');
  if (keepBytes < bytes.size()) bytes.resize(keepBytes);
  return bytes;
}

}  // namespace koral::test
