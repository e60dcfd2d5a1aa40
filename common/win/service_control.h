// Control of the kernel service that runs the driver KORALPS2: installing, starting, stopping,
// removing and querying it, and waiting for its device. The installation package's helper sets
// the substitute driver up with these; the tools and the tests start and stop it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "common/win/handles.h"

namespace koral::service {

// Name of the kernel service that runs the driver.
inline constexpr const char kServiceName[] = "KORALPS2";

// Each returns a Win32 error code, ERROR_SUCCESS (0) on success.

// Creates the kernel service, started automatically at every start of Windows (and of the Wine
// server), for the driver image at `sys_path` (a Windows path); an existing service gets this path.
DWORD Install(const std::string& sys_path);
// The same, but an existing service is left as it is: ERROR_SERVICE_EXISTS then.
DWORD Create(const std::string& sys_path);
// Starts the service; one already running counts as started.
DWORD Start();
// Stops the service and waits (up to `wait_ms`) until it has stopped; a stopped one counts.
DWORD Stop(DWORD wait_ms = 10000);
// Deletes the service (Windows removes it once it has stopped); a missing one counts as deleted.
DWORD Uninstall();

// Opens "\\.\KORALPS2" as the suite does (read access, shared read and write; the simulation
// codes need GENERIC_READ | GENERIC_WRITE, which only administrators get), trying again until it
// opens or `wait_ms` milliseconds have passed. Empty when it did not open; `error` (when given)
// receives the last attempt's Win32 error, 0 when it opened.
UniqueHandle OpenDevice(DWORD wait_ms, DWORD* error = nullptr, DWORD access = GENERIC_READ);
// True when the device opens within `wait_ms` milliseconds.
bool WaitForDevice(DWORD wait_ms);

struct ServiceInfo {
  DWORD State = 0;      // SERVICE_STOPPED, SERVICE_RUNNING, ...
  DWORD StartType = 0;  // SERVICE_AUTO_START, ...
  std::string BinaryPath;
};
// Empty when the service is not installed or cannot be queried.
std::optional<ServiceInfo> Query();
// Tells the two apart: ERROR_SUCCESS with `info` filled, ERROR_SERVICE_DOES_NOT_EXIST when there
// is no such service, any other error when the question could not be answered.
DWORD Query(ServiceInfo& info);

}  // namespace koral::service
