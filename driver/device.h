// The device \Device\KORALPS2: its state and the dispatch routines of its requests.
#pragma once

#include "driver/kernel.h"
#include "driver/logic/device_access.h"
#include "driver/logic/driver_logic.h"

namespace koral::kernel {

struct DeviceExtension {
  // One request at a time. A mutex rather than an event, a spin lock or a fast mutex: its holder
  // stays at PASSIVE_LEVEL and inside a critical region, so it cannot be suspended while others
  // wait. It is never held over a registry call.
  KMUTEX Lock;
  logic::DriverState State;
  // One store of the block at a time, after Lock is released, the newest copy last.
  KMUTEX StoreLock;
  logic::BlockStoreOrder StoreOrder;
};

// Sets up a new device's extension: the defaults, then the block stored by an earlier run, or
// without one the seeds of the model key.
void InitDevice(DeviceExtension& extension);

NTSTATUS NTAPI DispatchCreate(PDEVICE_OBJECT device, PIRP irp);
NTSTATUS NTAPI DispatchCleanupClose(PDEVICE_OBJECT device, PIRP irp);
NTSTATUS NTAPI DispatchDeviceControl(PDEVICE_OBJECT device, PIRP irp);

}  // namespace koral::kernel
