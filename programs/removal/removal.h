// The uninstaller's work once the user has said Yes: the auxiliary programs stopped, the
// installation's file remover run and waited for, the uninstaller's own copy scheduled for
// deletion, the touchscreen's mouse registration removed, and Windows restarted.
#pragma once

#include <string>

#include "common/win/handles.h"

namespace koral::removal {

// Starts "<installation folder>\unins000.exe" /SILENT in a normal window and opens its process
// for waiting; false when either fails or no installation folder can be trusted (Trusted()).
bool StartFileRemover(UniqueHandle& process);

// Up to ten one-second waits for the remover, processing window events before each. True when it
// ended; otherwise "Fail to remove files! (WAIT_...)" has been shown.
bool WaitForFileRemover(HANDLE process);

// Deletes the touchscreen's PS/2 keys of the mouse class (every numbered sub-key, also past a
// missing number) and the device's enumeration keys.
void RemoveMouseClassEntries();

// The whole removal; returns when the program is to end.
void RemoveTouchScreen();

}  // namespace koral::removal
