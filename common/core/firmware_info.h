// The controller firmware's identity as the firmware information window shows it.
#pragma once

#include <string>

#include "common/core/driver_protocol.h"

namespace koral {

// "MCU-Version=" and the version byte's two hexadecimal digits parted by a dot: 0x42 reads
// 4.2, 0x05 0.5. A byte that is not two decimal digits shows its digits as they are (0x4A
// reads 4.A), so no two bytes show alike.
std::string McuVersionText(uint8_t version);

// Mode, version and code, parted by two blanks:
// "MCU-Mode=D4  MCU-Version=4.2  MCU-Code=000012AB".
std::string McuInfoText(const ParamBlock& block);

}  // namespace koral
