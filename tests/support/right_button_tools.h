// The right-button tools running in the test prefix, found by their window caption.
#pragma once

#include <windows.h>

#include <vector>

namespace koral::test {

// Top-level windows of other processes that carry the tool's caption (stand-ins of this test
// process carry it too and are left out).
std::vector<HWND> RightButtonToolWindows();
// Tells every running tool to quit, as the uninstaller does, answering a message box it shows;
// a tool that has not ended within the limit is ended. False when one had to be.
bool QuitRightButtonTools();

}  // namespace koral::test
