// KORALpcp: showing the main window starts the program; it ends when its last window unloads.
// "/EXPORT file" and "/IMPORT file" run an administrator's command instead, without a window.
// The program's driver session and settings store are made here and handed to the main window,
// which hands them on to the windows it opens.
#include <windows.h>

#include "common/core/command_lines.h"
#include "common/win/driver_link.h"
#include "common/win/phase_marks.h"
#include "common/win/profile.h"
#include "common/win/trusted_folders.h"
#include "programs/panel/frmMain.h"
#include "programs/panel/settings_transfer.h"
#include "ui/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  koral::MarkPhase("entry");
  const koral::PanelCommand command = koral::ParsePanelCommand(arguments ? arguments : "");
  const koral::TrustedFolders trusted = koral::ReadTrustedFolders();
  if (command.What != koral::PanelCommand::Kind::Window) return koral::panel::RunSettingsCommand(command, trusted.Install);
  koral::ui::Application app;
  koral::device::DriverSession driver;
  koral::ModelKeyStore store;
  koral::panel::frmMain main(app, driver, store, trusted.Install);
  app.MainForm(&main);
  main.Show();
  return app.Run();
}
