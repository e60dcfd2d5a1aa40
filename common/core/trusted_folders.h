// Which folders a program of the suite may run, write and delete in. The model key's path values
// (`InstallPath`, `WindowsPath`, `SystemPath`) can be set by every standard user, so a program
// that runs elevated, or for whoever logs on, never takes such a path from them: the installation
// folder is the folder of the program's own file (only administrators can write there), or, for
// the uninstaller's copy in the Windows folder, the entry of Windows' list of installed programs
// (written by the setup; only administrators can change it); the Windows and system folders come
// from the system. The rules are here, the system calls in common/win/trusted_folders.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace koral {

// The setup's entry in Windows' list of installed programs (HKEY_LOCAL_MACHINE) and its value
// naming the installation folder.
inline constexpr const char kUninstallEntryKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TouchScreen KR-PS2";
inline constexpr const char kInstallLocationName[] = "InstallLocation";

// The folder part of a path: everything before its last "\" or "/" ("C:\A\b.exe" -> "C:\A");
// empty when there is none.
std::string FolderOf(std::string_view path);

// Two paths name the same file or folder as Windows compares them: letters in any case, "/" as
// "\", trailing separators ignored ("C:\A\" and "c:/a" are the same; "C:\" and "C:" too).
bool SamePath(std::string_view a, std::string_view b);

// A complete folder path a program may use: a drive ("C:\...") or a share ("\\server\share..."),
// no parent steps (".."), no control characters, no quotes and no wildcards.
bool IsUsableFolder(std::string_view folder);

// The folders from the root down to `folder`, each a complete path: "C:\A\B" -> "C:\", "C:\A",
// "C:\A\B"; "\\server\share\A" -> "\\server\share\", "\\server\share\A". Empty for a folder
// that is not usable (IsUsableFolder).
std::vector<std::string> FolderLevels(std::string_view folder);

// The installation folder to trust: the program's own folder, unless that is the Windows folder
// (the uninstaller's copy), where the installed-programs entry's location counts. Empty when
// that location is missing or not a usable folder: the caller then runs nothing.
std::string TrustedInstallFolder(std::string_view ownFolder, std::string_view windowsFolder,
                                 std::string_view installLocation);

}  // namespace koral
