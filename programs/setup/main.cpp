// KORALpdi: "/XPEFBASETUP" (in any case) runs without the progress window; any other argument,
// or none, runs with it. Either way the run ends with the final message and a restart request.
#include <windows.h>

#include "common/core/mouse_class_rules.h"
#include "forms/frmMessage.h"
#include "programs/setup/setup_finisher.h"
#include "ui/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  koral::ui::Application app;
  koral::frmMessage progress(app);
  koral::setup::RunSetupFinisher(progress, koral::IsSilentSetupRun(arguments ? arguments : ""));
  return 0;
}
