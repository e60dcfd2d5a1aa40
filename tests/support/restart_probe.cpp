#include "tests/support/restart_probe.h"

#include <windows.h>

#include "common/win/registry.h"
#include "common/win/utilities.h"
#include "tests/support/programs.h"

namespace koral::test {
namespace {

constexpr char kRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kEntry[] = "KoralRestartProbe";

}  // namespace

RestartProbe::~RestartProbe() { Disarm(); }

testing::AssertionResult RestartProbe::Arm() {
  Disarm();
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  copy_ = std::string(folder) + "koral_restart_probe_" + std::to_string(GetCurrentProcessId()) + "_" +
          std::to_string(GetTickCount64()) + ".exe";
  const std::string marker = ToolFolder() + "\\marker_program.exe";
  if (!CopyFileA(marker.c_str(), copy_.c_str(), FALSE))
    return testing::AssertionFailure() << "cannot copy " << marker << " to " << copy_ << ": " << ErrorText(GetLastError());
  UniqueHKey key;
  if (!registry::OpenKey(HKEY_LOCAL_MACHINE, kRunOnce, "", key) ||
      !registry::WriteText(key.get(), kEntry, "\"" + copy_ + "\""))
    return testing::AssertionFailure() << "cannot write the entry " << kEntry << " under HKEY_LOCAL_MACHINE\\" << kRunOnce;
  return testing::AssertionSuccess();
}

testing::AssertionResult RestartProbe::WaitForRestart(std::chrono::milliseconds limit) const {
  if (copy_.empty()) return testing::AssertionFailure() << "the restart probe was not armed";
  return WaitUntil("a restart to run the RunOnce entry " + std::string(kEntry) + " (" + copy_ + ".ran to appear)",
                   [&] { return FileExists(copy_ + ".ran"); }, limit);
}

bool RestartProbe::StillArmed() const {
  UniqueHKey key;
  std::string entry;
  return registry::OpenExistingKey(HKEY_LOCAL_MACHINE, kRunOnce, key) && registry::ReadText(key.get(), kEntry, entry);
}

void RestartProbe::Disarm() {
  UniqueHKey key;
  if (registry::OpenExistingKey(HKEY_LOCAL_MACHINE, kRunOnce, key)) RegDeleteValueA(key.get(), kEntry);
  if (copy_.empty()) return;
  DeleteFileA(copy_.c_str());
  DeleteFileA((copy_ + ".ran").c_str());
  copy_.clear();
}

}  // namespace koral::test
