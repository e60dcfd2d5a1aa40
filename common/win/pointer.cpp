#include "common/win/pointer.h"

#include <windows.h>

namespace koral {
namespace {

int g_hourglassCount = 0;

void SetShape() {
  SetCursor(LoadCursorA(nullptr, g_hourglassCount > 0 ? IDC_WAIT : IDC_ARROW));
}

}  // namespace

void HourglassPointer() {
  if (++g_hourglassCount == 1) SetShape();
}

void NormalPointer() {
  if (g_hourglassCount == 0) return;
  if (--g_hourglassCount == 0) SetShape();
}

int HourglassCount() { return g_hourglassCount; }

bool ApplyHourglass() {
  if (g_hourglassCount == 0) return false;
  SetShape();
  return true;
}

}  // namespace koral
