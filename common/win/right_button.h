// The right-button tool KORALprb as the other programs see it: finding a live registration, and
// keeping the right-button function out of the way while a full-screen window takes touches.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/core/driver_protocol.h"
#include "common/win/driver_link.h"

namespace koral {

// The caption the right-button tool gives its window.
inline constexpr const char kRightButtonToolCaption[] = " P-RBF";

// True when the handle a window slot holds names a live right-button tool window. A tool that
// was killed leaves its handle registered; such a handle, or one that now names another window,
// does not count.
bool IsRightButtonToolWindow(int32_t handle);

// While a full-screen window (calibration, start-up) takes touches, the right-button function
// must not turn them into right clicks: automatic mode in drag-and-drop mode is switched off in
// the driver (0xF2060), otherwise the corner tool is hidden. Resume undoes what Suspend did, and
// only that: a switch the driver refused is not switched back, and the program's copy of the block
// always says what the driver took.
class RightButtonPause {
 public:
  void Suspend(device::Controller& controller);
  void Resume(device::Controller& controller);

 private:
  enum class Paused { Nothing, AutomaticMode, Tool };
  Paused paused_ = Paused::Nothing;
};

}  // namespace koral
