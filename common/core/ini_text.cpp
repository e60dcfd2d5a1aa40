#include "common/core/ini_text.h"

namespace koral {

std::string CleanIniValue(std::string_view returned) {
  const auto nul = returned.find('\0');
  if (nul != std::string_view::npos) returned = returned.substr(0, nul);
  const auto last = returned.find_last_not_of(' ');
  return std::string(last == std::string_view::npos ? std::string_view() : returned.substr(0, last + 1));
}

bool IniTextIsSafe(std::string_view text) { return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos; }

}  // namespace koral
