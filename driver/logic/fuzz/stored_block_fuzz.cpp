// libFuzzer target: the block the driver reads back from its service key when it loads. The value
// can be of any type and size: damaged, written by another version, or set by an administrator.
// Whatever it holds, the driver starts with either that block whole or its default block, and
// serves it as any other.
//
// Input: the first byte picks the type (REG_BINARY, REG_SZ, REG_DWORD, or the next four bytes as
// any type number); the rest is the value's data.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "common/core/fuzz/require.h"
#include "driver/logic/driver_logic.h"

namespace {

using namespace koral;
using namespace koral::logic;
using fuzz::Require;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  uint32_t type = kStoredBlockType;
  const uint8_t* value = data + 1;
  size_t length = size - 1;
  switch (data[0] % 4) {
    case 0: type = kStoredBlockType; break;
    case 1: type = 1; break;  // REG_SZ
    case 2: type = 4; break;  // REG_DWORD
    default:
      if (length < 4) return 0;
      std::memcpy(&type, value, 4);
      value += 4;
      length -= 4;
  }
  // Exactly the value's bytes, so that the sanitizer sees a read past them.
  std::unique_ptr<uint8_t[]> stored(new uint8_t[length ? length : 1]);
  if (length) std::memcpy(stored.get(), value, length);

  static DriverState* const state = new DriverState;
  std::memset(state, 0, sizeof *state);
  Reset(*state);
  const ParamBlock fallback = state->Block;
  const bool taken = TakeStoredBlock(type, stored.get(), static_cast<uint32_t>(length), state->Block);
  Require(taken == (type == kStoredBlockType && length == sizeof(ParamBlock)),
          "only a REG_BINARY value of exactly a block is taken");
  Require(std::memcmp(&state->Block, taken ? value : reinterpret_cast<const uint8_t*>(&fallback), sizeof(ParamBlock)) == 0,
          "the driver starts with the stored block whole or with its default block");

  // Served as it was taken, and the programs' group writes still change only their bytes.
  uint8_t buffer[sizeof(ParamBlock)];
  const Outcome read = Handle(*state, kReadBlock, buffer, 0, sizeof buffer);
  Require(read.Result == Status::kOk && std::memcmp(buffer, &state->Block, sizeof buffer) == 0, "the block is served whole");
  const ParamBlock before = state->Block;
  std::memset(buffer, 0x5A, sizeof buffer);
  Require(Handle(*state, kWriteMouseSpeed, buffer, sizeof buffer, sizeof buffer).Result == Status::kOk, "a group write works");
  for (uint32_t offset = 0; offset < sizeof(ParamBlock); ++offset) {
    const uint8_t now = reinterpret_cast<const uint8_t*>(&state->Block)[offset];
    Require(now == (TakesBlockByte(kWriteMouseSpeed, offset) ? 0x5A : reinterpret_cast<const uint8_t*>(&before)[offset]),
            "a group write over a stored block changes only its group");
  }
  return 0;
}
