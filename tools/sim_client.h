// Client of the substitute KORALPS2 driver for tests, benchmarks and emulators: its private
// simulation codes and raw control calls. The service that runs it is controlled through
// common/win/service_control.h.
//
// Simulation codes (each buffer is sent as both input and output, as the suite does):
//   0xFE010 load block        82 bytes in; they become the driver's block
//   0xFE020 push sample       SimSample in; the latest raw sample, counter advanced
//   0xFE030 read journal      k x JournalEntry out; the k oldest entries, removed
//   0xFE040 right click done  4 bytes; an armed right-button state (1) becomes 0
//   0xFE050 set companion     WindowSlot in; the companion's window and orientation code
//   0xFE060 reset             4 bytes; default block, empty slots, no touch, empty journal,
//                             no refusals
//   0xFE070 refuse            SimRefusal in; the next Count requests with a suite code fail with
//                             ERROR_IO_DEVICE, unjournalled (kRefuseAlways: until a reset; 0: end)
// A call with a length its code does not take fails with ERROR_BAD_LENGTH, an unknown code
// with ERROR_INVALID_FUNCTION, a push with a touched flag above 1 with
// ERROR_INVALID_PARAMETER, as does a refusal of a code that is not the suite's or a ninth code
// refused at once; a failed call changes nothing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "common/core/driver_protocol.h"
#include "common/win/handles.h"

namespace koral::sim {

class SimClient {
 public:
  // Opens "\\.\KORALPS2" for reading and writing (shared read and write): the simulation codes
  // ask for write access, which the device grants administrators only. With a wait, tries again
  // until the device opens or `wait_ms` milliseconds have passed.
  bool Open(DWORD wait_ms = 0);
  bool IsOpen() const { return static_cast<bool>(device_); }
  void Close() { device_.reset(); }

  // One control call with separate input and output buffers; `returned` receives the bytes
  // returned. The call passes a zeroed OVERLAPPED, as the suite does.
  bool Call(uint32_t code, const void* input, DWORD input_length, void* output,
            DWORD output_length, DWORD* returned = nullptr);
  // The suite's way: one buffer as input and output, same length.
  bool Exchange(uint32_t code, void* buffer, DWORD length, DWORD* returned = nullptr);
  // The Win32 error of the last failed call (0 after a success).
  DWORD LastError() const { return last_error_; }

  bool Reset();
  bool LoadBlock(const ParamBlock& block);
  bool PushSample(int16_t x, int16_t y, bool touched);
  // Reads until the journal is empty, oldest entry first. On a failed read it returns what
  // it had read; LastError() tells.
  std::vector<JournalEntry> ReadJournal();
  bool RightClickDone();
  bool SetCompanionSlot(int32_t handle, int16_t orientation);
  // The driver refuses the next `count` requests with the suite code `code`.
  bool Refuse(uint32_t code, uint32_t count = kRefuseAlways);

  // Suite codes, for checks. Note that 0xF2010 and the slot reads are journalled.
  std::optional<ParamBlock> ReadBlock();
  std::optional<RawPoint> ReadRawPoint();
  std::optional<WindowSlot> RightButtonSlot();
  std::optional<WindowSlot> CompanionSlot();

  // The block the driver starts with and returns to on Reset().
  static ParamBlock DefaultBlock();

 private:
  UniqueHandle device_;
  DWORD last_error_ = 0;
};

// The block a journal entry carried to the driver.
ParamBlock BlockOf(const JournalEntry& entry);

}  // namespace koral::sim
