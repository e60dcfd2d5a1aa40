#include "common/win/utilities.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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
  return BitmapFromFileBytes(bytes);
}

HGDIOBJ BitmapFromFileBytes(std::string_view bytes) {
  if (!BitmapFileIsComplete(bytes)) return nullptr;
  constexpr size_t kFileHeader = sizeof(BITMAPFILEHEADER);
  BITMAPFILEHEADER file{};
  std::memcpy(&file, bytes.data(), kFileHeader);
  // The headers and colour table, and the pixels, each copied to memory aligned for GDI.
  std::vector<uint32_t> info((file.bfOffBits - kFileHeader + 3) / 4);
  std::memcpy(info.data(), bytes.data() + kFileHeader, file.bfOffBits - kFileHeader);
  std::vector<uint32_t> pixels((bytes.size() - file.bfOffBits + 3) / 4);
  std::memcpy(pixels.data(), bytes.data() + file.bfOffBits, bytes.size() - file.bfOffBits);

  const auto* header = reinterpret_cast<const BITMAPINFO*>(info.data());
  const bool core = header->bmiHeader.biSize == sizeof(BITMAPCOREHEADER);
  int width = 0, height = 0, bits = 0;
  if (core) {
    const BITMAPCOREHEADER& h = reinterpret_cast<const BITMAPCOREINFO*>(info.data())->bmciHeader;
    width = h.bcWidth;
    height = h.bcHeight;
    bits = h.bcBitCount;
  } else {
    width = header->bmiHeader.biWidth;
    height = std::abs(header->bmiHeader.biHeight);
    bits = header->bmiHeader.biBitCount;
  }
  // Black, then white: the two entries of the colour table behind the header.
  const size_t tableAt = header->bmiHeader.biSize;
  const size_t entry = core ? sizeof(RGBTRIPLE) : sizeof(RGBQUAD);
  const auto* table = reinterpret_cast<const uint8_t*>(info.data()) + tableAt;
  const bool blackAndWhite = bits == 1 && tableAt + 2 * entry <= file.bfOffBits - kFileHeader &&
                             table[0] == 0 && table[1] == 0 && table[2] == 0 && table[entry] == 0xFF &&
                             table[entry + 1] == 0xFF && table[entry + 2] == 0xFF;
  const HDC screen = GetDC(nullptr);
  UniqueGdiObject bitmap(blackAndWhite ? CreateBitmap(width, height, 1, 1, nullptr)
                                       : CreateCompatibleBitmap(screen, width, height));
  const bool filled = bitmap && SetDIBits(screen, static_cast<HBITMAP>(bitmap.get()), 0, static_cast<UINT>(height),
                                          pixels.data(), header, DIB_RGB_COLORS) != 0;
  ReleaseDC(nullptr, screen);
  return filled ? bitmap.release() : nullptr;
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
