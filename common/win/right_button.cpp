#include "common/win/right_button.h"

#include <string>
#include <utility>

#include "common/win/driver_link.h"

namespace koral {

bool IsRightButtonToolWindow(int32_t handle) {
  if (handle == kNoWindow) return false;
  const HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
  if (!IsWindow(window)) return false;
  char caption[16] = {};
  const int length = GetWindowTextA(window, caption, sizeof caption);
  return std::string(caption, static_cast<size_t>(length > 0 ? length : 0)) == kRightButtonToolCaption;
}

void RightButtonPause::Suspend(device::Controller& controller) {
  paused_ = Paused::Nothing;
  const ParamBlock& block = controller.Block();
  if (block.RightButtonFunction != kRightButtonOn) return;
  if (block.VirtualButton == kDragDropMode && block.RightButtonAutoMode != kRightButtonManual) {
    ParamBlock manual = block;
    manual.RightButtonAutoMode = kRightButtonManual;
    if (controller.Write(device::Group::VirtualButton, manual)) paused_ = Paused::AutomaticMode;
  } else {
    device::TellRightButtonTool(controller.driver(), device::kHideTool);
    paused_ = Paused::Tool;
  }
}

void RightButtonPause::Resume(device::Controller& controller) {
  const Paused paused = std::exchange(paused_, Paused::Nothing);
  if (paused == Paused::AutomaticMode) {
    ParamBlock automatic = controller.Block();
    automatic.RightButtonAutoMode = kRightButtonAutomatic;
    controller.Write(device::Group::VirtualButton, automatic);
  } else if (paused == Paused::Tool) {
    device::TellRightButtonTool(controller.driver(), device::kShowTool);
  }
}

}  // namespace koral
