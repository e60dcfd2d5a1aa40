#include "common/core/bitmap_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace koral {
namespace {

void Put(std::string& bytes, size_t at, uint32_t value, size_t count) {
  for (size_t i = 0; i < count; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

struct Layout {
  int32_t Width = 4;
  int32_t Height = 2;
  uint32_t Bits = 24;
  uint32_t HeaderBytes = 40;
  uint32_t Compression = 0;
  uint32_t ColoursUsed = 0;
};

// A bitmap file laid out as a writer would: headers, colour table, pixels right behind.
std::string File(const Layout& l) {
  const bool core = l.HeaderBytes == 12;
  const uint32_t table =
      (l.Bits <= 8 ? (l.ColoursUsed ? l.ColoursUsed : 1u << l.Bits) : l.ColoursUsed) * (core ? 3 : 4) +
      (l.Compression == 3 && l.HeaderBytes == 40 ? 12 : 0);
  const uint32_t stride = (static_cast<uint32_t>(l.Width) * l.Bits + 31) / 32 * 4;
  const uint32_t rows = static_cast<uint32_t>(l.Height < 0 ? -l.Height : l.Height);
  const uint32_t pixelsAt = 14 + l.HeaderBytes + table;
  std::string bytes(pixelsAt + stride * rows, '\x55');
  bytes[0] = 'B';
  bytes[1] = 'M';
  Put(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
  Put(bytes, 10, pixelsAt, 4);
  Put(bytes, 14, l.HeaderBytes, 4);
  if (core) {
    Put(bytes, 18, static_cast<uint32_t>(l.Width), 2);
    Put(bytes, 20, static_cast<uint32_t>(l.Height), 2);
    Put(bytes, 22, 1, 2);
    Put(bytes, 24, l.Bits, 2);
  } else {
    Put(bytes, 18, static_cast<uint32_t>(l.Width), 4);
    Put(bytes, 22, static_cast<uint32_t>(l.Height), 4);
    Put(bytes, 26, 1, 2);
    Put(bytes, 28, l.Bits, 2);
    Put(bytes, 30, l.Compression, 4);
    Put(bytes, 46, l.ColoursUsed, 4);
  }
  return bytes;
}

TEST(BitmapFile, WholeBitmapsOfEveryKnownLayoutAreComplete) {
  const Layout layouts[] = {
      {},
      {.Height = -2},
      {.Width = 3, .Bits = 1},
      {.Width = 5, .Bits = 4},
      {.Bits = 8, .ColoursUsed = 16},
      {.Bits = 16, .Compression = 3},
      {.Bits = 32, .HeaderBytes = 124, .Compression = 3},
      {.Bits = 24, .HeaderBytes = 108},
      {.Bits = 8, .HeaderBytes = 12},
  };
  for (const Layout& l : layouts) {
    const std::string file = File(l);
    EXPECT_TRUE(BitmapFileIsComplete(file)) << l.Bits << " bits, header " << l.HeaderBytes;
    EXPECT_TRUE(BitmapFileIsComplete(file + "trailing bytes")) << "bytes after the pixels do no harm";
    EXPECT_FALSE(BitmapFileIsComplete(file.substr(0, file.size() - 1))) << "one byte short";
  }
}

TEST(BitmapFile, DamagedOrForeignFilesAreRefused) {
  struct Case {
    const char* Name;
    std::string Bytes;
  };
  const std::string good = File({});
  auto with = [&](size_t at, uint32_t value, size_t count) {
    std::string bytes = good;
    Put(bytes, at, value, count);
    return bytes;
  };
  const Case cases[] = {
      {"empty", ""},
      {"only the mark", "BM"},
      {"cut inside the information header", good.substr(0, 30)},
      {"headers without pixels", good.substr(0, 54)},
      {"another mark", "PM" + good.substr(2)},
      {"unknown header size", with(14, 64, 4)},
      {"header longer than the file", with(14, 124, 4).substr(0, 100)},
      {"zero width", with(18, 0, 4)},
      {"negative width", with(18, 0xFFFFFFFF, 4)},
      {"zero height", with(22, 0, 4)},
      {"two planes", with(26, 2, 2)},
      {"7 bits a pixel", with(28, 7, 2)},
      {"run-length compressed", with(30, 1, 4)},
      {"pixels inside the headers", with(10, 20, 4)},
      {"pixels far past the end", with(10, 0xFFFFFFF0, 4)},
      {"a width of 2^31 - 1", with(18, 0x7FFFFFFF, 4)},
      {"a height of -2^31", with(22, 0x80000000, 4)},
      {"more colours than the depth has", File({.Bits = 8, .ColoursUsed = 16}).replace(46, 4, "\xFF\xFF\x00\x00", 4)},
  };
  for (const Case& c : cases) EXPECT_FALSE(BitmapFileIsComplete(c.Bytes)) << c.Name;
  EXPECT_FALSE(BitmapFileIsComplete(std::string(kLargestBitmapFile + 1, 'B'))) << "too large";
}

}  // namespace
}  // namespace koral
