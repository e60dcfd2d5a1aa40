// Restarting Windows at the end of the setup tools' work.
#pragma once

#include <windows.h>

#include <string>

namespace koral {

using ExitWindowsCall = BOOL(WINAPI*)(UINT flags, DWORD reason);

// Asks Windows to restart (EWX_REBOOT), after enabling the process's shutdown privilege where the
// system has one. When Windows refuses, "Fail to restart system! (ExitWindowsEx=0)" shows in a
// plain box with the caption and the result is false. `exitWindows` replaces the system call for
// tests that must not restart their session.
bool RestartWindows(const std::string& caption, ExitWindowsCall exitWindows = ExitWindowsEx);

// Enables SE_SHUTDOWN_NAME in the process token; false on a system without tokens or when the
// token does not hold the privilege.
bool EnableShutdownPrivilege();

}  // namespace koral
