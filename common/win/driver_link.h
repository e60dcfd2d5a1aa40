// The link to the touchscreen driver KORALPS2: one per process, holding the open device, the
// one ParamBlock the program edits and the small command buffers. Every command sends its
// buffer as both input and output; its result is recorded and ignored, so a failed command
// leaves the buffer as it was and the caller carries on with what it holds.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/core/driver_protocol.h"
#include "common/win/handles.h"

namespace koral::device {

struct LinkState {
  UniqueHandle Device;          // empty = not open
  bool LastResult = false;      // result of the last device control call
  DWORD BytesReturned = 0;
  OVERLAPPED Overlapped{};      // zeroed and never changed by us; passed with every command
  ParamBlock Block{};
  ModeArg Mode{};
  RawPoint Raw{};
  WindowSlot Slot{};
  SoundTest Sound{};
};

// wParam codes of the WM_USER message to the right-button tool and the companion.
enum ToolMessage : WPARAM {
  kHideTool = 0x1000,
  kShowTool = 0x1001,
  kQuitTool = 0x100E,
  kQuitCompanion = 0x200E,
};

LinkState& Link();

bool OpenDevice();
// Beeps and shows "Fail to open KORALPS2.vxd!" with the given caption.
void ReportOpenFailure(const char* caption);
void CloseDevice();

// One routine per command; each works on the buffer in Link().
void ReadBlock();                      // 0xF2010
void ReadRawPoint();                   // 0xF2030
void SignalCalibration(int32_t event); // 0xF2040
void WriteSerialPorts();               // 0xF2050
void WriteVirtualButton();             // 0xF2060
void WriteFeedback();                  // 0xF2070
void WriteSensitivity();               // 0xF2080
void WriteMouseSpeed();                // 0xF2090
void WriteCalibration();               // 0xF20A0
void WriteWholeBlock();                // 0xF20B0
void WriteSleepTime();                 // 0xF20C0
void GetRightButtonSlot();             // 0xF3010
void SetRightButtonSlot();             // 0xF3020
void GetCompanionSlot();               // 0xF4010
void PlaySoundTest();                  // 0xF5010

// Looks up the right-button tool's window and, when one is registered and it is the suite's own
// tool (IsRightButtonToolWindow), sends it WM_USER with the given code (kHideTool, kShowTool or
// kQuitTool), giving up on a window that does not answer in time.
void TellRightButtonTool(WPARAM code);
// Looks up the companion's window and, when it is the companion's (IsCompanionWindow), tells it to
// quit, with the same time-out.
void QuitCompanion();
// Opens the driver, tells the right-button tool and the companion to quit, and closes it again;
// nothing happens, and nothing is said, when the driver cannot be opened.
void StopAuxiliaryPrograms();
// Start the auxiliary programs from the trusted installation folder (Trusted().Install, never the
// model key's InstallPath); true when the launcher succeeded.
bool StartRightButtonTool();
bool StartCompanion();

}  // namespace koral::device
