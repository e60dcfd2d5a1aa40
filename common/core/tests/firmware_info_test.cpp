#include "common/core/firmware_info.h"

#include <gtest/gtest.h>

namespace koral {
namespace {

ParamBlock Firmware(uint8_t mode, uint8_t version, std::array<uint8_t, 4> code) {
  ParamBlock block{};
  block.McuMode = mode;
  block.McuVersion = version;
  for (size_t i = 0; i < code.size(); ++i) block.McuCode[i] = code[i];
  return block;
}

TEST(McuInfoText, ShowsModeVersionAndCodeAsTheBlockHoldsThem) {
  struct Case {
    const char* name;
    ParamBlock block;
    const char* expected;
  };
  const Case cases[] = {
      {"typical", Firmware(0xD4, 0x42, {0x00, 0x00, 0x12, 0xAB}), "MCU-Mode=D4  MCU-Version=4.2  MCU-Code=000012AB"},
      {"all zero", Firmware(0, 0, {0, 0, 0, 0}), "MCU-Mode=00  MCU-Version=0.0  MCU-Code=00000000"},
      {"code bytes in block order", Firmware(0x02, 0x23, {0x4B, 0x52, 0x50, 0x32}),
       "MCU-Mode=02  MCU-Version=2.3  MCU-Code=4B525032"},
      {"all ones", Firmware(0xFF, 0x99, {0xFF, 0xFF, 0xFF, 0xFF}), "MCU-Mode=FF  MCU-Version=9.9  MCU-Code=FFFFFFFF"},
  };
  for (const auto& c : cases) EXPECT_EQ(McuInfoText(c.block), c.expected) << c.name;
}

TEST(McuVersionText, DecimalDigitsReadAsVersionOthersAsTheyAre) {
  struct Case {
    uint8_t version;
    const char* expected;
  };
  const Case cases[] = {
      {0x42, "MCU-Version=4.2"}, {0x05, "MCU-Version=0.5"}, {0x10, "MCU-Version=1.0"},
      {0x4A, "MCU-Version=4.A"}, {0xA5, "MCU-Version=A.5"}, {0xFF, "MCU-Version=F.F"},
  };
  for (const auto& c : cases) EXPECT_EQ(McuVersionText(c.version), c.expected) << int(c.version);
}

}  // namespace
}  // namespace koral
