#include "common/win/service_control.h"

#include <chrono>
#include <thread>
#include <vector>

#include "common/core/driver_protocol.h"

namespace koral::service {
namespace {

// How often a wait looks again; the waits themselves end as soon as their condition holds.
constexpr auto kPollInterval = std::chrono::milliseconds(20);

// Calls `done` until it holds or `wait_ms` has passed; true when it held.
template <typename Condition>
bool PollUntil(DWORD wait_ms, Condition done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
  return true;
}

UniqueServiceHandle OpenManager() {
  return UniqueServiceHandle(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
}

UniqueServiceHandle OpenDriverService(DWORD access) {
  const UniqueServiceHandle manager = OpenManager();
  if (!manager) return UniqueServiceHandle();
  return UniqueServiceHandle(OpenServiceA(manager.get(), kServiceName, access));
}

DWORD ErrorOr(bool ok) { return ok ? ERROR_SUCCESS : GetLastError(); }

}  // namespace

DWORD Create(const std::string& sys_path) {
  const UniqueServiceHandle manager = OpenManager();
  if (!manager) return GetLastError();
  // Automatic start: Wine starts such a service at every cold start of its server, so the
  // device is there before the first program of the suite runs.
  const UniqueServiceHandle service(CreateServiceA(
      manager.get(), kServiceName, kServiceName, SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER,
      SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, sys_path.c_str(), nullptr, nullptr, nullptr,
      nullptr, nullptr));
  return service ? ERROR_SUCCESS : GetLastError();
}

DWORD Install(const std::string& sys_path) {
  if (const DWORD created = Create(sys_path); created != ERROR_SERVICE_EXISTS) return created;
  const UniqueServiceHandle manager = OpenManager();
  if (!manager) return GetLastError();
  const UniqueServiceHandle service(OpenServiceA(manager.get(), kServiceName, SERVICE_CHANGE_CONFIG));
  if (!service) return GetLastError();
  return ErrorOr(ChangeServiceConfigA(service.get(), SERVICE_KERNEL_DRIVER, SERVICE_AUTO_START,
                                      SERVICE_ERROR_NORMAL, sys_path.c_str(), nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr) != 0);
}

DWORD Start() {
  const UniqueServiceHandle service = OpenDriverService(SERVICE_START);
  if (!service) return GetLastError();
  if (StartServiceA(service.get(), 0, nullptr)) return ERROR_SUCCESS;
  const DWORD error = GetLastError();
  return error == ERROR_SERVICE_ALREADY_RUNNING ? ERROR_SUCCESS : error;
}

DWORD Stop(DWORD wait_ms) {
  const UniqueServiceHandle service = OpenDriverService(SERVICE_STOP | SERVICE_QUERY_STATUS);
  if (!service) return GetLastError();
  SERVICE_STATUS status{};
  if (!ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) {
    const DWORD error = GetLastError();
    if (error != ERROR_SERVICE_NOT_ACTIVE) return error;
  }
  const bool stopped = PollUntil(wait_ms, [&] {
    return QueryServiceStatus(service.get(), &status) && status.dwCurrentState == SERVICE_STOPPED;
  });
  return stopped ? ERROR_SUCCESS : ERROR_TIMEOUT;
}

DWORD Uninstall() {
  const UniqueServiceHandle manager = OpenManager();
  if (!manager) return GetLastError();
  const UniqueServiceHandle service(OpenServiceA(manager.get(), kServiceName, DELETE));
  if (!service) return GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST ? ERROR_SUCCESS : GetLastError();
  if (DeleteService(service.get())) return ERROR_SUCCESS;
  const DWORD error = GetLastError();
  return error == ERROR_SERVICE_MARKED_FOR_DELETE ? ERROR_SUCCESS : error;
}

UniqueHandle OpenDevice(DWORD wait_ms, DWORD* error, DWORD access) {
  const std::string path = std::string("\\\\.\\") + kDeviceName;
  UniqueHandle device;
  DWORD last = ERROR_SUCCESS;
  PollUntil(wait_ms, [&] {
    device.reset(CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    last = device ? ERROR_SUCCESS : GetLastError();
    return static_cast<bool>(device);
  });
  if (error != nullptr) *error = last;
  return device;
}

bool WaitForDevice(DWORD wait_ms) { return static_cast<bool>(OpenDevice(wait_ms)); }

std::optional<ServiceInfo> Query() {
  ServiceInfo info;
  if (Query(info) != ERROR_SUCCESS) return std::nullopt;
  return info;
}

DWORD Query(ServiceInfo& info) {
  const UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return GetLastError();
  const UniqueServiceHandle service(
      OpenServiceA(manager.get(), kServiceName, SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG));
  if (!service) return GetLastError();
  SERVICE_STATUS status{};
  if (!QueryServiceStatus(service.get(), &status)) return GetLastError();
  DWORD needed = 0;
  if (QueryServiceConfigA(service.get(), nullptr, 0, &needed) || GetLastError() != ERROR_INSUFFICIENT_BUFFER)
    return GetLastError() == ERROR_SUCCESS ? ERROR_INVALID_DATA : GetLastError();
  std::vector<char> buffer(needed);
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
  if (!QueryServiceConfigA(service.get(), config, needed, &needed)) return GetLastError();
  info.State = status.dwCurrentState;
  info.StartType = config->dwStartType;
  info.BinaryPath = config->lpBinaryPathName != nullptr ? config->lpBinaryPathName : "";
  return ERROR_SUCCESS;
}

}  // namespace koral::service
