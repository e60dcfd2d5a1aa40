// The installation package's helper (see setup_helper.h). No window; the exit code is the answer.
//
//   setup_helper.exe grant-users-write           the model key: Users may set its values
//   setup_helper.exe keep-settings <setup.ini>   leave out the settings the model key already holds
//   setup_helper.exe prepare-update <folder> <file>...
//                                                quit the auxiliary programs of the installation in
//                                                <folder>; 1 when a file stays in use
//   setup_helper.exe secure-folder <folder>      exit code: FolderCheck
//   setup_helper.exe install-driver <image>      exit code: DriverInstall
//   setup_helper.exe stage-ini <staged> <problems> <folder> <the setup's arguments, as received>
//                                                exit code: IniStaging; the problems a line each;
//                                                a relative /INI= file is found from <folder>
//   setup_helper.exe remove-driver <image>
//
// Anything else ends with 64 (ParseHelperCall). The model key is the 64-bit view's, which this
// 64-bit program sees.
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "common/core/command_lines.h"
#include "common/core/helper_command.h"
#include "common/win/profile.h"
#include "package/setup_helper.h"

int main(int argc, char** argv) {
  using namespace koral;
  constexpr int kUsage = 64;
  const HelperCall call = ParseHelperCall(std::vector<std::string>(argv + 1, argv + argc));
  const std::string modelKey = std::string(kModelKeyPath) + "\\" + kModelSubKey;
  switch (call.Command) {
    case HelperCommand::kGrantUsersWrite:
      return package::GrantUsersWrite(HKEY_LOCAL_MACHINE, modelKey) == ERROR_SUCCESS ? 0 : 1;
    case HelperCommand::kKeepSettings: {
      std::vector<std::string> removed;
      return package::KeepExistingSettings(HKEY_LOCAL_MACHINE, modelKey, call.Files[0], removed) ? 0 : 1;
    }
    case HelperCommand::kPrepareUpdate:
      return package::PrepareUpdate(call.Files[0], std::vector<std::string>(call.Files.begin() + 1, call.Files.end())) ? 0 : 1;
    case HelperCommand::kSecureFolder:
      return static_cast<int>(package::SecureInstallFolder(call.Files[0]));
    case HelperCommand::kInstallDriver:
      return static_cast<int>(package::InstallDriver(call.Files[0]));
    case HelperCommand::kRemoveDriver:
      return package::RemoveDriver(call.Files[0]) == ERROR_SUCCESS ? 0 : 1;
    case HelperCommand::kStageIni: {
      // The setup's arguments are taken from the raw command line, exactly as typed (quotes too),
      // and a relative file name means what it meant where the setup was started.
      std::vector<std::string> problems;
      auto result = package::IniStaging::Refused;
      if (SetCurrentDirectoryA(call.Files[2].c_str()))
        result = package::StageSettingsFile(ArgumentsAfter(GetCommandLineA(), 5), call.Files[0], problems);
      else
        problems.push_back("The folder the setup was started in cannot be found: " + call.Files[2]);
      std::ofstream out(call.Files[1], std::ios::binary | std::ios::trunc);
      for (const std::string& problem : problems) out << problem << "\r\n";
      return static_cast<int>(result);
    }
    case HelperCommand::kUsage:
      break;
  }
  return kUsage;
}
