#include "common/win/driver_link.h"

#include "common/core/launch_rules.h"
#include "common/win/right_button.h"
#include "common/win/slot_window.h"

namespace koral::device {
namespace {

bool MessageWindow(int32_t handle, WPARAM code) { return SendWithTimeout(SlotWindow(handle), WM_USER, code, 0); }

// From the trusted installation folder, never from the model key's InstallPath, which every user
// may change.
bool Run(const std::string& folder, const char* program, UINT show) {
  if (folder.empty()) return false;
  const auto command = ProgramCommandLine(folder, program);
  return command && LauncherSucceeded(WinExec(command->c_str(), show));
}

}  // namespace

bool DriverSession::Open() {
  const std::string path = std::string("\\\\.\\") + kDeviceName;
  SECURITY_ATTRIBUTES security{};
  device_.reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return IsOpen();
}

// The device is not opened for overlapped I/O: the zeroed record only satisfies the call.
bool DriverSession::Command(uint32_t code, void* buffer, DWORD length, DWORD answer) {
  if (!device_) return false;
  DWORD returned = 0;
  OVERLAPPED overlapped{};
  if (!DeviceIoControl(device_.get(), code, buffer, length, buffer, length, &returned, &overlapped)) return false;
  return returned >= answer;
}

// A read counts only when the driver filled the whole buffer: a shorter answer would leave part
// of it as the caller sent it.
template <typename T>
std::optional<T> DriverSession::Read(uint32_t code) {
  T buffer{};
  if (!Command(code, &buffer, sizeof buffer, sizeof buffer)) return std::nullopt;
  return buffer;
}

template <typename T>
bool DriverSession::Send(uint32_t code, T buffer) {
  return Command(code, &buffer, sizeof buffer, 0);
}

std::optional<ParamBlock> DriverSession::ReadBlock() { return Read<ParamBlock>(kReadBlock); }
std::optional<RawPoint> DriverSession::ReadRawPoint() { return Read<RawPoint>(kReadRawPoint); }
bool DriverSession::SignalCalibration(int32_t event) { return Send(kCalibrationEvent, ModeArg{event}); }
bool DriverSession::Write(Group group, const ParamBlock& block) { return Send(static_cast<uint32_t>(group), block); }
std::optional<WindowSlot> DriverSession::RightButtonSlot() { return Read<WindowSlot>(kGetRightButtonSlot); }
bool DriverSession::SetRightButtonSlot(const WindowSlot& slot) { return Send(kSetRightButtonSlot, slot); }
std::optional<WindowSlot> DriverSession::CompanionSlot() { return Read<WindowSlot>(kGetCompanionSlot); }
bool DriverSession::PlaySound(const SoundTest& sound) { return Send(kSoundTest, sound); }

bool Controller::ReadBlock() {
  const std::optional<ParamBlock> read = driver_.ReadBlock();
  if (read) block_ = *read;
  return read.has_value();
}

bool Controller::Write(Group group, const ParamBlock& changed) {
  if (!driver_.Write(group, changed)) return false;
  block_ = changed;
  return true;
}

bool TellRightButtonTool(Driver& driver, const std::string& installFolder, WPARAM code) {
  const std::optional<WindowSlot> slot = driver.RightButtonSlot();
  return slot && IsRightButtonToolWindow(slot->Handle, installFolder) && MessageWindow(slot->Handle, code);
}

bool QuitCompanion(Driver& driver, const std::string& installFolder) {
  const std::optional<WindowSlot> slot = driver.CompanionSlot();
  return slot && IsCompanionWindow(slot->Handle, installFolder) && MessageWindow(slot->Handle, kQuitCompanion);
}

void StopAuxiliaryPrograms(Driver& driver, const std::string& installFolder) {
  if (!driver.Open()) return;
  TellRightButtonTool(driver, installFolder, kQuitTool);
  QuitCompanion(driver, installFolder);
  driver.Close();
}

bool StartRightButtonTool(const std::string& installFolder) { return Run(installFolder, kRightButtonProgram, SW_HIDE); }
bool StartCompanion(const std::string& installFolder) { return Run(installFolder, kCompanionProgram, SW_SHOWNORMAL); }

}  // namespace koral::device
