// The setup finisher's seeds in the model key (HKLM\SOFTWARE\Brimholt\TouchScreen\KR-PS2), read
// for a driver that has no stored block yet. Call at PASSIVE_LEVEL only: these are registry calls.
#pragma once

#include "common/core/driver_protocol.h"
#include "driver/kernel.h"

namespace koral::kernel {

// Takes the usable seeds into the block (logic::TakeSeeds); without the key nothing changes.
void TakeModelKeySeeds(ParamBlock& block);

}  // namespace koral::kernel
