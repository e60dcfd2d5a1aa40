// libFuzzer target: any picture file's bytes are judged without reading outside them, and a
// bitmap judged whole stays whole with bytes appended.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/core/bitmap_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact copy, so that AddressSanitizer sees any read past the end.
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (!koral::BitmapFileIsComplete(bytes)) return 0;
  if (size < 18 || bytes[0] != 'B' || bytes[1] != 'M' || !koral::BitmapFileIsComplete(bytes + '\0')) {
    std::fprintf(stderr, "bitmap invariant broken\n");
    std::abort();
  }
  return 0;
}
