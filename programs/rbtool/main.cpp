// KORALprb: the window registers itself while it loads and shows in the corner; the program ends
// when the window unloads (WM_USER 0x100E or closing it), or at once when another tool runs.
#include <windows.h>

#include "common/win/driver_link.h"
#include "common/win/trusted_folders.h"
#include "programs/rbtool/frmMain.h"
#include "ui/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  koral::ui::Application app;
  koral::device::DriverSession driver;
  koral::rbtool::frmMain main(app, driver, koral::ReadTrustedFolders().Install);
  app.MainForm(&main);
  if (main.Load()) main.ShowInCorner();
  return app.Run();
}
