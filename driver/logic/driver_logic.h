// What the substitute driver does with each control code, free of any kernel or Windows API so
// that it runs natively under the sanitizers and inside the kernel driver alike. No heap, no
// exceptions, no library containers: the kernel build links this with -nostdlib.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "common/core/driver_protocol.h"

namespace koral::logic {

// Commands kept between two journal reads. A full journal keeps its oldest entries and records
// nothing more until a read makes room: what a scenario did first is never pushed out by a
// program polling in a loop. The commands themselves still take effect.
inline constexpr uint32_t kJournalCapacity = 1024;

struct Journal {
  JournalEntry Entries[kJournalCapacity];
  uint32_t First;  // index of the oldest entry
  uint32_t Count;
};

// Suite codes the driver has been told to refuse (kSimRefuse), one entry a code.
inline constexpr uint32_t kRefusalCapacity = 8;

struct Refusal {
  uint32_t Code;
  uint32_t Left;  // requests still to refuse; 0: the entry is free; kRefuseAlways: until a reset
};

struct DriverState {
  ParamBlock Block;
  WindowSlot RightButton;  // the right-button tool's window and its armed state
  WindowSlot Companion;    // the companion's window and the orientation code
  RawPoint Sample;         // latest raw sample
  Journal Log;
  Refusal Refusals[kRefusalCapacity];
};

enum class Status : uint8_t {
  kOk,
  kUnknownCode,  // not a code of this driver
  kBadLength,    // a buffer length the code does not take
  kBadValue,     // a field outside what the code accepts
  kRefused,      // a request the driver was told to refuse (kSimRefuse)
};

struct Outcome {
  Status Result;
  uint32_t BytesReturned;  // bytes of output written to the buffer (0 on failure)
  bool BlockChanged;       // the block was written: the caller persists it
};

// The block of a freshly installed PS/2 controller.
ParamBlock DefaultBlock();

// Default block, empty slots, no touch, empty journal, no refusals. The sample counter keeps
// running so that the first sample after a reset is never mistaken for one read before it.
void Reset(DriverState& state);

// Whether `code` takes byte `offset` of the block it is sent (false for codes that take none).
bool TakesBlockByte(uint32_t code, uint32_t offset);

// What a controller plays for a beep (a sound test, 0xF5010, and the touch beeps the block's
// feedback fields set up): the tone divides the clock of the PC speaker's timer, so smaller
// values sound higher, and the duration counts steps of 10 ms. A tone or duration of 0 or less
// plays nothing; both are then 0.
inline constexpr uint32_t kSpeakerClockHertz = 1193182;
inline constexpr uint32_t kBeepStepMilliseconds = 10;

struct Beep {
  uint32_t Hertz;         // rounded to the nearest whole hertz
  uint32_t Milliseconds;
};

Beep BeepOf(int16_t tone, int16_t duration);

// The registry's type for a value of bytes (REG_BINARY), in which the block is stored.
inline constexpr uint32_t kStoredBlockType = 3;

// Takes the block stored under the service key, as the registry gave it back at load, into
// `block` when it is one: of type REG_BINARY and exactly a block long. Any other type or size is
// not a block (another program's value, or damage) and leaves `block` as it was; false then.
bool TakeStoredBlock(uint32_t type, const uint8_t* data, uint32_t length, ParamBlock& block);

// Carries out one buffered control call. `buffer` holds `input_length` bytes of input on entry
// and receives at most `output_length` bytes of output (it is at least as large as the larger
// of the two, as the I/O manager allocates it; it may be null when both are 0). A failed call
// changes nothing, neither the state nor the buffer, and is not journalled; a refused one only
// counts down its refusal.
Outcome Handle(DriverState& state, uint32_t code, uint8_t* buffer, uint32_t input_length,
               uint32_t output_length);

}  // namespace koral::logic
