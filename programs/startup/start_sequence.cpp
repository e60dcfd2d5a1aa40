#include "programs/startup/start_sequence.h"

#include <windows.h>

#include "common/win/driver_link.h"
#include "common/win/message_box.h"
#include "common/win/profile.h"
#include "common/win/registry.h"
#include "common/win/right_button.h"
#include "common/win/startup_steps.h"
#include "ui/form.h"

namespace koral::startup {
namespace {

constexpr char kRightButtonFailureText[] = "Fail to initialize Right Button Function!";
constexpr char kUserMouseKey[] = "Control Panel";
constexpr char kUserMouseSubKey[] = "Mouse";

// Windows' double-click settings: changed at once (and announced), but kept across a restart only
// through the user's mouse settings, which the program writes itself.
class WindowsDoubleClick final : public DoubleClickSystem {
 public:
  explicit WindowsDoubleClick(bool storeInModelKey) : storeInModelKey_(storeInModelKey) {}

  bool SetWidth(int32_t pixels) override { return Set(SPI_SETDOUBLECLKWIDTH, pixels); }
  bool SetHeight(int32_t pixels) override { return Set(SPI_SETDOUBLECLKHEIGHT, pixels); }
  bool SetTime(int32_t milliseconds) override { return Set(SPI_SETDOUBLECLICKTIME, milliseconds); }
  void SetDoubleClickTime(int32_t milliseconds) override { ::SetDoubleClickTime(static_cast<UINT>(milliseconds)); }
  bool OpenUserMouseKey() override {
    key_ = RegKey::Create(HKEY_CURRENT_USER, kUserMouseKey, kUserMouseSubKey);
    return static_cast<bool>(key_);
  }
  bool WriteUserText(const char* name, const std::string& text) override { return key_.WriteText(name, text); }
  void CloseUserMouseKey() override { key_.Close(); }
  void StoreInModelKey(const DoubleClickSettings& settings) override {
    if (!storeInModelKey_) return;
    RegKey model = OpenModelKey();
    model.WriteNumber(kDoubleClickSpeedName, settings.Speed);
    model.WriteNumber(kDoubleClickWidthName, settings.Width);
    model.WriteNumber(kDoubleClickHeightName, settings.Height);
  }

 private:
  static bool Set(UINT action, int32_t value) {
    return SystemParametersInfoA(action, static_cast<UINT>(value), nullptr, SPIF_SENDWININICHANGE) != FALSE;
  }
  bool storeInModelKey_;
  RegKey key_;
};

// Without the companion program the driver learns the screen size from this program instead.
void StartCompanionOrSendScreenSize() {
  if (device::StartCompanion()) return;
  ParamBlock& block = device::Link().Block;
  block.ResolutionX = static_cast<int16_t>(GetSystemMetrics(SM_CXSCREEN));
  block.ResolutionY = static_cast<int16_t>(GetSystemMetrics(SM_CYSCREEN));
  device::WriteWholeBlock();
}

// The corner tool runs whenever the right-button function needs it; in automatic mode a tool that
// was already running is hidden. A registration whose window is no longer a live tool (the tool
// was killed) counts as none, or the function would stay without its tool until the driver
// restarts.
void StartOrHideRightButtonTool(const std::string& caption) {
  const ParamBlock& block = device::Link().Block;
  if (!RightButtonUsesTool(block)) return;
  device::GetRightButtonSlot();
  const bool running = IsRightButtonToolWindow(device::Link().Slot.Handle);
  if (!running && !device::StartRightButtonTool()) ErrorBox(kRightButtonFailureText, caption);
  if (running && block.RightButtonAutoMode != kRightButtonManual) device::TellRightButtonTool(device::kHideTool);
}

}  // namespace

ProgramState& Program() {
  static ProgramState state;
  return state;
}

void LoadStoredDoubleClick() {
  ProgramState& state = Program();
  state.InForce = kDefaultDoubleClick;
  state.StoredValuesUnreadable = false;
  const RegKey model = OpenModelKey();
  if (!model) return;
  DoubleClickSettings stored;
  bool complete = true;
  for (auto [name, value] : {std::pair{kDoubleClickSpeedName, &stored.Speed},
                             std::pair{kDoubleClickWidthName, &stored.Width},
                             std::pair{kDoubleClickHeightName, &stored.Height}}) {
    if (model.ReadNumber(name, *value)) continue;
    complete = false;
    if (model.Has(name)) state.StoredValuesUnreadable = true;
  }
  if (!complete) return;
  if (WithinDoubleClickRanges(stored))
    state.InForce = stored;
  else
    state.StoredValuesUnreadable = true;
}

void ApplyDoubleClick(const std::string& caption) {
  WindowsDoubleClick windows(!Program().StoredValuesUnreadable);
  const std::string letters = koral::ApplyDoubleClick(Program().InForce, windows);
  if (!letters.empty()) ErrorBox(DoubleClickFailureText(letters), caption);
}

void RunStartSequence(const std::string& caption) {
  ApplyDoubleClick(caption);
  const StartupSteps start(caption);
  if (!start.OpenDriver() || !start.FindController()) return;
  StartCompanionOrSendScreenSize();
  StartOrHideRightButtonTool(caption);
  device::CloseDevice();
  ui::Pause(1);
}

}  // namespace koral::startup
