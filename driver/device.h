// The device \Device\KORALPS2: its state and the dispatch routines of its requests.
#pragma once

#include "driver/kernel.h"
#include "driver/logic/driver_logic.h"

namespace koral::kernel {

struct DeviceExtension {
  // One request at a time. An event rather than a spin lock or fast mutex: the holder stays at
  // PASSIVE_LEVEL, where it may write the block to the registry.
  KEVENT Lock;
  logic::DriverState State;
};

// Sets up a new device's extension: the defaults, then the block stored by an earlier run, or
// without one the seeds of the model key.
void InitDevice(DeviceExtension& extension);

NTSTATUS NTAPI DispatchCreateClose(PDEVICE_OBJECT device, PIRP irp);
NTSTATUS NTAPI DispatchDeviceControl(PDEVICE_OBJECT device, PIRP irp);

}  // namespace koral::kernel
