#include "package/setup_helper.h"

#include <aclapi.h>

#include <memory>

#include "common/core/command_lines.h"
#include "common/core/settings_file.h"
#include "common/core/setup_settings.h"
#include "common/win/driver_link.h"
#include "common/win/handles.h"
#include "common/win/registry.h"
#include "common/win/service_control.h"
#include "common/win/text_files.h"

namespace koral::package {
namespace {

struct LocalFreeDeleter {
  void operator()(void* memory) const { LocalFree(memory); }
};
template <typename T>
using LocalMemory = std::unique_ptr<T, LocalFreeDeleter>;

constexpr char kSettingsSection[] = "Settings";
constexpr DWORD kDeviceWaitMs = 10000;
// The file remover must end within the uninstaller's ten seconds, the driver's stop included.
constexpr DWORD kStopWaitMs = 3000;
// Long enough for the right-button tool and the companion to end once told.
constexpr DWORD kQuitWaitMs = 5000;

// The rights the Users group gets on the model key: read it and set its values.
constexpr DWORD kUsersRights = KEY_READ | KEY_SET_VALUE;

// The list already lets Users set values on this key alone (an earlier installation's grant).
bool UsersAlreadyGranted(const ACL* dacl, const void* users) {
  if (dacl == nullptr) return false;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* entry = nullptr;
    if (!GetAce(const_cast<ACL*>(dacl), i, &entry)) continue;
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
    if (allowed->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && (allowed->Header.AceFlags & INHERITED_ACE) == 0 &&
        (allowed->Mask & kUsersRights) == kUsersRights &&
        EqualSid(const_cast<DWORD*>(&allowed->SidStart), const_cast<void*>(users)))
      return true;
  }
  return false;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

}  // namespace

DWORD GrantUsersWrite(HKEY root, const std::string& path) {
  const RegKey key = RegKey::Open(root, path, READ_CONTROL | WRITE_DAC);
  if (!key) return static_cast<DWORD>(key.Error());

  PACL current = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (const DWORD error = GetSecurityInfo(key.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                          &current, nullptr, &descriptor);
      error != ERROR_SUCCESS)
    return error;
  const LocalMemory<void> descriptorOwner(descriptor);

  BYTE users[SECURITY_MAX_SID_SIZE] = {};
  DWORD size = sizeof users;
  if (!CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size)) return GetLastError();
  // A key without an access list is open to everyone already, and a list of the new entry alone
  // would shut everyone else out. Granting again would add an entry at every installation on
  // systems that do not merge them.
  if (current == nullptr || UsersAlreadyGranted(current, users)) return ERROR_SUCCESS;

  EXPLICIT_ACCESSA access{};
  access.grfAccessPermissions = kUsersRights;
  access.grfAccessMode = GRANT_ACCESS;
  access.grfInheritance = NO_INHERITANCE;
  access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  access.Trustee.ptstrName = reinterpret_cast<LPSTR>(users);
  PACL updated = nullptr;
  if (const DWORD error = SetEntriesInAclA(1, &access, current, &updated); error != ERROR_SUCCESS) return error;
  const LocalMemory<ACL> updatedOwner(updated);
  return SetSecurityInfo(key.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, updated, nullptr);
}

bool KeepExistingSettings(HKEY root, const std::string& path, const std::string& iniFile,
                          std::vector<std::string>& removed) {
  removed.clear();
  const RegKey key = RegKey::Open(root, path, KEY_QUERY_VALUE);
  if (!key) return true;
  bool ok = true;
  for (const SetupIniKey& setting : kSetupIniKeys) {
    if (!key.Has(std::string(SeededValueOf(setting.Name)))) continue;
    if (WritePrivateProfileStringA(kSettingsSection, setting.Name, nullptr, iniFile.c_str()))
      removed.emplace_back(setting.Name);
    else
      ok = false;
  }
  return ok;
}

IniStaging StageSettingsFile(std::string_view setupArguments, const std::string& staged,
                             std::vector<std::string>& problems) {
  problems.clear();
  DeleteFileA(staged.c_str());
  const SetupIniOption option = ParseSetupIniOption(setupArguments);
  if (option.What == SetupIniOption::Kind::Absent) return IniStaging::Done;
  if (option.What == SetupIniOption::Kind::Invalid) {
    problems.push_back(option.Problem);
    return IniStaging::Refused;
  }
  const FileBytes read = ReadFileStart(option.File, kSettingsFileLimit + 1);
  if (!read.Read) {
    problems.push_back(read.Problem);
    return IniStaging::Refused;
  }
  problems = CheckSettingsFile(option.File, read.Bytes).Problems;
  if (!problems.empty()) return IniStaging::Refused;
  if (std::string failed = ReplaceFileContent(staged, read.Bytes); !failed.empty()) {
    problems.push_back(std::move(failed));
    return IniStaging::Refused;
  }
  return IniStaging::Done;
}

bool WaitUntilFree(const std::vector<std::string>& files, DWORD waitMs) {
  const ULONGLONG end = GetTickCount64() + waitMs;
  for (const std::string& file : files) {
    for (;;) {
      const UniqueHandle handle(
          CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (handle || GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND) break;
      if (GetTickCount64() >= end) return false;
      Sleep(50);
    }
  }
  return true;
}

bool PrepareUpdate(const std::vector<std::string>& files) {
  device::StopAuxiliaryPrograms();
  return WaitUntilFree(files, kQuitWaitMs);
}

bool SameImage(const std::string& configured, const std::string& ours) {
  std::string path = configured;
  if (path.rfind("\\??\\", 0) == 0) path.erase(0, 4);
  return !ours.empty() && Lower(path) == Lower(ours);
}

DriverInstall InstallDriver(const std::string& image) {
  if (const auto service = service::Query(); service && !SameImage(service->BinaryPath, image))
    return DriverInstall::Foreign;
  if (service::Install(image) != ERROR_SUCCESS) return DriverInstall::Failed;
  if (service::Start() != ERROR_SUCCESS || !service::WaitForDevice(kDeviceWaitMs)) return DriverInstall::Installed;
  return DriverInstall::Started;
}

DWORD RemoveDriver(const std::string& image) {
  const auto service = service::Query();
  if (!service || !SameImage(service->BinaryPath, image)) return ERROR_SUCCESS;
  // A driver that will not stop is still deleted: Windows removes it at the next start.
  service::Stop(kStopWaitMs);
  return service::Uninstall();
}

}  // namespace koral::package
