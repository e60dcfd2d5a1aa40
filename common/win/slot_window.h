// The windows the driver's slots name. Any program that can open the driver could put any window
// handle there, so a handle from a slot is messaged only when its window is the suite's own: of
// the expected class and caption, in the same session, in a process running the expected program
// from the trusted installation folder. Messages to it have a time-out, so a window that never
// answers cannot hold the sender.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace koral {

// What a slot's window must be; a null class or caption is not checked.
struct SlotWindowRule {
  const char* Class;
  const char* Caption;
  const char* Program;  // the file name of the process's image, in the installation folder
};

// How long a message to a slot's window may take before the sender gives up on it.
inline constexpr UINT kSlotMessageTimeoutMs = 5000;

// The window a slot's handle names (handles fit in 32 bits, sign-extended as the system does).
HWND SlotWindow(int32_t handle);

// True when `window` exists and passes `rule`, its process's image being `installFolder` +
// "\" + the rule's program (compared as Windows compares paths) in this process's session.
bool IsSuiteSlotWindow(HWND window, const SlotWindowRule& rule, const std::string& installFolder);

// The image of the process that owns `window` (a Windows path); empty when it cannot be asked.
std::string WindowProgramPath(HWND window);

// SendMessageTimeout, giving up after `timeoutMs` or at once when the window's thread hangs;
// true when the window answered.
bool SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                     UINT timeoutMs = kSlotMessageTimeoutMs);

}  // namespace koral
