#include "common/core/launch_rules.h"

#include <algorithm>

#include "common/core/path_limits.h"

namespace koral {

std::optional<std::string> ProgramCommandLine(const std::string& folder, const std::string& program) {
  const std::string path = folder + "\\" + program;
  const bool held = std::none_of(path.begin(), path.end(), [](char c) { return c == '"' || static_cast<unsigned char>(c) < 0x20; });
  if (!held || path.size() > kLongestPath) return std::nullopt;
  return "\"" + path + "\"";
}

}  // namespace koral
