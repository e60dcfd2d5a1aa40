// Program titles: the caption of each program's main window and of its message boxes.
// The single-instance search compares window captions with these exactly, leading blanks included.
#pragma once

namespace koral {

inline constexpr const char kControlPanelTitle[] = " TouchScreen Control Panel #KR-PS2";
inline constexpr const char kStartupTitle[] = " TouchScreen System Startup #KR-PS2";
inline constexpr const char kRightButtonTitle[] = " TouchScreen Right-Button #KR-PS2";
inline constexpr const char kUninstallerTitle[] = "TouchScreen Software Removal";
inline constexpr const char kSetupFinisherTitle[] = "TouchScreen Driver Installation";

// The window class of every form of the suite: the right-button tool's window is recognised by it.
inline constexpr const char kFormWindowClass[] = "KoralForm";

}  // namespace koral
