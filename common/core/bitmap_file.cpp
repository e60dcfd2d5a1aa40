#include "common/core/bitmap_file.h"

#include <cstdint>

namespace koral {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kCoreHeaderBytes = 12;
constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kBitFields = 3;

uint32_t Little(std::string_view bytes, size_t at, size_t count) {
  uint32_t value = 0;
  for (size_t i = count; i-- > 0;) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

}  // namespace

bool BitmapFileIsComplete(std::string_view bytes) {
  if (bytes.size() > kLargestBitmapFile || bytes.size() < kFileHeaderBytes + 4) return false;
  if (bytes[0] != 'B' || bytes[1] != 'M') return false;
  const uint64_t pixelsAt = Little(bytes, 10, 4);
  const uint32_t headerBytes = Little(bytes, kFileHeaderBytes, 4);
  const bool core = headerBytes == kCoreHeaderBytes;
  if (!core && headerBytes != 40 && headerBytes != 52 && headerBytes != 56 && headerBytes != 108 &&
      headerBytes != 124)
    return false;
  if (bytes.size() < kFileHeaderBytes + headerBytes) return false;

  const size_t info = kFileHeaderBytes;
  int64_t width = 0, height = 0;
  uint32_t planes = 0, bits = 0, compression = kUncompressed, coloursUsed = 0;
  if (core) {
    width = Little(bytes, info + 4, 2);
    height = Little(bytes, info + 6, 2);
    planes = Little(bytes, info + 8, 2);
    bits = Little(bytes, info + 10, 2);
  } else {
    width = static_cast<int32_t>(Little(bytes, info + 4, 4));
    height = static_cast<int32_t>(Little(bytes, info + 8, 4));
    planes = Little(bytes, info + 12, 2);
    bits = Little(bytes, info + 14, 2);
    compression = Little(bytes, info + 16, 4);
    coloursUsed = Little(bytes, info + 32, 4);
  }
  if (planes != 1 || width <= 0 || height == 0) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  if (compression != kUncompressed && !(compression == kBitFields && (bits == 16 || bits == 32))) return false;

  // The colour table (and the three masks of bit fields behind a 40-byte header) sits between the
  // headers and the pixels.
  uint64_t tableEntries = bits <= 8 ? (coloursUsed != 0 ? coloursUsed : 1u << bits) : coloursUsed;
  if (bits <= 8 && tableEntries > (1u << bits)) return false;
  uint64_t tableBytes = tableEntries * (core ? 3 : 4);
  if (compression == kBitFields && headerBytes == 40) tableBytes += 12;
  if (pixelsAt < kFileHeaderBytes + headerBytes + tableBytes) return false;

  const uint64_t rows = static_cast<uint64_t>(height < 0 ? -height : height);
  const uint64_t stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
  if (stride > kLargestBitmapFile) return false;
  const uint64_t pixelBytes = stride * rows;
  return pixelBytes <= kLargestBitmapFile && pixelsAt + pixelBytes <= bytes.size();
}

}  // namespace koral
