#include "common/win/right_button.h"

#include <string>
#include <utility>

#include "common/core/launch_rules.h"
#include "common/core/titles.h"
#include "common/win/driver_link.h"
#include "common/win/slot_window.h"

namespace koral {
namespace {

constexpr SlotWindowRule kToolRule{kFormWindowClass, kRightButtonToolCaption, kRightButtonProgram};
constexpr SlotWindowRule kCompanionRule{nullptr, nullptr, kCompanionProgram};

}  // namespace

bool IsRightButtonToolWindow(int32_t handle, const std::string& installFolder) {
  return handle != kNoWindow && IsSuiteSlotWindow(SlotWindow(handle), kToolRule, installFolder);
}

bool IsCompanionWindow(int32_t handle, const std::string& installFolder) {
  return handle != kNoWindow && IsSuiteSlotWindow(SlotWindow(handle), kCompanionRule, installFolder);
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
    device::TellRightButtonTool(controller.driver(), installFolder_, device::kHideTool);
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
    device::TellRightButtonTool(controller.driver(), installFolder_, device::kShowTool);
  }
}

}  // namespace koral
