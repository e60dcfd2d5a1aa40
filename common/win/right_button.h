// The right-button tool KORALprb as the other programs see it: finding a live registration, and
// keeping the right-button function out of the way while a full-screen window takes touches.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

#include "common/core/driver_protocol.h"
#include "common/win/driver_link.h"

namespace koral {

// The caption the right-button tool gives its window.
inline constexpr const char kRightButtonToolCaption[] = " P-RBF";

// True when the handle a window slot holds names a live right-button tool window: the suite's form
// with the tool's caption, of KORALprb.exe in the trusted installation folder, in this session. A
// tool that was killed leaves its handle registered; such a handle, one that now names another
// window, or one somebody else put there, does not count, and is never sent a message.
bool IsRightButtonToolWindow(int32_t handle, const std::string& installFolder);
// The same for the companion's slot: a window of KORALPvr.exe in the installation folder, in this
// session (the companion lies outside the suite; its class and caption are its own).
bool IsCompanionWindow(int32_t handle, const std::string& installFolder);

// While a full-screen window (calibration, start-up) takes touches, the right-button function
// must not turn them into right clicks: automatic mode in drag-and-drop mode is switched off in
// the driver (0xF2060), otherwise the corner tool is hidden. Resume undoes what Suspend did, and
// only that: a switch the driver refused is not switched back, and the program's copy of the block
// always says what the driver took.
class RightButtonPause {
 public:
  // The tool is reached only when it runs from `installFolder`, the trusted installation folder.
  explicit RightButtonPause(std::string installFolder) : installFolder_(std::move(installFolder)) {}
  void Suspend(device::Controller& controller);
  void Resume(device::Controller& controller);

 private:
  enum class Paused { Nothing, AutomaticMode, Tool };
  std::string installFolder_;
  Paused paused_ = Paused::Nothing;
};

}  // namespace koral
