// Picture files as an installation folder may hold them: whole bitmaps, and files that are
// missing, empty, cut short or no bitmaps at all.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/support/bitmap_bytes.h"

namespace koral::test {

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
