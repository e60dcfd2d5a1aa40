// The right-button tools running in the test prefix, found by their window caption.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace koral::test {

// Top-level windows of other processes that carry the tool's caption (stand-ins of this test
// process carry it too and are left out).
std::vector<HWND> RightButtonToolWindows();
// How many processes run the tool's program, whether they have a window yet or not.
int RightButtonToolProcesses();
// Tells every running tool to quit, as the uninstaller does, answering a message box it shows,
// and waits until no process of the tool's program is left; those left after the limit are
// ended. A failure, naming them, when one had to be.
testing::AssertionResult QuitRightButtonTools();

}  // namespace koral::test
