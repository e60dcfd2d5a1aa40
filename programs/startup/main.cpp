// KORALpao: run at each Windows start, it shows its splash while it applies the double-click
// settings, checks the driver and the controller and starts the programs the settings need, then
// ends. Started with "/SDC" it is the double-click settings dialog and ends when the user closes it.
#include <windows.h>

#include "forms/branding.h"
#include "programs/startup/frmMain.h"
#include "programs/startup/start_sequence.h"
#include "ui/form.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) {
  using namespace koral;
  startup::Program().DialogMode = IsDialogCommandLine(arguments ? arguments : "");
  startup::frmMain& main = startup::MainForm();
  SetMainWindow(&main);
  main.Show();
  if (!main.Loaded()) return 0;  // its load ended the program and said why
  if (startup::Program().DialogMode) return ui::Run();
  main.Refresh();
  startup::RunStartSequence(main.Caption());
  main.Unload();
  return 0;
}
