#include "common/win/startup_steps.h"

#include "common/core/messages.h"
#include "common/win/driver_link.h"
#include "common/win/message_box.h"
#include "common/win/pointer.h"
#include "common/win/profile.h"
#include "common/win/single_instance.h"

namespace koral {

bool StartupSteps::OnlyInstance(const std::string& program, HWND own) const {
  if (!PreviousInstanceRunning(program)) return true;
  ActivatePreviousInstance(caption_, own);
  return false;
}

bool StartupSteps::LoadProfile() const {
  HourglassPointer();
  const bool loaded = LoadAtStart();
  NormalPointer();
  if (!loaded) Fail(kProfileFailureText);
  return loaded;
}

bool StartupSteps::OpenDriver() const {
  if (device::OpenDevice()) return true;
  device::ReportOpenFailure(caption_.c_str());
  return false;
}

bool StartupSteps::OpenDriverQuietly() { return device::OpenDevice(); }

bool StartupSteps::FindController() const {
  device::ReadBlock();
  if (device::Link().Block.DetectedPort != 0) return true;
  Fail(kControllerNotFoundText);
  device::CloseDevice();
  return false;
}

void StartupSteps::Fail(const char* text) const {
  if (report_ == Report::ErrorBox)
    ErrorBox(text, caption_);
  else
    PlainBox(text, caption_);
}

}  // namespace koral
