#include "common/win/right_button.h"

#include "common/core/launch_rules.h"
#include "common/core/titles.h"
#include "common/win/driver_link.h"
#include "common/win/slot_window.h"
#include "common/win/trusted_folders.h"

namespace koral {
namespace {

constexpr SlotWindowRule kToolRule{kFormWindowClass, kRightButtonToolCaption, kRightButtonProgram};
constexpr SlotWindowRule kCompanionRule{nullptr, nullptr, kCompanionProgram};

}  // namespace

bool IsRightButtonToolWindow(int32_t handle) {
  return handle != kNoWindow && IsSuiteSlotWindow(SlotWindow(handle), kToolRule, Trusted().Install);
}

bool IsCompanionWindow(int32_t handle) {
  return handle != kNoWindow && IsSuiteSlotWindow(SlotWindow(handle), kCompanionRule, Trusted().Install);
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
