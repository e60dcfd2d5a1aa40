// Every window of a form carries its designed name ("cmdOK", "optAcceleration(2)", "frmMain") as
// a global atom in the window property "KoralName", so that test programs in other processes
// can find controls by name.
#pragma once

#include <windows.h>

#include <string>

namespace koral::ui {

inline constexpr const char kNameProperty[] = "KoralName";

bool AttachName(HWND window, const std::string& name);
void DetachName(HWND window);
// The name a window carries; empty when it carries none. Works across processes.
std::string NameOf(HWND window);
// The first descendant of root (at any depth) carrying the name; null when there is none.
HWND FindNamedChild(HWND root, const std::string& name);

}  // namespace koral::ui
