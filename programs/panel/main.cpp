// KORALpcp: showing the main window starts the program; it ends when its last window unloads.
// The program's driver session and settings store are made here and handed to the main window,
// which hands them on to the windows it opens.
#include <windows.h>

#include "common/win/driver_link.h"
#include "common/win/phase_marks.h"
#include "common/win/profile.h"
#include "programs/panel/frmMain.h"
#include "ui/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  koral::MarkPhase("entry");
  koral::ui::Application app;
  koral::device::DriverSession driver;
  koral::ModelKeyStore store;
  koral::panel::frmMain main(app, driver, store);
  app.MainForm(&main);
  main.Show();
  return app.Run();
}
