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
    case logic::Status::kRefused:
      return STATUS_IO_DEVICE_ERROR;  // as a controller that does not answer
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

void Acquire(KMUTEX& mutex) { KeWaitForSingleObject(&mutex, Executive, KernelMode, FALSE, nullptr); }
void Release(KMUTEX& mutex) { KeReleaseMutex(&mutex, FALSE); }

// Who opened the handle, as DispatchCreate noted it in the file object (FsContext2 is free for a
// driver that is no file system).
logic::Opener OpenerOf(const FILE_OBJECT* file) {
  if (file == nullptr) return logic::Opener::kUnknown;
  return static_cast<logic::Opener>(reinterpret_cast<ULONG_PTR>(file->FsContext2));
}

// The opener's token is in the create request's security context. Wine sends none: the opener
// stays unknown there.
logic::Opener OpenerOf(const IO_STACK_LOCATION& stack) {
  const IO_SECURITY_CONTEXT* context = stack.Parameters.Create.SecurityContext;
  if (context == nullptr || context->AccessState == nullptr) return logic::Opener::kUnknown;
  const SECURITY_SUBJECT_CONTEXT& subject = context->AccessState->SubjectSecurityContext;
  const PACCESS_TOKEN token = subject.ClientToken != nullptr ? subject.ClientToken : subject.PrimaryToken;
  if (token == nullptr) return logic::Opener::kUnknown;
  return SeTokenIsAdmin(token) ? logic::Opener::kAdministrator : logic::Opener::kOther;
}

// The command has taken effect either way; a lost write only costs the next start this change.
void StoreCopy(DeviceExtension& extension, const ParamBlock& copy, uint32_t number) {
  Acquire(extension.StoreLock);
  if (extension.StoreOrder.Wanted(number)) {
    StoreBlock(copy);
    extension.StoreOrder.Stored(number);
  }
  Release(extension.StoreLock);
}

}  // namespace

void InitDevice(DeviceExtension& extension) {
  KeInitializeMutex(&extension.Lock, 0);
  KeInitializeMutex(&extension.StoreLock, 0);
  extension.StoreOrder = logic::BlockStoreOrder();
  logic::Reset(extension.State);
  // A new installation's driver starts from the settings its setup seeded.
  if (!LoadStoredBlock(extension.State.Block)) TakeModelKeySeeds(extension.State.Block);
}

NTSTATUS NTAPI DispatchCreate(PDEVICE_OBJECT, PIRP irp) {
  IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
  if (stack->FileObject != nullptr)
    stack->FileObject->FsContext2 = reinterpret_cast<void*>(static_cast<ULONG_PTR>(OpenerOf(*stack)));
  return Complete(irp, STATUS_SUCCESS, 0);
}

NTSTATUS NTAPI DispatchCleanupClose(PDEVICE_OBJECT, PIRP irp) { return Complete(irp, STATUS_SUCCESS, 0); }

NTSTATUS NTAPI DispatchDeviceControl(PDEVICE_OBJECT device, PIRP irp) {
  DeviceExtension& extension = ExtensionOf(device);
  const IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
  const auto& call = stack->Parameters.DeviceIoControl;
  if (!logic::Permits(call.IoControlCode, OpenerOf(stack->FileObject)))
    return Complete(irp, STATUS_ACCESS_DENIED, 0);
  // Every code of this driver is METHOD_BUFFERED: input and output share the system buffer.
  auto* buffer = static_cast<uint8_t*>(irp->AssociatedIrp.SystemBuffer);

  ParamBlock copy;
  uint32_t number = 0;
  Acquire(extension.Lock);
  const logic::Outcome outcome = logic::Handle(extension.State, call.IoControlCode, buffer,
                                               call.InputBufferLength, call.OutputBufferLength);
  if (outcome.BlockChanged) {
    copy = extension.State.Block;
    number = extension.StoreOrder.Changed();
  }
  Release(extension.Lock);
  if (outcome.BlockChanged) StoreCopy(extension, copy, number);

  return Complete(irp, ToNtStatus(outcome.Result), outcome.BytesReturned);
}

}  // namespace koral::kernel
