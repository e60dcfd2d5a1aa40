// A throwaway installation for the setup tools' end-to-end tests (which run in the restart prefix):
// an installation folder with a blank in its path and a Windows folder with an "inf" folder under
// one temporary root, the profile naming them, and the mouse class and enumeration keys emptied.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace koral::test {

class SetupInstallation {
 public:
  // Makes it afresh under the temporary folder's `name`; false when a step failed.
  bool Create(const std::string& name);
  // Removes the folders, the model key and the mouse class and enumeration keys.
  ~SetupInstallation();

  std::filesystem::path Root, Install, Windows;
};

// The mouse class and the device enumeration keys, all of them.
void ClearMouseRegistration();
bool MachineKeyExists(const std::string& path);
// Both enumeration keys of the device, each with a sub-key.
bool AddDeviceEnumKeys(const std::string& deviceId);
std::string FileText(const std::filesystem::path& file);

}  // namespace koral::test
