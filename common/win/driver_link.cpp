#include "common/win/driver_link.h"

#include <string>

#include "common/core/launch_rules.h"
#include "common/core/messages.h"
#include "common/win/message_box.h"
#include "common/win/right_button.h"
#include "common/win/slot_window.h"
#include "common/win/trusted_folders.h"

namespace koral::device {
namespace {

void Command(uint32_t code, void* buffer, DWORD length) {
  auto& link = Link();
  link.LastResult = DeviceIoControl(link.Device.get(), code, buffer, length, buffer, length,
                                    &link.BytesReturned, &link.Overlapped) != 0;
}

void SendBlock(uint32_t code) { Command(code, &Link().Block, sizeof(ParamBlock)); }

void MessageTool(WPARAM code) { SendWithTimeout(SlotWindow(Link().Slot.Handle), WM_USER, code, 0); }

// From the trusted installation folder, never from the model key's InstallPath, which every user
// may change.
bool Run(const char* program, UINT show) {
  const std::string& folder = Trusted().Install;
  if (folder.empty()) return false;
  const auto command = ProgramCommandLine(folder, program);
  return command && LauncherSucceeded(WinExec(command->c_str(), show));
}

}  // namespace

LinkState& Link() {
  static LinkState state;
  return state;
}

bool OpenDevice() {
  const std::string path = std::string("\\\\.\\") + kDeviceName;
  SECURITY_ATTRIBUTES security{};
  Link().Device.reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &security, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(Link().Device);
}

void ReportOpenFailure(const char* caption) { ErrorBox(kOpenFailureText, caption); }

void CloseDevice() { Link().Device.reset(); }

void ReadBlock() { SendBlock(kReadBlock); }
void ReadRawPoint() { Command(kReadRawPoint, &Link().Raw, sizeof(RawPoint)); }
void SignalCalibration(int32_t event) {
  Link().Mode.Value = event;
  Command(kCalibrationEvent, &Link().Mode, sizeof(ModeArg));
}
void WriteSerialPorts() { SendBlock(kWriteSerialPorts); }
void WriteVirtualButton() { SendBlock(kWriteVirtualButton); }
void WriteFeedback() { SendBlock(kWriteFeedback); }
void WriteSensitivity() { SendBlock(kWriteSensitivity); }
void WriteMouseSpeed() { SendBlock(kWriteMouseSpeed); }
void WriteCalibration() { SendBlock(kWriteCalibration); }
void WriteWholeBlock() { SendBlock(kWriteWholeBlock); }
void WriteSleepTime() { SendBlock(kWriteSleepTime); }
void GetRightButtonSlot() { Command(kGetRightButtonSlot, &Link().Slot, sizeof(WindowSlot)); }
void SetRightButtonSlot() { Command(kSetRightButtonSlot, &Link().Slot, sizeof(WindowSlot)); }
void GetCompanionSlot() { Command(kGetCompanionSlot, &Link().Slot, sizeof(WindowSlot)); }
void PlaySoundTest() { Command(kSoundTest, &Link().Sound, sizeof(SoundTest)); }

void TellRightButtonTool(WPARAM code) {
  GetRightButtonSlot();
  if (IsRightButtonToolWindow(Link().Slot.Handle)) MessageTool(code);
}

void QuitCompanion() {
  GetCompanionSlot();
  if (IsCompanionWindow(Link().Slot.Handle)) MessageTool(kQuitCompanion);
}

void StopAuxiliaryPrograms() {
  if (!OpenDevice()) return;
  TellRightButtonTool(kQuitTool);
  QuitCompanion();
  CloseDevice();
}

bool StartRightButtonTool() { return Run(kRightButtonProgram, SW_HIDE); }
bool StartCompanion() { return Run(kCompanionProgram, SW_SHOWNORMAL); }

}  // namespace koral::device
