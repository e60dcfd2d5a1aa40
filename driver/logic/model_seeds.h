// The seeds a new installation's setup finisher leaves in the model key, taken into the substitute
// driver's block when it has no block of its own yet: so that an installation with a fleet's
// "setup.ini" shows that fleet's settings from its first start. Portable, for the kernel and the
// native tests alike.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "common/core/driver_protocol.h"
#include "common/core/setup_seeds.h"

namespace koral::logic {

// The registry's type code of REG_BINARY, the type the setup finisher stores block seeds with.
inline constexpr uint32_t kRegBinary = 3;

// One value of kSeedValues as the driver found it in the model key: its type, its length, and
// its first bytes.
struct SeedReading {
  bool Present;
  uint32_t Type;
  uint32_t Length;
  uint8_t Data[4];
};

// Takes into the block each seed that sets block fields (every REG_BINARY value of kSeedValues:
// VirtualButton, RightButtonFunction, RightButtonAutomatic, FeedbackSound, FeedbackTone,
// FeedbackDuration, MouseSpeed, PanelDirection) when it is REG_BINARY of exactly its length and
// every key's value in it lies in that key's range; any other seed leaves its fields as they
// are. The model key is open to standard users, so nothing outside the ranges a user may set
// through the control panel gets in. The number of seeds taken.
uint32_t TakeSeeds(ParamBlock& block, const SeedReading (&readings)[kSeedValueCount]);

}  // namespace koral::logic
