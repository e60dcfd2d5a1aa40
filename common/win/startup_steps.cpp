#include "common/win/startup_steps.h"

#include "common/core/messages.h"
#include "common/win/message_box.h"
#include "common/win/pointer.h"
#include "common/win/single_instance.h"

namespace koral {

bool StartupSteps::OnlyInstance(const std::string& program, HWND own) const {
  if (!PreviousInstanceRunning(program)) return true;
  ActivatePreviousInstance(caption_, own);
  return false;
}

bool StartupSteps::LoadProfile(SettingsStore& store, InstallationProfile& profile) const {
  HourglassPointer();
  const bool loaded = koral::LoadProfile(store, profile);
  NormalPointer();
  if (!loaded) Fail(kProfileFailureText);
  return loaded;
}

bool StartupSteps::OpenDriver(device::Driver& driver) const {
  if (driver.Open()) return true;
  ErrorBox(kOpenFailureText, caption_);
  return false;
}

bool StartupSteps::FindController(device::Controller& controller) const {
  if (controller.ReadBlock() && controller.Block().DetectedPort != 0) return true;
  Fail(kControllerNotFoundText);
  controller.driver().Close();
  return false;
}

void StartupSteps::Fail(const char* text) const {
  if (report_ == Report::ErrorBox)
    ErrorBox(text, caption_);
  else
    PlainBox(text, caption_);
}

}  // namespace koral
