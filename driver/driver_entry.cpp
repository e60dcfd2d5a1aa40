// Entry and exit of the substitute KORALPS2 driver: one device, reachable from user mode as
// "\\.\KORALPS2", whose requests device.cpp serves.
#include "driver/block_store.h"
#include "driver/device.h"

namespace {

// The device name of driver_protocol.h (kDeviceName), as the kernel spells it.
constexpr wchar_t kDevicePath[] = L"\\Device\\KORALPS2";
constexpr wchar_t kLinkPath[] = L"\\DosDevices\\KORALPS2";

// The device's access list (logic::BuildDeviceSecurity): SYSTEM and Administrators all access,
// Users read access, which is all the suite's control codes need.
NTSTATUS ProtectDevice(PDEVICE_OBJECT device) {
  alignas(8) static uint8_t descriptor[koral::logic::kDeviceSecuritySize];
  if (koral::logic::BuildDeviceSecurity(descriptor, sizeof descriptor) == 0) return STATUS_INTERNAL_ERROR;
  HANDLE handle = nullptr;
  NTSTATUS status = ObOpenObjectByPointer(device, OBJ_KERNEL_HANDLE, nullptr, WRITE_DAC, nullptr, KernelMode, &handle);
  if (!NT_SUCCESS(status)) return status;
  status = ZwSetSecurityObject(handle, DACL_SECURITY_INFORMATION, descriptor);
  ZwClose(handle);
  return status;
}

void NTAPI Unload(PDRIVER_OBJECT driver) {
  UNICODE_STRING link;
  RtlInitUnicodeString(&link, kLinkPath);
  IoDeleteSymbolicLink(&link);
  if (driver->DeviceObject != nullptr) IoDeleteDevice(driver->DeviceObject);
}

}  // namespace

extern "C" NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registry_path) {
  using namespace koral::kernel;
  InitBlockStore(*registry_path);

  UNICODE_STRING device_name;
  RtlInitUnicodeString(&device_name, kDevicePath);
  PDEVICE_OBJECT device = nullptr;
  // Not exclusive: several programs of the suite hold the device open at once. Secure open: an
  // open of any name below the device is checked against the device's access list too.
  NTSTATUS status = IoCreateDevice(driver, sizeof(DeviceExtension), &device_name,
                                   FILE_DEVICE_UNKNOWN, FILE_DEVICE_SECURE_OPEN, FALSE, &device);
  if (!NT_SUCCESS(status)) return status;
  // A device open to everyone is not started at all.
  status = ProtectDevice(device);
  if (!NT_SUCCESS(status)) {
    IoDeleteDevice(device);
    return status;
  }
  InitDevice(*static_cast<DeviceExtension*>(device->DeviceExtension));

  UNICODE_STRING link;
  RtlInitUnicodeString(&link, kLinkPath);
  status = IoCreateSymbolicLink(&link, &device_name);
  if (!NT_SUCCESS(status)) {
    IoDeleteDevice(device);
    return status;
  }

  driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreate;
  driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchCleanupClose;
  driver->MajorFunction[IRP_MJ_CLOSE] = DispatchCleanupClose;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchDeviceControl;
  driver->DriverUnload = Unload;
  device->Flags &= ~DO_DEVICE_INITIALIZING;
  return STATUS_SUCCESS;
}
