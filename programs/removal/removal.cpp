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

bool StartFileRemover(const std::string& installFolder, UniqueHandle& process) {
  // Run elevated: from the trusted installation folder, never from the model key's InstallPath.
  if (installFolder.empty()) return false;
  const auto program = ProgramCommandLine(installFolder, kFileRemoverProgram);
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
  process.reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, started.dwProcessId));
  return static_cast<bool>(process);
}

bool WaitForFileRemover(ui::Application& app, HANDLE process) {
  for (int wait = 1;; ++wait) {
    app.DoEvents();
    const RemoverWaitVerdict verdict = JudgeRemoverWait(WaitForSingleObject(process, kRemoverWaitMilliseconds), wait);
    if (!verdict.Done) continue;
    if (!verdict.Ended) ExclamationBox(RemoveFilesFailureText(verdict.Failure), kTitle);
    return verdict.Ended;
  }
}

std::optional<uint32_t> RemoverExitCode(HANDLE process) {
  DWORD code = 0;
  if (!GetExitCodeProcess(process, &code) || code == STILL_ACTIVE) return std::nullopt;
  return code;
}

bool RemoveMouseClassEntries() {
  const ClassRemoval plan = PlanClassRemoval(ReadEveryClassKey());
  bool all = true;
  DeleteClassKeys(plan.Delete, [&all](const std::string& path) {
    all = false;
    PlainBox(RemovalDeleteFailureText(path), kTitle);
  });
  DeleteDeviceEnumKeys(plan.DeviceId);
  return all;
}

void RemoveTouchScreen(ui::Application& app, const TrustedFolders& trusted, frmMessage& progress) {
  {
    device::DriverSession driver;
    device::StopAuxiliaryPrograms(driver, trusted.Install);
  }
  progress.ShowMessage(kRemovalProgressText, kTitle);
  app.Pause(3);

  UniqueHandle remover;
  if (!StartFileRemover(trusted.Install, remover)) {
    ExclamationBox(RemoveFilesFailureText("Startup"), kTitle);
    progress.Close();
    return;
  }
  const bool ended = WaitForFileRemover(app, remover.get());
  const std::optional<uint32_t> exitCode = ended ? RemoverExitCode(remover.get()) : std::nullopt;
  remover.reset();
  if (!ended) {
    progress.Close();
    return;
  }
  // The remover did not do all its work (its exit code says so, or cannot be read): the
  // registration stays, so that the installation is not left half removed by this program too.
  if (exitCode != 0u) {
    ExclamationBox(RemoveFilesFailureText(RemoverExitText(exitCode)), kTitle);
    progress.Close();
    return;
  }

  // A copy whose path WININIT.INI would not give back whole is left for the user to delete, and
  // said so.
  const std::string& windows = trusted.Windows;
  const std::string ownCopy = windows + "\\" + kOwnCopy;
  const auto written = ProfilePathText(ownCopy);
  const bool scheduled = written && WriteIniValue(windows + "\\WININIT.INI", "rename", "NUL", *written);
  if (!scheduled) PlainBox(ScheduleDeletionFailureText(ownCopy), kTitle);
  const bool unregistered = RemoveMouseClassEntries();
  app.Pause(10);
  progress.Close();
  InformationBox(scheduled && unregistered ? kRemovalFinishedText : kRemovalIncompleteText, kTitle);
  RestartWindows(kTitle);
}

}  // namespace koral::removal
