// The link to the touchscreen driver KORALPS2. Each program makes one DriverSession in its main
// and hands it, as a Driver, to the windows that need it; nothing of it is process-wide. Every
// command is one member with a result of its own: a read gives its buffer or nothing, a write says
// whether the driver took it. No two commands share a buffer, so a failed command cannot leave
// another command's answer where a caller looks for its own.
//
// Driver is the interface the windows see. Tests put a fake behind it that refuses the commands
// they choose (tests/support/fake_driver.h); the real session sends each command to the device.
//
// Controller is the program's one copy of the block, as the driver took it: a window changes a
// group by handing Controller::Write the block with that group's fields changed, and the copy
// becomes that block only when the driver took it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "common/core/driver_protocol.h"
#include "common/win/handles.h"

namespace koral::device {

// wParam codes of the WM_USER message to the right-button tool and the companion.
enum ToolMessage : WPARAM {
  kHideTool = 0x1000,
  kShowTool = 0x1001,
  kQuitTool = 0x100E,
  kQuitCompanion = 0x200E,
};

// The groups of the block that the driver takes with a control code of their own.
enum class Group : uint32_t {
  SerialPorts = kWriteSerialPorts,
  VirtualButton = kWriteVirtualButton,
  Feedback = kWriteFeedback,
  Sensitivity = kWriteSensitivity,
  MouseSpeed = kWriteMouseSpeed,
  Calibration = kWriteCalibration,
  WholeBlock = kWriteWholeBlock,
  SleepTime = kWriteSleepTime,
};

class Driver {
 public:
  virtual ~Driver() = default;

  // Opens the device; true when it is open afterwards. Commands are sent only while it is open.
  virtual bool Open() = 0;
  virtual void Close() = 0;

  virtual std::optional<ParamBlock> ReadBlock() = 0;           // 0xF2010
  virtual std::optional<RawPoint> ReadRawPoint() = 0;          // 0xF2030
  virtual bool SignalCalibration(int32_t event) = 0;          // 0xF2040
  // The whole block with the group's control code (0xF2050 .. 0xF20C0).
  virtual bool Write(Group group, const ParamBlock& block) = 0;
  virtual std::optional<WindowSlot> RightButtonSlot() = 0;     // 0xF3010
  virtual bool SetRightButtonSlot(const WindowSlot& slot) = 0; // 0xF3020
  virtual std::optional<WindowSlot> CompanionSlot() = 0;       // 0xF4010
  virtual bool PlaySound(const SoundTest& sound) = 0;          // 0xF5010
};

// The device "\\.\KORALPS2" as one program holds it.
class DriverSession final : public Driver {
 public:
  DriverSession() = default;
  DriverSession(const DriverSession&) = delete;
  DriverSession& operator=(const DriverSession&) = delete;

  bool Open() override;
  void Close() override { device_.reset(); }
  bool IsOpen() const { return static_cast<bool>(device_); }

  std::optional<ParamBlock> ReadBlock() override;
  std::optional<RawPoint> ReadRawPoint() override;
  bool SignalCalibration(int32_t event) override;
  bool Write(Group group, const ParamBlock& block) override;
  std::optional<WindowSlot> RightButtonSlot() override;
  bool SetRightButtonSlot(const WindowSlot& slot) override;
  std::optional<WindowSlot> CompanionSlot() override;
  bool PlaySound(const SoundTest& sound) override;

 private:
  // One device control call with the buffer as input and output of the same length; true when
  // the driver answered it with exactly `answer` bytes.
  bool Command(uint32_t code, void* buffer, DWORD length, DWORD answer);
  template <typename T>
  std::optional<T> Read(uint32_t code);
  template <typename T>
  bool Send(uint32_t code, T buffer);

  UniqueHandle device_;
};

// The program's copy of the block.
class Controller {
 public:
  explicit Controller(Driver& driver) : driver_(driver) {}
  Controller(const Controller&) = delete;
  Controller& operator=(const Controller&) = delete;

  Driver& driver() const { return driver_; }
  const ParamBlock& Block() const { return block_; }

  // 0xF2010: the copy becomes the driver's block. False, and the copy unchanged, when the read
  // failed.
  bool ReadBlock();
  // Sends `changed` with the group's code; the copy becomes `changed` only when the driver took it.
  bool Write(Group group, const ParamBlock& changed);

 private:
  Driver& driver_;
  ParamBlock block_{};
};

// The auxiliary programs are reached only as the suite's own programs in `installFolder`, the
// trusted installation folder (TrustedFolders::Install, never the model key's InstallPath).
//
// Looks up the right-button tool's window and, when one is registered and it is the suite's own
// tool (IsRightButtonToolWindow), sends it WM_USER with the given code (kHideTool, kShowTool or
// kQuitTool), giving up on a window that does not answer in time. True when the window took it.
bool TellRightButtonTool(Driver& driver, const std::string& installFolder, WPARAM code);
// Looks up the companion's window and, when it is the companion's (IsCompanionWindow), tells it to
// quit, with the same time-out.
bool QuitCompanion(Driver& driver, const std::string& installFolder);
// Opens the driver, tells the right-button tool and the companion to quit, and closes it again;
// nothing happens, and nothing is said, when the driver cannot be opened.
void StopAuxiliaryPrograms(Driver& driver, const std::string& installFolder);
// Start the auxiliary programs from the installation folder; true when the launcher succeeded,
// false without a folder.
bool StartRightButtonTool(const std::string& installFolder);
bool StartCompanion(const std::string& installFolder);

}  // namespace koral::device
