#include "common/core/launch_rules.h"

namespace koral {

std::string ProgramCommandLine(const std::string& folder, const std::string& program) {
  return "\"" + folder + "\\" + program + "\"";
}

}  // namespace koral
