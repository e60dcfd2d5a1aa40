#include "tests/support/setup_installation.h"

#include <fstream>
#include <sstream>

#include "common/core/mouse_class_rules.h"
#include "common/win/registry.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/slot_stand_in.h"

namespace koral::test {

namespace fs = std::filesystem;

bool SetupInstallation::Create(const std::string& name) {
  Root = fs::temp_directory_path() / name;
  Install = Root / "Program Files" / "TouchScreen";
  User = Root / "User";
  char windows[MAX_PATH] = {};
  if (GetWindowsDirectoryA(windows, MAX_PATH) == 0) return false;
  Windows = windows;
  std::error_code error;
  fs::remove_all(Root, error);
  fs::create_directories(Install, error);
  fs::create_directories(User, error);
  fs::create_directories(Windows / "inf", error);
  if (error) return false;
  RemoveWindowsFolderFiles(Windows);
  ClearMouseRegistration();
  RemoveModelKey();
  return WriteDevelopmentProfile(Install.string(), Windows.string());
}

SetupInstallation::~SetupInstallation() {
  ClearMouseRegistration();
  RemoveModelKey();
  std::error_code error;
  if (!Windows.empty()) RemoveWindowsFolderFiles(Windows);
  if (!Root.empty()) fs::remove_all(Root, error);
}

bool SetupInstallation::AddProgram(const char* program) const { return CopyProgram(program, Install); }

void RemoveWindowsFolderFiles(const fs::path& windows) {
  std::error_code error;
  for (const char* file : {"inf\\KORALPS2.INF", "WININIT.INI", "wininit.bak"}) fs::remove(windows / file, error);
}

void ClearMouseRegistration() {
  for (const char* path : {kMouseClassPath, "Enum\\ACPI", "Enum\\BIOS"}) registry::DeleteKey(HKEY_LOCAL_MACHINE, path);
}

bool MachineKeyExists(const std::string& path) {
  UniqueHKey key;
  return registry::OpenExistingKey(HKEY_LOCAL_MACHINE, path, key);
}

bool AddDeviceEnumKeys(const std::string& deviceId) {
  for (const std::string& path : {"Enum\\ACPI\\" + deviceId, "Enum\\BIOS\\" + deviceId}) {
    UniqueHKey key;
    if (!registry::OpenKey(HKEY_LOCAL_MACHINE, path, "0", key)) return false;
  }
  return true;
}

std::string FileText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

}  // namespace koral::test
