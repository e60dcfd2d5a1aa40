// Keeps the parameter block under the service key (value "ParamBlock" of its Parameters
// subkey), so that the settings outlive a restart of the service or of the whole system, as a
// real controller's do. Call at PASSIVE_LEVEL only: these are registry calls.
#pragma once

#include "common/core/driver_protocol.h"
#include "driver/kernel.h"

namespace koral::kernel {

// Remembers where the block lives; `service_key` is DriverEntry's registry path.
void InitBlockStore(const UNICODE_STRING& service_key);

// False when nothing usable is stored (first start, or a value of another size or type).
bool LoadStoredBlock(ParamBlock& block);

NTSTATUS StoreBlock(const ParamBlock& block);

}  // namespace koral::kernel
