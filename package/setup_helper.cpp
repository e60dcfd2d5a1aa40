#include "package/setup_helper.h"

#include <aclapi.h>
#include <sddl.h>

#include <memory>
#include <optional>

#include "common/core/folder_access.h"
#include "common/core/command_lines.h"
#include "common/core/settings_file.h"
#include "common/core/setup_settings.h"
#include "common/core/trusted_folders.h"
#include "common/win/driver_link.h"
#include "common/win/handles.h"
#include "common/win/registry.h"
#include "common/win/service_control.h"
#include "common/win/trusted_folders.h"
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

// The access list a folder the setup makes gets, not inherited: SYSTEM and Administrators all
// access, Users read and execute; owned by the Administrators.
constexpr char kLockedFolderSddl[] = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
// NT SERVICE\TrustedInstaller, which owns the system's own folders.
constexpr char kInstallerSid[] = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

using SecurityDescriptor = LocalMemory<void>;

SecurityDescriptor LockedFolderSecurity() {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kLockedFolderSddl, SDDL_REVISION_1, &descriptor, nullptr))
    return SecurityDescriptor();
  return SecurityDescriptor(descriptor);
}

// Reads folders' owners and access lists in the terms of folder_access.h.
class FolderJudge {
 public:
  FolderJudge() {
    DWORD size = sizeof system_;
    CreateWellKnownSid(WinLocalSystemSid, nullptr, system_, &size);
    size = sizeof administrators_;
    CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators_, &size);
    size = sizeof creatorOwner_;
    CreateWellKnownSid(WinCreatorOwnerSid, nullptr, creatorOwner_, &size);
    PSID installer = nullptr;
    if (ConvertStringSidToSidA(kInstallerSid, &installer)) {
      CopySid(sizeof installer_, installer_, installer);
      LocalFree(installer);
    }
    // The user running the setup counts only as an administrator.
    BOOL administrator = FALSE;
    UniqueHandle token;
    HANDLE raw = nullptr;
    if (CheckTokenMembership(nullptr, administrators_, &administrator) && administrator &&
        OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) {
      token.reset(raw);
      DWORD needed = 0;
      GetTokenInformation(token.get(), TokenUser, nullptr, 0, &needed);
      std::vector<BYTE> user(needed);
      if (needed > 0 && GetTokenInformation(token.get(), TokenUser, user.data(), needed, &needed))
        CopySid(sizeof setupUser_, setupUser_, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
    }
  }

  bool AdminOnly(const std::string& folder) const {
    const auto access = Read(folder);
    return access && IsAdminOnly(*access);
  }
  bool Fixed(const std::string& folder, const std::string& parent) const {
    const auto access = Read(folder);
    const auto above = Read(parent);
    return access && above && OthersCannotMove(*access, *above);
  }

 private:
  Trustee Who(PSID sid) const {
    if (sid == nullptr || !IsValidSid(sid)) return Trustee::kOther;
    if (EqualSid(sid, const_cast<BYTE*>(system_))) return Trustee::kSystem;
    if (EqualSid(sid, const_cast<BYTE*>(administrators_))) return Trustee::kAdministrators;
    if (IsValidSid(const_cast<BYTE*>(installer_)) && EqualSid(sid, const_cast<BYTE*>(installer_)))
      return Trustee::kInstaller;
    if (EqualSid(sid, const_cast<BYTE*>(creatorOwner_))) return Trustee::kCreatorOwner;
    if (IsValidSid(const_cast<BYTE*>(setupUser_)) && EqualSid(sid, const_cast<BYTE*>(setupUser_)))
      return Trustee::kSetupUser;
    return Trustee::kOther;
  }

  std::optional<FolderAccess> Read(const std::string& folder) const {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              &owner, nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
      return std::nullopt;
    const LocalMemory<void> descriptorOwner(descriptor);
    FolderAccess access;
    access.Owner = Who(owner);
    access.HasList = dacl != nullptr;
    for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
      void* raw = nullptr;
      if (!GetAce(dacl, i, &raw)) return std::nullopt;
      const auto* header = static_cast<const ACE_HEADER*>(raw);
      AccessEntry entry;
      entry.InheritOnly = (header->AceFlags & INHERIT_ONLY_ACE) != 0;
      if (header->AceType == ACCESS_ALLOWED_ACE_TYPE || header->AceType == ACCESS_DENIED_ACE_TYPE) {
        const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
        entry.Who = Who(const_cast<DWORD*>(&ace->SidStart));
        entry.Allows = header->AceType == ACCESS_ALLOWED_ACE_TYPE;
        entry.Mask = ace->Mask;
      } else {
        // Entries of other kinds are not read: they count as granting anyone everything, unless
        // they are of a kind that denies.
        entry.Allows = header->AceType != ACCESS_DENIED_OBJECT_ACE_TYPE &&
                       header->AceType != ACCESS_DENIED_CALLBACK_ACE_TYPE &&
                       header->AceType != ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE;
        entry.Mask = static_cast<const ACCESS_ALLOWED_ACE*>(raw)->Mask;
      }
      access.Entries.push_back(entry);
    }
    return access;
  }

  BYTE system_[SECURITY_MAX_SID_SIZE] = {};
  BYTE administrators_[SECURITY_MAX_SID_SIZE] = {};
  BYTE creatorOwner_[SECURITY_MAX_SID_SIZE] = {};
  BYTE installer_[SECURITY_MAX_SID_SIZE] = {};
  BYTE setupUser_[SECURITY_MAX_SID_SIZE] = {};
};

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

bool PrepareUpdate(const std::string& installFolder, const std::vector<std::string>& files) {
  // This helper runs from the setup's temporary folder: the installation being replaced is the one
  // whose programs may be told to quit.
  const std::string trusted = IsUsableFolder(installFolder) ? installFolder : std::string();
  device::DriverSession driver;
  device::StopAuxiliaryPrograms(driver, trusted);
  return WaitUntilFree(files, kQuitWaitMs);
}

FolderCheck SecureInstallFolder(const std::string& folder) {
  const std::vector<std::string> levels = FolderLevels(folder);
  if (levels.empty()) return FolderCheck::Failed;
  const FolderJudge judge;
  // The folders that exist, from the root down; every one below the root must stay where it is.
  size_t existing = 0;
  for (; existing < levels.size(); ++existing) {
    const DWORD attributes = GetFileAttributesA(levels[existing].c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) break;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return FolderCheck::Failed;
    if (existing > 0 && !judge.Fixed(levels[existing], levels[existing - 1])) return FolderCheck::Refused;
  }
  if (existing == levels.size()) return judge.AdminOnly(folder) ? FolderCheck::Secured : FolderCheck::Refused;

  const SecurityDescriptor locked = LockedFolderSecurity();
  if (!locked) return FolderCheck::Failed;
  SECURITY_ATTRIBUTES attributes{sizeof attributes, locked.get(), FALSE};
  for (size_t level = existing; level < levels.size(); ++level) {
    if (CreateDirectoryA(levels[level].c_str(), &attributes)) continue;
    // Made by someone else in the meantime: judged as any existing folder.
    if (GetLastError() != ERROR_ALREADY_EXISTS || level == 0) return FolderCheck::Failed;
    if (!judge.Fixed(levels[level], levels[level - 1]) || !judge.AdminOnly(levels[level])) return FolderCheck::Refused;
  }
  return FolderCheck::Secured;
}

bool SameImage(const std::string& configured, const std::string& ours) {
  std::string path = configured;
  if (path.rfind("\\??\\", 0) == 0) path.erase(0, 4);
  return !ours.empty() && Lower(path) == Lower(ours);
}

ServiceStep StepForService(DWORD queryError, const std::string& binaryPath, const std::string& image) {
  if (queryError == ERROR_SERVICE_DOES_NOT_EXIST) return ServiceStep::Create;
  if (queryError != ERROR_SUCCESS) return ServiceStep::GiveUp;
  return SameImage(binaryPath, image) ? ServiceStep::KeepOurs : ServiceStep::LeaveForeign;
}

DriverInstall InstallDriver(const std::string& image) {
  service::ServiceInfo existing;
  DWORD queried = service::Query(existing);
  ServiceStep step = StepForService(queried, existing.BinaryPath, image);
  if (step == ServiceStep::Create) {
    const DWORD created = service::Create(image);
    if (created == ERROR_SERVICE_EXISTS) {
      // One that appeared since the question is judged as one that was there.
      queried = service::Query(existing);
      step = StepForService(queried, existing.BinaryPath, image);
    } else if (created != ERROR_SUCCESS) {
      return DriverInstall::Failed;
    }
  }
  if (step == ServiceStep::LeaveForeign) return DriverInstall::Foreign;
  if (step == ServiceStep::GiveUp) return DriverInstall::Failed;
  // Ours from an earlier installation: set up afresh (automatic start), with the same image.
  if (step == ServiceStep::KeepOurs && service::Install(image) != ERROR_SUCCESS) return DriverInstall::Failed;
  if (service::Start() != ERROR_SUCCESS || !service::WaitForDevice(kDeviceWaitMs)) return DriverInstall::Installed;
  return DriverInstall::Started;
}

DWORD RemoveDriver(const std::string& image) {
  service::ServiceInfo existing;
  const DWORD queried = service::Query(existing);
  if (queried == ERROR_SERVICE_DOES_NOT_EXIST) return ERROR_SUCCESS;
  if (queried != ERROR_SUCCESS) return queried;
  if (!SameImage(existing.BinaryPath, image)) return ERROR_SUCCESS;
  // A driver that will not stop is still deleted: Windows removes it at the next start.
  service::Stop(kStopWaitMs);
  return service::Uninstall();
}

}  // namespace koral::package
