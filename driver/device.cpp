#include "driver/device.h"

#include "driver/block_store.h"
#include "driver/model_key_seeds.h"

namespace koral::kernel {
namespace {

NTSTATUS ToNtStatus(logic::Status status) {
  switch (status) {
    case logic::Status::kOk:
      return STATUS_SUCCESS;
    case logic::Status::kBadLength:
      return STATUS_INFO_LENGTH_MISMATCH;
    case logic::Status::kBadValue:
      return STATUS_INVALID_PARAMETER;
    case logic::Status::kUnknownCode:
      break;
  }
  return STATUS_INVALID_DEVICE_REQUEST;
}

// Every path through a dispatch routine ends here, exactly once.
NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = information;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

DeviceExtension& ExtensionOf(PDEVICE_OBJECT device) {
  return *static_cast<DeviceExtension*>(device->DeviceExtension);
}

}  // namespace

void InitDevice(DeviceExtension& extension) {
  KeInitializeEvent(&extension.Lock, SynchronizationEvent, TRUE);
  logic::Reset(extension.State);
  // A new installation's driver starts from the settings its setup seeded.
  if (!LoadStoredBlock(extension.State.Block)) TakeModelKeySeeds(extension.State.Block);
}

NTSTATUS NTAPI DispatchCreateClose(PDEVICE_OBJECT, PIRP irp) {
  return Complete(irp, STATUS_SUCCESS, 0);
}

NTSTATUS NTAPI DispatchDeviceControl(PDEVICE_OBJECT device, PIRP irp) {
  DeviceExtension& extension = ExtensionOf(device);
  const IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
  const auto& call = stack->Parameters.DeviceIoControl;
  // Every code of this driver is METHOD_BUFFERED: input and output share the system buffer.
  auto* buffer = static_cast<uint8_t*>(irp->AssociatedIrp.SystemBuffer);

  KeWaitForSingleObject(&extension.Lock, Executive, KernelMode, FALSE, nullptr);
  const logic::Outcome outcome = logic::Handle(extension.State, call.IoControlCode, buffer,
                                               call.InputBufferLength, call.OutputBufferLength);
  // The command has taken effect either way; a lost write only costs the next start this change.
  if (outcome.BlockChanged) StoreBlock(extension.State.Block);
  KeSetEvent(&extension.Lock, IO_NO_INCREMENT, FALSE);

  return Complete(irp, ToNtStatus(outcome.Result), outcome.BytesReturned);
}

}  // namespace koral::kernel
