// The user's hand played from another process through the system's input queue, where the program
// reads the mouse and the keys held (GetKeyState) as it would from real hardware.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>

#include "tests/support/wait.h"

namespace koral::test {

// The pointer moved onto the middle of a window, then the mouse events given (MOUSEEVENTF_...).
inline void MouseOn(HWND window, DWORD events) {
  RECT area{};
  GetWindowRect(window, &area);
  SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = events;
  SendInput(1, &input, sizeof input);
}

// Keys pressed (or released) on the keyboard, in order.
inline void Keys(std::initializer_list<WORD> keys, bool down) {
  for (WORD key : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
  }
}

// The hidden gesture: the form brought to the front, Shift, Ctrl and Alt held, the right button
// pressed on the control and released, the keys let go. A failure naming the window in front
// when the form did not come to the front (no keys are pressed then).
inline testing::AssertionResult RightPressWithAllShiftKeys(HWND form, HWND control) {
  SetForegroundWindow(form);
  const auto front = WaitUntil("the form to come to the front", [&] { return GetForegroundWindow() == form; },
                               std::chrono::seconds(5));
  if (!front) {
    const HWND other = GetForegroundWindow();
    DWORD process = 0;
    GetWindowThreadProcessId(other, &process);
    char caption[256] = {};
    GetWindowTextA(other, caption, sizeof caption);
    return testing::AssertionFailure() << front.message() << "; in front: \"" << caption << "\" of process " << process;
  }
  Keys({VK_SHIFT, VK_CONTROL, VK_MENU}, true);
  MouseOn(control, MOUSEEVENTF_RIGHTDOWN);
  MouseOn(control, MOUSEEVENTF_RIGHTUP);
  Keys({VK_MENU, VK_CONTROL, VK_SHIFT}, false);
  return testing::AssertionSuccess();
}

}  // namespace koral::test
