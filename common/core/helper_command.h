// The installation package's helper reads its arguments here: which command, with which files.
// The setup and the file remover start it, but any process that can start a program can give it
// any arguments.
#pragma once

#include <string>
#include <vector>

namespace koral {

enum class HelperCommand {
  kUsage,            // no command it knows, or the wrong number of files for it
  kGrantUsersWrite,  // grant-users-write
  kKeepSettings,     // keep-settings <setup.ini>
  kPrepareUpdate,    // prepare-update <installation folder> <file>...
  kSecureFolder,     // secure-folder <installation folder>
  kInstallDriver,    // install-driver <image>
  kRemoveDriver,     // remove-driver <image>
  kStageIni,         // stage-ini <staged> <problems> <folder> <the setup's arguments>...
};

struct HelperCall {
  HelperCommand Command = HelperCommand::kUsage;
  std::vector<std::string> Files;  // the arguments after the command, as given
  friend bool operator==(const HelperCall&, const HelperCall&) = default;
};

// The arguments after the program's name. Command names are exact (lower case);
// grant-users-write takes no file; keep-settings, secure-folder, install-driver and remove-driver
// exactly one; prepare-update the installation folder and any number of programs after it;
// stage-ini its three files and any number of the setup's arguments after them.
HelperCall ParseHelperCall(const std::vector<std::string>& arguments);

}  // namespace koral
