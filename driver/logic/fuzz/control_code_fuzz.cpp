// libFuzzer target: the driver's control-code handling, the most exposed input of the suite: any
// local process that opens the device can send any code with any input and output lengths, and
// the I/O manager hands the handler one buffer of the larger length.
//
// Input: a run of calls on one driver state. Each call: a code byte (below 0x80 one of the
// protocol's codes, else the next four bytes as any code), then the input and the output length
// (a byte each: below 0xF0 one of the lengths the protocol knows, one byte off, or a multiple of
// a journal entry; else the next four bytes as any length), then as many input bytes as the input
// length asks for (up to the input's end). A code byte of 0x7F repeats the previous call up to 32
// times, as the next byte says; 0x7E fills the journal to the brim (as 1,024 sound tests would).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "common/core/fuzz/require.h"
#include "driver/logic/driver_logic.h"

namespace {

using namespace koral;
using namespace koral::logic;
using fuzz::Require;

constexpr uint32_t kCodes[] = {
    kReadBlock,       kReadRawPoint,       kCalibrationEvent, kWriteSerialPorts,  kWriteVirtualButton,
    kWriteFeedback,   kWriteSensitivity,   kWriteMouseSpeed,  kWriteCalibration,  kWriteWholeBlock,
    kWriteSleepTime,  kGetRightButtonSlot, kSetRightButtonSlot, kGetCompanionSlot, kSoundTest,
    kSimLoadBlock,    kSimPushSample,      kSimReadJournal,   kSimRightClickDone, kSimSetCompanionSlot,
    kSimReset,
};

constexpr uint32_t kEntry = sizeof(JournalEntry);
constexpr uint32_t kLengths[] = {
    0, 1, 2, 3, 4, 5, 7, 8, 9, 81, 82, 83, kEntry - 1, kEntry, kEntry + 1, 2 * kEntry, 3 * kEntry,
    kJournalCapacity * kEntry, (kJournalCapacity + 1) * kEntry, 0xFFFFFFFFu / kEntry * kEntry, 0x80000000u,
    0xFFFFFFFFu,
};

// No code reads or writes more than a whole journal; a longer buffer is given at this size, so
// that a touch past it shows as a fault too.
constexpr uint32_t kLargestBuffer = 1u << 20;

bool Known(uint32_t code) {
  for (uint32_t known : kCodes)
    if (code == known) return true;
  return false;
}

bool WritesBlock(uint32_t code) {
  return code == kSimLoadBlock || code == kSimReset || code == kWriteSerialPorts || code == kWriteVirtualButton ||
         code == kWriteFeedback || code == kWriteSensitivity || code == kWriteMouseSpeed ||
         code == kWriteCalibration || code == kWriteWholeBlock || code == kWriteSleepTime;
}

struct Reader {
  const uint8_t* Data;
  size_t Size;
  size_t At = 0;
  bool Done() const { return At >= Size; }
  uint8_t Byte() { return At < Size ? Data[At++] : 0; }
  uint32_t Word() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(Byte()) << (8 * i);
    return value;
  }
  uint32_t Length() {
    const uint8_t pick = Byte();
    return pick < 0xF0 ? kLengths[pick % std::size(kLengths)] : Word();
  }
};

// What a failed call must leave as it was, and what a successful one may change.
struct Observed {
  ParamBlock Block;
  WindowSlot RightButton, Companion;
  RawPoint Sample;
  uint32_t First, Count;
  JournalEntry Next;  // the entry the next record would fill
};

Observed Observe(const DriverState& state) {
  Observed seen;
  std::memset(&seen, 0, sizeof seen);  // its padding too: the whole is compared
  std::memcpy(&seen.Block, &state.Block, sizeof seen.Block);
  std::memcpy(&seen.RightButton, &state.RightButton, sizeof seen.RightButton);
  std::memcpy(&seen.Companion, &state.Companion, sizeof seen.Companion);
  std::memcpy(&seen.Sample, &state.Sample, sizeof seen.Sample);
  seen.First = state.Log.First;
  seen.Count = state.Log.Count;
  std::memcpy(&seen.Next, &state.Log.Entries[(state.Log.First + state.Log.Count) % kJournalCapacity], kEntry);
  return seen;
}

bool Same(const void* a, const void* b, size_t size) { return size == 0 || std::memcmp(a, b, size) == 0; }

// The handler writes its output at the buffer's start: a block, a sample or a slot, or journal
// entries. Past what it returns, the bytes are checked over this many (or the whole journal's).
constexpr uint32_t kChecked = 256;

void Call(DriverState& state, uint32_t code, uint32_t inLength, uint32_t outLength, const uint8_t* input,
          size_t inputBytes) {
  // One arena for every call; the buffer ends where the arena ends, so that the sanitizer sees
  // any touch past it.
  static uint8_t* const arena = new uint8_t[kLargestBuffer];
  const size_t length = std::min<size_t>(std::max(inLength, outLength), kLargestBuffer);
  uint8_t* const buffer = length ? arena + kLargestBuffer - length : nullptr;
  const size_t checked =
      std::min<size_t>(length, code == kSimReadJournal ? (kJournalCapacity + 1) * kEntry : kChecked);
  if (checked) std::memset(buffer, 0xA5, checked);
  if (length && inputBytes) std::memcpy(buffer, input, std::min(inputBytes, length));
  static uint8_t before[(kJournalCapacity + 1) * kEntry];
  if (checked) std::memcpy(before, buffer, checked);
  const Observed was = Observe(state);

  const Outcome outcome = Handle(state, code, buffer, inLength, outLength);
  const Observed now = Observe(state);

  Require(state.Log.Count <= kJournalCapacity && state.Log.First < kJournalCapacity, "the journal stays in bounds");
  if (!Known(code)) Require(outcome.Result == Status::kUnknownCode, "only the protocol's codes are taken");
  if (outcome.Result != Status::kOk) {
    Require(outcome.BytesReturned == 0 && !outcome.BlockChanged, "a failed call returns nothing");
    Require(Same(&was, &now, sizeof was), "a failed call changes nothing in the driver");
    Require(Same(before, buffer, checked), "a failed call leaves the buffer as it was");
    return;
  }
  Require(outcome.BytesReturned <= outLength && outcome.BytesReturned <= length, "output fits the output length");
  if (outcome.BytesReturned < checked)
    Require(Same(before + outcome.BytesReturned, buffer + outcome.BytesReturned, checked - outcome.BytesReturned),
            "nothing is written past the output returned");
  Require(outcome.BlockChanged == WritesBlock(code), "exactly the block-writing codes report a changed block");
  if (!WritesBlock(code)) Require(Same(&was.Block, &now.Block, sizeof was.Block), "other codes leave the block alone");
  if (WritesBlock(code) && code != kWriteWholeBlock && code != kSimLoadBlock && code != kSimReset) {
    for (uint32_t offset = 0; offset < sizeof(ParamBlock); ++offset) {
      if (TakesBlockByte(code, offset)) continue;
      Require(reinterpret_cast<const uint8_t*>(&was.Block)[offset] == reinterpret_cast<const uint8_t*>(&now.Block)[offset],
              "a group code changes only the bytes of its group");
    }
  }
  if (code == kReadBlock) Require(Same(buffer, &now.Block, sizeof(ParamBlock)), "the block read is the driver's");
  if (code == kSimReadJournal) {
    Require(outcome.BytesReturned % kEntry == 0, "the journal comes in whole entries");
    Require(now.Count + outcome.BytesReturned / kEntry == was.Count, "entries read leave the journal");
  } else if (code != kSimReset) {
    Require(now.Count == was.Count || now.Count == was.Count + 1, "a call records at most one entry");
  }
}

// A journal as full as it gets, filled by sound tests, so that an input reaches it in one byte.
const Journal& FullJournal() {
  static const Journal* const full = [] {
    auto* filled = new DriverState;
    std::memset(filled, 0, sizeof *filled);
    Reset(*filled);
    for (uint32_t n = 0; n < kJournalCapacity; ++n) {
      const SoundTest test = {static_cast<int16_t>(200 + n), 10};
      uint8_t buffer[sizeof test];
      std::memcpy(buffer, &test, sizeof test);
      Handle(*filled, kSoundTest, buffer, sizeof buffer, 0);
    }
    Require(filled->Log.Count == kJournalCapacity, "sound tests fill the journal");
    return &filled->Log;
  }();
  return *full;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static DriverState* const state = new DriverState;
  std::memset(state, 0, sizeof *state);
  Reset(*state);

  Reader in{data, size};
  uint32_t code = kReadBlock, inLength = 0, outLength = sizeof(ParamBlock);
  const uint8_t* input = nullptr;
  size_t inputBytes = 0;
  while (!in.Done()) {
    const uint8_t pick = in.Byte();
    if (pick == 0x7E) {
      std::memcpy(&state->Log, &FullJournal(), sizeof(Journal));
      continue;
    }
    if (pick == 0x7F) {
      for (int n = in.Byte() % 32 + 1; n > 0; --n) Call(*state, code, inLength, outLength, input, inputBytes);
      continue;
    }
    code = pick < 0x80 ? kCodes[pick % std::size(kCodes)] : in.Word();
    inLength = in.Length();
    outLength = in.Length();
    input = data + in.At;
    inputBytes = std::min<size_t>(inLength, size - in.At);
    in.At += inputBytes;
    Call(*state, code, inLength, outLength, input, inputBytes);
  }
  return 0;
}
