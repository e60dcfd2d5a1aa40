// KORALpcp: showing the main window starts the program; it ends when its last window unloads.
// "/EXPORT file" and "/IMPORT file" run an administrator's command instead, without a window.
#include <windows.h>

#include "common/core/command_lines.h"
#include "common/win/phase_marks.h"
#include "forms/branding.h"
#include "programs/panel/frmMain.h"
#include "programs/panel/settings_transfer.h"
#include "ui/form.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  koral::MarkPhase("entry");
  const koral::PanelCommand command = koral::ParsePanelCommand(arguments ? arguments : "");
  if (command.What != koral::PanelCommand::Kind::Window) return koral::panel::RunSettingsCommand(command);
  koral::panel::frmMain& main = koral::panel::MainForm();
  koral::SetMainWindow(&main);
  main.Show();
  return koral::ui::Run();
}
