// KORALpcp: showing the main window starts the program; it ends when its last window unloads.
#include <windows.h>

#include "branding.h"
#include "form.h"
#include "frmMain.h"
#include "phase_marks.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  koral::MarkPhase("entry");
  koral::panel::frmMain& main = koral::panel::MainForm();
  koral::SetMainWindow(&main);
  main.Show();
  return koral::ui::Run();
}
