#include "programs/removal/removal.h"

#include <vector>

#include "common/core/ini_text.h"
#include "common/core/launch_rules.h"
#include "common/core/removal_wait.h"
#include "common/core/setup_messages.h"
#include "common/core/titles.h"
#include "common/win/driver_link.h"
#include "common/win/ini_file.h"
#include "common/win/message_box.h"
#include "common/win/mouse_class.h"
#include "common/win/restart.h"
#include "common/win/trusted_folders.h"
#include "forms/frmMessage.h"
#include "ui/form.h"

namespace koral::removal {
namespace {

constexpr const char* kTitle = kUninstallerTitle;
// The uninstaller runs from its copy in the Windows folder; Windows deletes it at its next start.
constexpr char kOwnCopy[] = "KORALPde.exe";

}  // namespace

bool StartFileRemover(UniqueHandle& process) {
  // Run elevated: from the trusted installation folder, never from the model key's InstallPath.
  const std::string& folder = Trusted().Install;
  if (folder.empty()) return false;
  const auto program = ProgramCommandLine(folder, kFileRemoverProgram);
  if (!program) return false;
  const std::string command = *program + " " + kFileRemoverOption;
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return false;
  // Opened while the creation's handle still holds the process, so a remover that ends at once
  // is still found.
  const UniqueHandle thread(started.hThread);
  const UniqueHandle created(started.hProcess);
  process.reset(OpenProcess(SYNCHRONIZE, FALSE, started.dwProcessId));
  return static_cast<bool>(process);
}

bool WaitForFileRemover(HANDLE process) {
  for (int wait = 1;; ++wait) {
    ui::DoEvents();
    const RemoverWaitVerdict verdict = JudgeRemoverWait(WaitForSingleObject(process, kRemoverWaitMilliseconds), wait);
    if (!verdict.Done) continue;
    if (!verdict.Ended) ExclamationBox(RemoveFilesFailureText(verdict.Failure), kTitle);
    return verdict.Ended;
  }
}

void RemoveMouseClassEntries() {
  const ClassRemoval plan = PlanClassRemoval(ReadEveryClassKey());
  DeleteClassKeys(plan.Delete, [](const std::string& path) { PlainBox(RemovalDeleteFailureText(path), kTitle); });
  DeleteDeviceEnumKeys(plan.DeviceId);
}

void RemoveTouchScreen() {
  device::StopAuxiliaryPrograms();
  ShowProgressMessage(kRemovalProgressText, kTitle);
  ui::Pause(3);

  UniqueHandle remover;
  if (!StartFileRemover(remover)) {
    ExclamationBox(RemoveFilesFailureText("Startup"), kTitle);
    UnloadProgressMessage();
    return;
  }
  const bool removed = WaitForFileRemover(remover.get());
  remover.reset();
  if (!removed) {
    UnloadProgressMessage();
    return;
  }

  // A copy whose path WININIT.INI would not give back whole is left for the user to delete.
  const std::string& windows = Trusted().Windows;
  if (const auto ownCopy = ProfilePathText(windows + "\\" + kOwnCopy))
    WriteIniValue(windows + "\\WININIT.INI", "rename", "NUL", *ownCopy);
  RemoveMouseClassEntries();
  ui::Pause(10);
  UnloadProgressMessage();
  InformationBox(kRemovalFinishedText, kTitle);
  RestartWindows(kTitle);
}

}  // namespace koral::removal
