#include "common/core/helper_command.h"

#include <string_view>

namespace koral {
namespace {

constexpr size_t kAnyNumber = static_cast<size_t>(-1);

struct CommandForm {
  std::string_view Name;
  HelperCommand Command;
  size_t Fewest;
  size_t Most;
};

constexpr CommandForm kCommands[] = {
    {"grant-users-write", HelperCommand::kGrantUsersWrite, 0, 0},
    {"keep-settings", HelperCommand::kKeepSettings, 1, 1},
    {"prepare-update", HelperCommand::kPrepareUpdate, 1, kAnyNumber},
    {"secure-folder", HelperCommand::kSecureFolder, 1, 1},
    {"install-driver", HelperCommand::kInstallDriver, 1, 1},
    {"remove-driver", HelperCommand::kRemoveDriver, 1, 1},
    {"stage-ini", HelperCommand::kStageIni, 3, kAnyNumber},
};

}  // namespace

HelperCall ParseHelperCall(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return {};
  for (const CommandForm& form : kCommands) {
    if (arguments[0] != form.Name) continue;
    const size_t files = arguments.size() - 1;
    if (files < form.Fewest || files > form.Most) return {};
    return {form.Command, std::vector<std::string>(arguments.begin() + 1, arguments.end())};
  }
  return {};
}

}  // namespace koral
