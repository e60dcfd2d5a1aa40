// The fixed texts of the setup finisher and the uninstaller.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace koral {

inline constexpr const char kSetupProgressText[] = "Setup is updating your system...";
inline constexpr const char kRemovalProgressText[] = "Removing files from your system...";

inline constexpr const char kSetupFinishedText[] =
    "Setup has finished installing TouchScreen drivers and utilities on your computer.\r\n\r\n"
    "The Windows must be restarted.";
inline constexpr const char kRemovalFinishedText[] =
    "Removal is complete to uninstall TouchScreen drivers and utilities.\r\n\r\n"
    "The Windows must be restarted.";
// The last messages of a run in which a step failed (and was reported).
inline constexpr const char kSetupIncompleteText[] =
    "Setup could not finish installing TouchScreen drivers and utilities on your computer: the "
    "touchscreen is not registered as the mouse.\r\n\r\n"
    "The Windows must be restarted. Then run the setup again.";
inline constexpr const char kRemovalIncompleteText[] =
    "Removal is not complete: some of TouchScreen drivers and utilities stay on your computer.\r\n\r\n"
    "The Windows must be restarted.";

inline constexpr const char kRestartFailureText[] = "Fail to restart system! (ExitWindowsEx=0)";
inline constexpr const char kVenderNameFailureText[] = "Fail to Set Vender Name!";
inline constexpr const char kVenderStyleFailureText[] = "Fail to Set Vender Style!";
inline constexpr const char kRegistryConfigFailureText[] = "Fail to config system registry!";

inline constexpr const char kRemovalSystemLine[] = "TouchScreen Software Removal Version ";
inline constexpr const char kRemovalWarningText[] =
    "If Removal is complete, TouchScreen will not work next time when you start Windows!";
inline constexpr const char kRemovalQuestionText[] =
    "Are you sure you want to completely remove TouchScreen V.7.2.PS2 and all of its components?";

// "Fail to remove files! (Startup)", "... (WAIT_FAILED)", "... (WAIT_ABANDONED)", "... (WAIT_TIMEOUT)".
inline std::string RemoveFilesFailureText(const std::string& reason) { return "Fail to remove files! (" + reason + ")"; }
// The reason for a file remover that ended with an exit code other than 0: "ExitCode=2", or
// "ExitCode=?" when the code cannot be read.
inline std::string RemoverExitText(std::optional<uint32_t> code) {
  return "ExitCode=" + (code ? std::to_string(*code) : std::string("?"));
}
// The uninstaller's own copy could not be scheduled for deletion at the next start.
inline std::string ScheduleDeletionFailureText(const std::string& path) {
  return "Fail to write WININIT.INI! " + path + " is not deleted at the restart.";
}
inline std::string SaveSettingFailureText(const std::string& valueName) { return "Fail to save settings! (" + valueName + ")"; }
// The setup finisher names the class key in brackets, the uninstaller after a blank.
inline std::string SetupDeleteFailureText(const std::string& keyPath) { return "RegDeleteKey fail! (" + keyPath + ")"; }
inline std::string RemovalDeleteFailureText(const std::string& keyPath) { return "RegDeleteKey fail! " + keyPath; }

}  // namespace koral
