// The right-button tool KORALprb as the other programs see it: finding a live registration, and
// keeping the right-button function out of the way while a full-screen window takes touches.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/core/driver_protocol.h"

namespace koral {

// The caption the right-button tool gives its window.
inline constexpr const char kRightButtonToolCaption[] = " P-RBF";

// True when the handle a window slot holds names a live right-button tool window: the suite's form
// with the tool's caption, of KORALprb.exe in the trusted installation folder, in this session. A
// tool that was killed leaves its handle registered; such a handle, one that now names another
// window, or one somebody else put there, does not count, and is never sent a message.
bool IsRightButtonToolWindow(int32_t handle);
// The same for the companion's slot: a window of KORALPvr.exe in the installation folder, in this
// session (the companion lies outside the suite; its class and caption are its own).
bool IsCompanionWindow(int32_t handle);

// While a full-screen window (calibration, start-up) takes touches, the right-button function
// must not turn them into right clicks: automatic mode in drag-and-drop mode is switched off in
// the driver (0xF2060), otherwise the corner tool is hidden. Resume undoes what Suspend did.
class RightButtonPause {
 public:
  void Suspend(ParamBlock& block);
  void Resume(ParamBlock& block) const;

 private:
  uint8_t savedAutoMode_ = kRightButtonManual;
};

}  // namespace koral
