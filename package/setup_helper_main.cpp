// The installation package's helper (see setup_helper.h). No window; the exit code is the answer.
//
//   setup_helper.exe grant-users-write           the model key: Users may set its values
//   setup_helper.exe keep-settings <setup.ini>   leave out the settings the model key already holds
//   setup_helper.exe prepare-update <file>...    quit the auxiliary programs; 1 when a file stays in use
//   setup_helper.exe install-driver <image>      exit code: DriverInstall
//   setup_helper.exe stage-ini <staged> <problems> <folder> <the setup's arguments, as received>
//                                                exit code: IniStaging; the problems a line each;
//                                                a relative /INI= file is found from <folder>
//   setup_helper.exe remove-driver <image>
//
// Anything else ends with 64. The model key is the 64-bit view's, which this 64-bit program sees.
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "common/core/command_lines.h"

#include "common/win/profile.h"
#include "package/setup_helper.h"

int main(int argc, char** argv) {
  using namespace koral;
  constexpr int kUsage = 64;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::string modelKey = std::string(kModelKeyPath) + "\\" + kModelSubKey;
  const std::string command = args.empty() ? "" : args[0];
  if (command == "grant-users-write" && args.size() == 1)
    return package::GrantUsersWrite(HKEY_LOCAL_MACHINE, modelKey) == ERROR_SUCCESS ? 0 : 1;
  if (command == "keep-settings" && args.size() == 2) {
    std::vector<std::string> removed;
    return package::KeepExistingSettings(HKEY_LOCAL_MACHINE, modelKey, args[1], removed) ? 0 : 1;
  }
  if (command == "prepare-update")
    return package::PrepareUpdate(std::vector<std::string>(args.begin() + 1, args.end())) ? 0 : 1;
  if (command == "install-driver" && args.size() == 2) return static_cast<int>(package::InstallDriver(args[1]));
  if (command == "remove-driver" && args.size() == 2) return package::RemoveDriver(args[1]) == ERROR_SUCCESS ? 0 : 1;
  if (command == "stage-ini" && args.size() >= 4) {
    // The setup's arguments are taken from the raw command line, exactly as typed (quotes too),
    // and a relative file name means what it meant where the setup was started.
    SetCurrentDirectoryA(args[3].c_str());
    std::vector<std::string> problems;
    const auto result = package::StageSettingsFile(ArgumentsAfter(GetCommandLineA(), 5), args[1], problems);
    std::ofstream out(args[2], std::ios::binary | std::ios::trunc);
    for (const std::string& problem : problems) out << problem << "\r\n";
    return static_cast<int>(result);
  }
  return kUsage;
}
