// Who may use the substitute driver's device, as portable code (the kernel side applies it in
// driver/driver_entry.cpp and driver/device.cpp): the security descriptor the device gets, the
// rule for the simulation codes, and the order in which changed blocks are stored. Freestanding,
// like the rest of driver_logic.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace koral::logic {

// Access rights as the system numbers them.
inline constexpr uint32_t kFileAllAccess = 0x001F01FF;
inline constexpr uint32_t kFileGenericRead = 0x00120089;  // read data, attributes, EAs; synchronize

// The access a control code asks of the handle it is sent on (bits 14..15 of the code); the I/O
// manager refuses the code on a handle opened without it.
inline constexpr uint32_t kFileReadAccess = 1;
inline constexpr uint32_t kFileWriteAccess = 2;
constexpr uint32_t RequiredAccess(uint32_t code) { return (code >> 14) & 3; }

// The device's security descriptor, self-relative, its access list protected from inheritance:
// SYSTEM and Administrators all access, Users read access, nobody else anything. Read access is
// all the suite's programs open the device with and all its control codes need; the simulation
// codes ask for write access, which only SYSTEM and Administrators can get. As SDDL:
inline constexpr const char kDeviceSecuritySddl[] = "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;BU)";
inline constexpr uint32_t kDeviceSecuritySize = 96;

// Writes the descriptor into `out` (4-byte aligned, at least kDeviceSecuritySize bytes) and returns
// its size; 0 when it does not fit.
uint32_t BuildDeviceSecurity(uint8_t* out, uint32_t capacity);

// What the driver learnt about a handle's opener when it was opened.
enum class Opener : uint8_t {
  kUnknown = 0,        // no security context came with the open (Wine sends none)
  kAdministrator = 1,  // an administrator or the system
  kOther = 2,
};

// The simulation codes play the hardware and rewrite what the suite relies on: refused to a handle
// whose opener was no administrator. An unknown opener passes: the code's write access has been
// checked by the I/O manager, and only administrators can open the device for writing.
bool IsSimulationCode(uint32_t code);
bool Permits(uint32_t code, Opener opener);

// Keeps the stored block in step with the driver's block without a registry call under the state
// lock: a request that changed the block takes a numbered copy under that lock; the copies are
// stored one at a time after it, and one older than a copy already stored is dropped. So the
// newest block is always the last one stored, and no caller waits on another's registry write
// while it holds the state.
class BlockStoreOrder {
 public:
  // Under the state lock, once a request has changed the block: the number of its copy.
  uint32_t Changed() { return ++latest_; }
  // Under the store lock: whether copy `number` is to be stored, and that it was.
  bool Wanted(uint32_t number) const { return number > stored_; }
  void Stored(uint32_t number) { stored_ = number; }

 private:
  uint32_t latest_ = 0;
  uint32_t stored_ = 0;
};

}  // namespace koral::logic
