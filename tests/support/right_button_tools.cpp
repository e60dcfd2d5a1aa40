#include "right_button_tools.h"

#include "driver_link.h"
#include "handles.h"
#include "programs.h"
#include "right_button.h"
#include "titles.h"

namespace koral::test {

std::vector<HWND> RightButtonToolWindows() {
  std::vector<HWND> found;
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        if (id != GetCurrentProcessId() && WindowText(window) == kRightButtonToolCaption)
          reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

bool QuitRightButtonTools() {
  std::vector<UniqueHandle> processes;
  for (HWND window : RightButtonToolWindows()) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    processes.emplace_back(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id));
    if (HWND box = FindWindowA("#32770", kRightButtonTitle)) AnswerMessageBox(box, IDOK);
    PostMessageA(window, WM_USER, device::kQuitTool, 0);
  }
  bool allQuit = true;
  for (UniqueHandle& process : processes) {
    if (WaitForSingleObject(process.get(), 10000) == WAIT_OBJECT_0) continue;
    allQuit = false;
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), 5000);
  }
  return allQuit;
}

}  // namespace koral::test
