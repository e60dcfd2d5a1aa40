#include "tests/support/right_button_tools.h"

#include "common/core/launch_rules.h"
#include "common/core/titles.h"
#include "common/win/driver_link.h"
#include "common/win/handles.h"
#include "common/win/right_button.h"
#include "tests/support/programs.h"

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

namespace {

// Process ids of the tool's program.
std::vector<DWORD> ToolProcessIds() { return ProcessesOf(kRightButtonProgram); }

}  // namespace

int RightButtonToolProcesses() { return static_cast<int>(ToolProcessIds().size()); }

testing::AssertionResult QuitRightButtonTools() {
  for (HWND window : RightButtonToolWindows()) {
    if (HWND box = FindWindowA("#32770", kRightButtonTitle)) AnswerMessageBox(box, IDOK);
    PostMessageA(window, WM_USER, device::kQuitTool, 0);
  }
  // A second start still on its way ends by itself, having no window to be told.
  const auto ended = WaitUntil("every right-button tool to quit", [] { return ToolProcessIds().empty(); },
                               std::chrono::milliseconds(10000));
  if (ended) return ended;
  testing::AssertionResult failure = testing::AssertionFailure() << ended.message() << "; ended by force:";
  for (DWORD id : ToolProcessIds()) {
    failure << " process " << id;
    const UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id));
    if (!process) failure << " (cannot open it: " << ErrorText(GetLastError()) << ")";
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), 5000);
  }
  return failure;
}

}  // namespace koral::test
