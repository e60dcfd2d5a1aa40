// The single-instance rule of the interactive programs: a second start brings the running
// instance's window forward and ends.
#pragma once

#include <windows.h>

#include <string>

namespace koral {

// True when another copy of the program was running in this session when this one first asked.
// The first call creates a session-local named mutex ("Local\KoralTouchSuite.<program>") that
// this process then holds until it ends.
bool PreviousInstanceRunning(const std::string& program);

// The running instance's window: walking the top-level windows in window order, skipping own,
// the first that has no parent, whose instance handle has 0 in its low 16 bits, and whose caption
// (at most 128 characters) is not empty and equals caption exactly. Null when there is none.
HWND FindRunningInstance(const std::string& caption, HWND own);

// Brings the running instance's window to the foreground and the top; when there is none, says
// "Application is running!" in the error box with the caption as title.
void ActivatePreviousInstance(const std::string& caption, HWND own);

}  // namespace koral
