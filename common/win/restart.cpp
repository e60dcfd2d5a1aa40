#include "common/win/restart.h"

#include "common/core/setup_messages.h"
#include "common/win/handles.h"
#include "common/win/message_box.h"

namespace koral {

bool EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  const UniqueHandle owned(token);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) return false;
  // Succeeds with ERROR_NOT_ALL_ASSIGNED when the token lacks the privilege.
  return AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) && GetLastError() == ERROR_SUCCESS;
}

bool RestartWindows(const std::string& caption, ExitWindowsCall exitWindows) {
  // Windows NT refuses the restart without the privilege; Windows 98 had none to enable, and a
  // token that cannot be adjusted still lets the system decide.
  EnableShutdownPrivilege();
  if (exitWindows(EWX_REBOOT, 0)) return true;
  PlainBox(kRestartFailureText, caption);
  return false;
}

}  // namespace koral
