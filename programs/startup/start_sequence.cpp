#include "programs/startup/start_sequence.h"

#include <windows.h>

#include "common/win/message_box.h"
#include "common/win/registry.h"
#include "common/win/right_button.h"
#include "common/win/startup_steps.h"

namespace koral::startup {
namespace {

constexpr char kRightButtonFailureText[] = "Fail to initialize Right Button Function!";
constexpr char kUserMouseKey[] = "Control Panel";
constexpr char kUserMouseSubKey[] = "Mouse";

// Windows' double-click settings: changed at once (and announced), but kept across a restart only
// through the user's mouse settings, which the program writes itself.
class WindowsDoubleClick final : public DoubleClickSystem {
 public:
  WindowsDoubleClick(SettingsStore& store, bool storeInModelKey) : store_(store), storeInModelKey_(storeInModelKey) {}

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
    store_.WriteNumber(kDoubleClickSpeedName, settings.Speed);
    store_.WriteNumber(kDoubleClickWidthName, settings.Width);
    store_.WriteNumber(kDoubleClickHeightName, settings.Height);
  }

 private:
  static bool Set(UINT action, int32_t value) {
    return SystemParametersInfoA(action, static_cast<UINT>(value), nullptr, SPIF_SENDWININICHANGE) != FALSE;
  }
  SettingsStore& store_;
  bool storeInModelKey_;
  RegKey key_;
};

// Without the companion program the driver learns the screen size from this program instead.
void StartCompanionOrSendScreenSize(device::Controller& controller, const std::string& installFolder) {
  if (device::StartCompanion(installFolder)) return;
  ParamBlock sized = controller.Block();
  sized.ResolutionX = static_cast<int16_t>(GetSystemMetrics(SM_CXSCREEN));
  sized.ResolutionY = static_cast<int16_t>(GetSystemMetrics(SM_CYSCREEN));
  controller.Write(device::Group::WholeBlock, sized);
}

// The corner tool runs whenever the right-button function needs it; in automatic mode a tool that
// was already running is hidden. A registration whose window is no longer a live tool (the tool
// was killed) counts as none, or the function would stay without its tool until the driver
// restarts.
void StartOrHideRightButtonTool(const device::Controller& controller, const std::string& caption,
                                const std::string& installFolder) {
  const ParamBlock& block = controller.Block();
  if (!RightButtonUsesTool(block)) return;
  const std::optional<WindowSlot> slot = controller.driver().RightButtonSlot();
  const bool running = slot && IsRightButtonToolWindow(slot->Handle, installFolder);
  if (!running && !device::StartRightButtonTool(installFolder)) ErrorBox(kRightButtonFailureText, caption);
  if (running && block.RightButtonAutoMode != kRightButtonManual)
    device::TellRightButtonTool(controller.driver(), installFolder, device::kHideTool);
}

}  // namespace

void LoadStoredDoubleClick(SettingsStore& store, ProgramState& state) {
  state.InForce = kDefaultDoubleClick;
  state.StoredValuesUnreadable = false;
  if (!store.Available()) return;
  DoubleClickSettings stored;
  bool complete = true;
  for (auto [name, value] : {std::pair{kDoubleClickSpeedName, &stored.Speed},
                             std::pair{kDoubleClickWidthName, &stored.Width},
                             std::pair{kDoubleClickHeightName, &stored.Height}}) {
    if (store.ReadNumber(name, *value)) continue;
    complete = false;
    if (store.Has(name)) state.StoredValuesUnreadable = true;
  }
  if (!complete) return;
  if (WithinDoubleClickRanges(stored))
    state.InForce = stored;
  else
    state.StoredValuesUnreadable = true;
}

void ApplyDoubleClick(const ProgramState& state, SettingsStore& store, const std::string& caption) {
  WindowsDoubleClick windows(store, !state.StoredValuesUnreadable);
  const std::string letters = koral::ApplyDoubleClick(state.InForce, windows);
  if (!letters.empty()) ErrorBox(DoubleClickFailureText(letters), caption);
}

void RunStartSequence(ui::Application& app, device::Driver& driver, SettingsStore& store, const ProgramState& state,
                      const std::string& caption, const std::string& installFolder) {
  ApplyDoubleClick(state, store, caption);
  const StartupSteps start(caption);
  device::Controller controller(driver);
  if (!start.OpenDriver(driver) || !start.FindController(controller)) return;
  StartCompanionOrSendScreenSize(controller, installFolder);
  StartOrHideRightButtonTool(controller, caption, installFolder);
  driver.Close();
  app.Pause(1);
}

}  // namespace koral::startup
