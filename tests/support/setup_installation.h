// A throwaway installation for the setup tools' end-to-end tests (which run in the restart prefix):
// an installation folder with a blank in its path under a temporary root, into which the test
// copies the program it runs (the setup tools take the installation folder from their own file);
// the prefix's own Windows folder (they take it from the system), with the files they write there
// removed before and after; the profile naming both, and the mouse class and enumeration keys
// emptied.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace koral::test {

class SetupInstallation {
 public:
  // Makes it afresh under the temporary folder's `name`; false when a step failed.
  bool Create(const std::string& name);
  // Removes the folders, the files written to the Windows folder, the model key and the mouse
  // class and enumeration keys.
  ~SetupInstallation();

  // A built program of the suite into the installation folder.
  bool AddProgram(const char* program) const;

  // Install: the installation folder; Windows: the system's Windows folder; User: a folder of the
  // root where a standard user could put programs of their own.
  std::filesystem::path Root, Install, Windows, User;
};

// The files the setup tools write into the Windows folder (the driver's INF file, WININIT.INI and
// what a restart makes of it), removed.
void RemoveWindowsFolderFiles(const std::filesystem::path& windows);

// The mouse class and the device enumeration keys, all of them.
void ClearMouseRegistration();
bool MachineKeyExists(const std::string& path);
// Both enumeration keys of the device, each with a sub-key.
bool AddDeviceEnumKeys(const std::string& deviceId);
std::string FileText(const std::filesystem::path& file);

}  // namespace koral::test
