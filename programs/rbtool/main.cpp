// KORALprb: the window registers itself while it loads and shows in the corner; the program ends
// when the window unloads (WM_USER 0x100E or closing it), or at once when another tool runs.
#include <windows.h>

#include "programs/rbtool/frmMain.h"
#include "ui/form.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  koral::rbtool::frmMain& main = koral::rbtool::MainForm();
  if (main.Load()) main.ShowInCorner();
  return koral::ui::Run();
}
