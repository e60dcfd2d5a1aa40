// Picture files as an installation folder may hold them: whole bitmaps, and files that are
// missing, empty, cut short or no bitmaps at all.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

struct PictureCase {
  const char* Name;
  std::optional<std::string> Bytes;  // none: no file
  bool Whole;                        // shown as a picture
};

inline std::vector<PictureCase> HostilePictures() {
  return {
      {"a complete bitmap", BitmapBytes(64, 48), true},
      {"a bitmap stored top down", BitmapBytes(64, -48), true},
      {"missing", std::nullopt, false},
      {"empty", std::string(), false},
      {"only the mark", std::string("BM"), false},
      {"cut inside the header", BitmapBytes(64, 48, 30), false},
      {"header without pixels", BitmapBytes(64, 48, 54), false},
      {"cut halfway through the pixels", BitmapBytes(64, 48, 54 + 64 * 3 * 24), false},
      {"a header claiming 30000 x 30000 pixels", BitmapBytes(30000, 30000, 54 + 4096), false},
      {"2000 x 2000 pixels cut after 100 KB", BitmapBytes(2000, 2000, 100'000), false},
      {"text", std::string("not a picture at all\r\n"), false},
      {"another picture format", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), false},
  };
}

}  // namespace koral::test
