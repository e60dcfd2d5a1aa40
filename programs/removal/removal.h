// The uninstaller's work once the user has said Yes: the auxiliary programs stopped, the
// installation's file remover run and waited for, the uninstaller's own copy scheduled for
// deletion, the touchscreen's mouse registration removed, and Windows restarted.
//
// The last message says the removal is complete only when every step of it was: a file remover
// that ends with an exit code other than 0 (it could not remove the driver, say) stops the
// removal before any registry change, as one that does not end does; a copy that cannot be
// scheduled for deletion and a class key that cannot be deleted are each reported, the removal
// goes on, and the last message says that it is not complete.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "common/win/handles.h"
#include "common/win/profile.h"
#include "common/win/trusted_folders.h"
#include "forms/frmMessage.h"
#include "ui/application.h"

namespace koral::removal {

// Starts "<installation folder>\unins000.exe" /SILENT in a normal window and opens its process
// for waiting and for its exit code; false when either fails or no installation folder can be
// trusted (`installFolder` empty).
bool StartFileRemover(const std::string& installFolder, UniqueHandle& process);

// Up to ten one-second waits for the remover, processing window events before each. True when it
// ended; otherwise "Fail to remove files! (WAIT_...)" has been shown.
bool WaitForFileRemover(ui::Application& app, HANDLE process);

// The exit code of an ended remover; nothing when it cannot be read.
std::optional<uint32_t> RemoverExitCode(HANDLE process);

// Deletes the touchscreen's PS/2 keys of the mouse class (every numbered sub-key, also past a
// missing number) and the device's enumeration keys. False when a class key could not be
// deleted (each such key has been reported).
bool RemoveMouseClassEntries();

// The whole removal, with `progress` as its progress window; returns when the program is to end.
// It runs, stops and writes only in the trusted folders.
void RemoveTouchScreen(ui::Application& app, const TrustedFolders& trusted, frmMessage& progress);

}  // namespace koral::removal
