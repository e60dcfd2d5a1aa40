// KORALpcp: showing the main window starts the program; it ends when its last window unloads.
#include <windows.h>

#include "common/win/phase_marks.h"
#include "forms/branding.h"
#include "programs/panel/frmMain.h"
#include "ui/form.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  koral::MarkPhase("entry");
  koral::panel::frmMain& main = koral::panel::MainForm();
  koral::SetMainWindow(&main);
  main.Show();
  return koral::ui::Run();
}
