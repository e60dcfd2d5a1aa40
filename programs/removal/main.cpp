// KORALpde: showing the main window starts the program; it ends when its last window unloads.
// It takes no command-line options.
#include <windows.h>

#include "common/win/profile.h"
#include "common/win/trusted_folders.h"
#include "programs/removal/frmMain.h"
#include "ui/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  koral::ui::Application app;
  koral::ModelKeyStore store;
  koral::removal::frmMain main(app, store, koral::ReadTrustedFolders());
  app.MainForm(&main);
  main.Show();
  return app.Run();
}
