#include "common/win/trusted_folders.h"

#include <windows.h>

#include <vector>

#include "common/core/trusted_folders.h"
#include "common/win/registry.h"

namespace koral {
namespace {

// A path the system writes into a buffer of the given size; empty when it failed or did not fit.
template <typename Call>
std::string SystemPath(Call call) {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::string(buffer.data(), length);
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

TrustedFolders ReadTrustedFolders() {
  TrustedFolders folders;
  const std::string own =
      SystemPath([](char* buffer, DWORD size) { return GetModuleFileNameA(nullptr, buffer, size); });
  folders.Windows = SystemPath([](char* buffer, DWORD size) { return GetWindowsDirectoryA(buffer, size); });
  folders.System = SystemPath([](char* buffer, DWORD size) { return GetSystemDirectoryA(buffer, size); });
  std::string location;
  // The 64-bit view, where the setup writes its entry.
  RegKey::Open(HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_QUERY_VALUE | KEY_WOW64_64KEY)
      .ReadText(kInstallLocationName, location);
  if (!own.empty() && !folders.Windows.empty())
    folders.Install = TrustedInstallFolder(FolderOf(own), folders.Windows, location);
  return folders;
}

}  // namespace koral
