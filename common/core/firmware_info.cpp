#include "common/core/firmware_info.h"

#include "common/core/status_texts.h"

namespace koral {

std::string McuVersionText(uint8_t version) {
  const std::string digits = Hex2(version);
  return "MCU-Version=" + digits.substr(0, 1) + "." + digits.substr(1, 1);
}

std::string McuInfoText(const ParamBlock& block) {
  std::string code = "MCU-Code=";
  for (uint8_t byte : block.McuCode) code += Hex2(byte);
  return "MCU-Mode=" + Hex2(block.McuMode) + "  " + McuVersionText(block.McuVersion) + "  " + code;
}

}  // namespace koral
