// The steps with which the suite's programs start, each with its message from the one table of
// start-up messages (messages.h). A program composes the steps it needs in its own order; a step
// that fails has told the user why (with the program's title as caption) and returns false, and
// the program then ends before its window is shown:
//
//   StartupSteps start(Caption());
//   if (!start.OnlyInstance("KORALpcp", hwnd()) || !start.LoadProfile(store_, profile_) ||
//       !start.OpenDriver(driver_) || !start.FindController(controller_))
//     return App().EndProgram();
#pragma once

#include <windows.h>

#include <string>

#include "common/win/driver_link.h"
#include "common/win/profile.h"

namespace koral {

class StartupSteps {
 public:
  // How a failure reaches the user: the error box (a beep and the stop icon) in the programs that
  // use the driver, a plain OK box in the setup tools.
  enum class Report { ErrorBox, PlainBox };

  explicit StartupSteps(std::string caption, Report report = Report::ErrorBox)
      : caption_(std::move(caption)), report_(report) {}

  // False when another instance of `program` runs: its window (found by this caption, skipping
  // `own`) is brought forward, or "Application is running!" says it cannot be found.
  bool OnlyInstance(const std::string& program, HWND own) const;
  // Loads the installation profile from the store under the hourglass; false after "Fail to load
  // data from Register File!".
  bool LoadProfile(SettingsStore& store, InstallationProfile& profile) const;
  // Opens the driver; false after "Fail to open KORALPS2.vxd!".
  bool OpenDriver(device::Driver& driver) const;
  // Reads the whole block (0xF2010) into the program's copy; false when no controller answers
  // (the read fails, or the block says none was detected), after "TouchScreen Controller Not
  // Found!" and with the driver closed again.
  bool FindController(device::Controller& controller) const;

 private:
  void Fail(const char* text) const;

  std::string caption_;
  Report report_;
};

}  // namespace koral
