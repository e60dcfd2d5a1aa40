#include "common/core/registry_value.h"

namespace koral {

std::optional<std::string> DecodeText(uint32_t type, std::string_view data) {
  if (type != kRegText) return std::nullopt;
  return std::string(data.substr(0, data.find('\0')));
}

std::optional<int32_t> DecodeNumber(uint32_t type, std::string_view data) {
  if (type != kRegNumber || data.size() != 4) return std::nullopt;
  uint32_t value = 0;
  for (size_t i = 4; i-- > 0;) value = value << 8 | static_cast<uint8_t>(data[i]);
  return static_cast<int32_t>(value);
}

}  // namespace koral
