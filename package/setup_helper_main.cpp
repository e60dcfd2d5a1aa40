// The installation package's helper (see setup_helper.h). No window; the exit code is the answer.
//
//   setup_helper.exe grant-users-write           the model key: Users may set its values
//   setup_helper.exe keep-settings <setup.ini>   leave out the settings the model key already holds
//   setup_helper.exe prepare-update <folder> <file>...
//                                                quit the auxiliary programs of the installation in
//                                                <folder>; 1 when a file stays in use
//   setup_helper.exe secure-folder <folder>      exit code: FolderCheck
//   setup_helper.exe install-driver <image>      exit code: DriverInstall
//   setup_helper.exe remove-driver <image>
//
// Anything else ends with 64. The model key is the 64-bit view's, which this 64-bit program sees.
#include <string>
#include <vector>

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
  if (command == "prepare-update" && args.size() >= 2)
    return package::PrepareUpdate(args[1], std::vector<std::string>(args.begin() + 2, args.end())) ? 0 : 1;
  if (command == "secure-folder" && args.size() == 2) return static_cast<int>(package::SecureInstallFolder(args[1]));
  if (command == "install-driver" && args.size() == 2) return static_cast<int>(package::InstallDriver(args[1]));
  if (command == "remove-driver" && args.size() == 2) return package::RemoveDriver(args[1]) == ERROR_SUCCESS ? 0 : 1;
  return kUsage;
}
