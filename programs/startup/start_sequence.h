// The startup program's own state and its run at each Windows start: the stored double-click
// settings handed to Windows, the driver and the controller checked, the companion or the
// screen size, the right-button tool, a short pause with the splash window up.
#pragma once

#include <string>

#include "common/core/double_click.h"
#include "common/win/driver_link.h"
#include "common/win/profile.h"
#include "ui/application.h"

namespace koral::startup {

struct ProgramState {
  bool DialogMode = false;           // started with "/SDC": the settings dialog, no start-up run
  DoubleClickSettings InForce{};     // the double-click settings in force
  // Some stored value is there but cannot be read as a number (another type), or all three are
  // numbers but one lies outside its range: the run applies the defaults but does not replace what
  // is stored.
  bool StoredValuesUnreadable = false;
};

// Reads the three stored values from the store; when any of them cannot be read, or one lies
// outside its range, all three are the defaults (500, 32, 32).
void LoadStoredDoubleClick(SettingsStore& store, ProgramState& state);

// Hands the settings in force to Windows, records them in the user's mouse settings and in the
// store, and says "Fail to SetDoubleClock (...)!" with the letters of what failed.
void ApplyDoubleClick(const ProgramState& state, SettingsStore& store, const std::string& caption);

// Everything the start-up run does after its window is shown, up to the pause. A failure to
// open the driver or to find the controller has been reported when it returns early. The
// auxiliary programs are started from, and found in, `installFolder` (the trusted one).
void RunStartSequence(ui::Application& app, device::Driver& driver, SettingsStore& store, const ProgramState& state,
                      const std::string& caption, const std::string& installFolder);

}  // namespace koral::startup
