// What the installation package does through a program of ours rather than in its own script:
// the model key's access for standard users, the settings an installation over an existing one
// keeps, and the substitute driver's service. The setup and the file remover carry the helper
// and run it from their temporary folder; it is never installed.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace koral::package {

// Gives the Users group read access and the right to set values on this key alone (no sub-keys
// inherit it), keeping every entry the key already has. A Win32 error code, 0 on success; a
// missing key is an error and is not created.
DWORD GrantUsersWrite(HKEY root, const std::string& path);

// Leaves out of the "Settings" section of `iniFile` every key whose seeded value the model key
// (root\path) already holds, whatever its type, so that the setup finisher keeps what the user
// has. The keys removed come back in `removed`; a missing key keeps everything. False when a
// key could not be removed.
bool KeepExistingSettings(HKEY root, const std::string& path, const std::string& iniFile,
                          std::vector<std::string>& removed);

// What the setup's "/INI=file" option came to (stage-ini's exit code).
enum class IniStaging {
  Done = 0,     // no /INI=, or the file passed and its bytes are staged
  Refused = 2,  // the option or the file was refused; `problems` says why, a line each
};

// Finds "/INI=" in the setup's argument text and checks the file it names by the control panel's
// import rules; the bytes that passed are written to `staged`, for the setup to install in
// place of its own "setup.ini" (so that what is installed is exactly what was checked). Without
// the option nothing is staged, and `staged` does not exist afterwards either way unless the
// file passed.
IniStaging StageSettingsFile(std::string_view setupArguments, const std::string& staged,
                             std::vector<std::string>& problems);

// Waits up to `waitMs` until every file of the list that exists can be opened for writing (no
// program runs from it); false when one is still in use then.
bool WaitUntilFree(const std::vector<std::string>& files, DWORD waitMs);

// Before an installation over an existing one in `installFolder`: tells that installation's
// right-button tool and companion to quit (through the driver, when it is there; only windows of
// their programs in that folder are sent anything), then WaitUntilFree. False when a file stays
// in use.
bool PrepareUpdate(const std::string& installFolder, const std::vector<std::string>& files);

// What making sure of the installation folder came to.
enum class FolderCheck {
  Secured = 0,  // it is admin-only (made so now, if it was missing) and nobody else can move it
  Refused = 1,  // it, or a folder above it, is not in administrators' hands
  Failed = 3,   // not a usable folder, or it could not be made
};

// The programs installed in `folder` run elevated and for every user, so nobody but the
// administrators may change them. Missing folders (the folder itself and any above it) are made
// with an access list of their own, not inherited: SYSTEM and Administrators all access, Users
// read and execute. An existing folder is used only when it already is admin-only (IsAdminOnly);
// an existing folder on the way must not let others move it (OthersCannotMove). Nothing existing
// is changed: a folder someone else could write may hold their files already.
FolderCheck SecureInstallFolder(const std::string& folder);

// The driver image a service names is ours: the same path, in any case, with or without the
// "\??\" prefix the service manager may add.
bool SameImage(const std::string& configured, const std::string& ours);

// What installing the substitute driver came to.
enum class DriverInstall {
  Started = 0,    // the service runs and the device opens
  Installed = 1,  // the service is set up; Windows starts it at its next start
  Foreign = 2,    // a KORALPS2 service with another image exists; it was left as it was
  Failed = 3,     // the service could not be set up
};

// Sets up the substitute driver `image` as the automatically started kernel service KORALPS2 and
// starts it, unless a service of that name runs another image (the real driver). A service that
// cannot be asked about is not touched (Failed): it may well be the real driver's.
DriverInstall InstallDriver(const std::string& image);

// What to do about the service KORALPS2 before installing `image`, from what asking about it gave:
// `queryError` ERROR_SUCCESS with its `binaryPath`, ERROR_SERVICE_DOES_NOT_EXIST, or another error.
enum class ServiceStep { Create, KeepOurs, LeaveForeign, GiveUp };
ServiceStep StepForService(DWORD queryError, const std::string& binaryPath, const std::string& image);

// Stops and deletes the service KORALPS2 when it runs `image`; any other (or none) is left
// alone. A Win32 error code, 0 on success or when there was nothing of ours to remove.
DWORD RemoveDriver(const std::string& image);

}  // namespace koral::package
