#include "common/core/helper_command.h"

#include <gtest/gtest.h>

namespace koral {
namespace {

TEST(HelperCommand, ExactNamesWithTheirNumberOfFiles) {
  using Args = std::vector<std::string>;
  struct Case {
    Args Arguments;
    HelperCall Expected;
  };
  const Case cases[] = {
      {{"grant-users-write"}, {HelperCommand::kGrantUsersWrite, {}}},
      {{"keep-settings", "C:\\a b\\setup.ini"}, {HelperCommand::kKeepSettings, {"C:\\a b\\setup.ini"}}},
      {{"prepare-update", "C:\\Koral"}, {HelperCommand::kPrepareUpdate, {"C:\\Koral"}}},
      {{"prepare-update", "a.exe", "", "b.exe"}, {HelperCommand::kPrepareUpdate, {"a.exe", "", "b.exe"}}},
      {{"secure-folder", "C:\\Koral"}, {HelperCommand::kSecureFolder, {"C:\\Koral"}}},
      {{"install-driver", "K.sys"}, {HelperCommand::kInstallDriver, {"K.sys"}}},
      {{"remove-driver", "K.sys"}, {HelperCommand::kRemoveDriver, {"K.sys"}}},
      {{"stage-ini", "s.ini", "p.txt", "C:\\"}, {HelperCommand::kStageIni, {"s.ini", "p.txt", "C:\\"}}},
      {{"stage-ini", "s.ini", "p.txt", "C:\\", "/S", "/INI=a b.ini"},
       {HelperCommand::kStageIni, {"s.ini", "p.txt", "C:\\", "/S", "/INI=a b.ini"}}},
      {{}, {}},
      {{""}, {}},
      {{"grant-users-write", "x"}, {}},
      {{"keep-settings"}, {}},
      {{"prepare-update"}, {}},
      {{"secure-folder"}, {}},
      {{"stage-ini", "s.ini", "p.txt"}, {}},
      {{"install-driver", "a", "b"}, {}},
      {{"REMOVE-DRIVER", "K.sys"}, {}},
      {{"/remove-driver", "K.sys"}, {}},
  };
  for (const Case& c : cases) {
    const std::string shown = c.Arguments.empty() ? "(none)" : c.Arguments[0];
    EXPECT_EQ(ParseHelperCall(c.Arguments), c.Expected) << shown << " with " << c.Arguments.size() << " arguments";
  }
}

}  // namespace
}  // namespace koral
