// KORALpcp: showing the main window starts the program; it ends when its last window unloads.
#include <windows.h>

#include "branding.h"
#include "form.h"
#include "frmCalibration.h"
#include "frmMain.h"
#include "frmMouseSpeed.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  koral::panel::frmMain& main = koral::panel::MainForm();
  koral::SetMainWindow(&main);
  // Each dialog takes its slot in main.dialogs here as its form is built.
  static koral::panel::frmMouseSpeed mouseSpeed;
  main.dialogs.MouseSpeed = &mouseSpeed;
  main.dialogs.Calibration = &koral::calibration::CalibrationForm();
  main.Show();
  return koral::ui::Run();
}
