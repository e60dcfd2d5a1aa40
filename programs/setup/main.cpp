// KORALpdi: "/XPEFBASETUP" (in any case) runs without the progress window; any other argument,
// or none, runs with it. Either way the run ends with the final message and a restart request.
// "/XPEFBASETUP /NORESTART", for deployment tools that restart the PC themselves, runs silently
// and ends without the message and the restart, with exit code 3010 (a restart is needed), or 1
// when it could not load the profile or configure the registry. Nobody may be there to answer a box then (the setup runs
// under the system account): what a box would say goes to standard error, for the setup's log.
#include <windows.h>

#include <string>

#include "common/core/command_lines.h"
#include "common/core/mouse_class_rules.h"
#include "common/win/message_box.h"
#include "common/win/text_files.h"
#include "common/win/trusted_folders.h"
#include "forms/frmMessage.h"
#include "programs/setup/setup_finisher.h"
#include "ui/application.h"

namespace {

class BoxesAsLines final : public koral::MessageBoxes {
 public:
  int Show(const std::string& text, const std::string& caption, UINT) override {
    std::string line = caption + ": " + text;
    for (char& c : line)
      if (c == '\r' || c == '\n') c = ' ';
    koral::WriteErrorLine(line);
    return IDOK;
  }
  void Beep(UINT) override {}
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  const char* text = arguments ? arguments : "";
  koral::ui::Application app;
  koral::frmMessage progress(app);
  const koral::TrustedFolders trusted = koral::ReadTrustedFolders();
  if (koral::IsNoRestartSetupRun(text)) {
    BoxesAsLines lines;
    koral::InstallMessageBoxes(&lines);
    const bool done = koral::setup::RunSetupFinisher(trusted, progress, true, false);
    koral::InstallMessageBoxes(nullptr);
    return done ? ERROR_SUCCESS_REBOOT_REQUIRED : 1;
  }
  koral::setup::RunSetupFinisher(trusted, progress, koral::IsSilentSetupRun(text));
  return 0;
}
