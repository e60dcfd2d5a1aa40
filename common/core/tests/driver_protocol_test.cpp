#include "driver_protocol.h"

#include <gtest/gtest.h>

#include <cstring>

namespace koral {
namespace {

// The layout is fixed by static_assert; this checks the byte order of multi-byte fields,
// which the driver reads as little-endian.
TEST(DriverProtocol, MultiByteFieldsAreLittleEndian) {
  uint8_t bytes[sizeof(ParamBlock)] = {};
  bytes[42] = 0xE8;  // FeedbackTone 1000
  bytes[43] = 0x03;
  bytes[4] = 0xF8;  // COM1 BasePort 0x3F8
  bytes[5] = 0x03;
  bytes[72] = 0x00;  // ResolutionX 1024
  bytes[73] = 0x04;
  ParamBlock block;
  std::memcpy(&block, bytes, sizeof block);
  EXPECT_EQ(block.FeedbackTone, 1000);
  EXPECT_EQ(block.ComPort[0].BasePort, 0x3F8);
  EXPECT_EQ(block.ResolutionX, 1024);
}

}  // namespace
}  // namespace koral
