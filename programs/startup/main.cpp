// KORALpao: run at each Windows start, it shows its splash while it applies the double-click
// settings, checks the driver and the controller and starts the programs the settings need, then
// ends. Started with "/SDC" it is the double-click settings dialog and ends when the user closes it.
#include <windows.h>

#include "common/core/double_click.h"
#include "common/win/driver_link.h"
#include "common/win/profile.h"
#include "common/win/trusted_folders.h"
#include "programs/startup/frmMain.h"
#include "ui/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  using namespace koral;
  ui::Application app;
  device::DriverSession driver;
  ModelKeyStore store;
  startup::frmMain main(app, driver, store, IsDialogCommandLine(arguments ? arguments : ""));
  app.MainForm(&main);
  main.Show();
  if (!main.Loaded()) return 0;  // its load ended the program and said why
  if (main.DialogMode()) return app.Run();
  main.Refresh();
  main.RunStartSequence(ReadTrustedFolders().Install);
  main.Unload();
  return 0;
}
