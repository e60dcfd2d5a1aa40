#include "common/core/driver_protocol.h"

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

// The corner tool serves the right-button function everywhere but in automatic drag-and-drop
// mode, where the driver makes the right click itself; any automatic value but 0 counts.
TEST(DriverProtocol, RightButtonUsesTheToolUnlessAutomaticInDragDropMode) {
  struct Case {
    uint8_t mode, function, automatic;
    bool usesTool;
  };
  const Case cases[] = {
      {kStreamMode, kRightButtonOn, 0, true},      {kTouchDownMode, kRightButtonOn, 1, true},
      {kDragDropMode, kRightButtonOn, 0, true},    {kDragDropMode, kRightButtonOn, 1, false},
      {kDragDropMode, kRightButtonOn, 7, false},   {kDragDropMode, kRightButtonOff, 0, false},
      {kStreamMode, kRightButtonOff, 1, false},    {0, kRightButtonOn, 1, true},
      {kLiftOffMode, 2, 0, false},
  };
  for (const Case& c : cases) {
    ParamBlock block{};
    block.VirtualButton = c.mode;
    block.RightButtonFunction = c.function;
    block.RightButtonAutoMode = c.automatic;
    EXPECT_EQ(RightButtonUsesTool(block), c.usesTool)
        << "mode " << int(c.mode) << ", function " << int(c.function) << ", automatic " << int(c.automatic);
  }
}

}  // namespace
}  // namespace koral
