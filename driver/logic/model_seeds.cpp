#include "driver/logic/model_seeds.h"

namespace koral::logic {
namespace {

// The value of the seed's `part`-th key: each byte of a four-byte seed holds one key, first
// key first; a two-byte seed is one little-endian value.
int32_t KeyValue(const SeedValue& seed, const SeedReading& reading, int part) {
  if (seed.ByteCount == 2) return reading.Data[0] | reading.Data[1] << 8;
  return reading.Data[seed.ByteCount == 4 ? part : 0];
}

void SetField(ParamBlock& block, const SetupIniKey& key, int32_t value) {
  auto* bytes = reinterpret_cast<uint8_t*>(&block);
  bytes[key.BlockOffset] = static_cast<uint8_t>(value);
  if (key.BlockWidth == 2) bytes[key.BlockOffset + 1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

uint32_t TakeSeeds(ParamBlock& block, const SeedReading (&readings)[kSeedValueCount]) {
  uint32_t taken = 0;
  for (size_t s = 0; s < kSeedValueCount; ++s) {
    const SeedValue& seed = kSeedValues[s];
    const SeedReading& reading = readings[s];
    if (seed.ByteCount == 0 || !reading.Present || reading.Type != kRegBinary ||
        reading.Length != static_cast<uint32_t>(seed.ByteCount))
      continue;
    const int parts = seed.ByteCount == 4 ? 4 : 1;
    bool inRange = true;
    for (int part = 0; part < parts; ++part) {
      const SetupIniKey& key = kSetupIniKeys[SetupIniKeyIndex(seed.Keys[part])];
      const int32_t value = KeyValue(seed, reading, part);
      inRange = inRange && value >= key.Minimum && value <= key.Maximum && key.BlockOffset != kNotInBlock;
    }
    if (!inRange) continue;
    for (int part = 0; part < parts; ++part)
      SetField(block, kSetupIniKeys[SetupIniKeyIndex(seed.Keys[part])], KeyValue(seed, reading, part));
    ++taken;
  }
  return taken;
}

}  // namespace koral::logic
