#include "common/win/right_button.h"

#include <string>

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

void RightButtonPause::Suspend(ParamBlock& block) {
  savedAutoMode_ = block.RightButtonAutoMode;
  if (block.RightButtonFunction != kRightButtonOn) return;
  if (block.VirtualButton == kDragDropMode && savedAutoMode_ != kRightButtonManual) {
    block.RightButtonAutoMode = kRightButtonManual;
    device::WriteVirtualButton();
  } else {
    device::TellRightButtonTool(device::kHideTool);
  }
}

void RightButtonPause::Resume(ParamBlock& block) const {
  if (block.RightButtonFunction != kRightButtonOn) return;
  if (block.VirtualButton == kDragDropMode && savedAutoMode_ != kRightButtonManual) {
    block.RightButtonAutoMode = kRightButtonAutomatic;
    device::WriteVirtualButton();
  } else {
    device::TellRightButtonTool(device::kShowTool);
  }
}

}  // namespace koral
