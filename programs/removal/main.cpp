// KORALpde: showing the main window starts the program; it ends when its last window unloads.
// It takes no command-line options.
#include <windows.h>

#include "forms/branding.h"
#include "programs/removal/frmMain.h"
#include "ui/form.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  koral::removal::frmMain& main = koral::removal::MainForm();
  koral::SetMainWindow(&main);
  main.Show();
  return koral::ui::Run();
}
